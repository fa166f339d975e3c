#include "BookFile.h"
#include "ItemTree.h"
#include "LoopbackServer.h"
#include "LoopbackSink.h"
#include "RichTextFiles.h"
#include "RunningBook.h"
#include "SingleInstance.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

// kobin-cli capture, run as the user runs it, against a web server of the test's own.
class TestCliCapture : public QObject
{
    Q_OBJECT

    QTemporaryDir m_home; // the program folder
    QTemporaryDir m_runtime;
    LoopbackServer m_server;
    QString m_book;
    QByteArray m_bookBytes = "|0\\Book=a1+root|a1\\Notes=a2+richtxt|\r\n";

    struct Result {
        int exitCode;
        QString out;
        QString err;
    };

    Result run(const QStringList &args)
    {
        QProcess process;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KOBIN_HOME", m_home.path());
        environment.insert("XDG_RUNTIME_DIR", m_runtime.path()); // as a desktop session has it: Qt says nothing of it
        environment.insert("LSAN_OPTIONS", environment.value("LSAN_OPTIONS") + ":print_suppressions=0");
        process.setProcessEnvironment(environment);
        // The server answers from this event loop while the program runs.
        QSignalSpy finished(&process, &QProcess::finished);
        process.start(KOBIN_CLI, QStringList{"capture"} + args);
        finished.wait(120000);
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }

    QStringList capturedFolders() const
    {
        return QDir(m_home.filePath("book/pages")).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static void writeFile(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

private slots:
    void init()
    {
        m_book = m_home.filePath("book.iis");
        writeFile(m_book, m_bookBytes);
        QDir(m_home.filePath("book")).removeRecursively();
        m_server.serve("/page.html", {200, "text/html", "<title>A page</title><p>Text</p>", {}, {}});
    }

    // STUN goes out over UDP, TURN over UDP or TCP, to servers a page names, past every request filter.
    void aPageOpensNoPeerConnection()
    {
        LoopbackSink sink;
        QVERIFY(sink.listen());
        // The page is saved once its picture comes, well after its attempt has ended.
        const QString page = QStringLiteral(R"(<title>waiting</title><script>
            (async () => {
                if (typeof RTCPeerConnection !== 'function') {
                    document.title = 'none';
                    return;
                }
                const connection = new RTCPeerConnection({iceServers: [{
                    urls: ['stun:127.0.0.1:%1', 'turn:127.0.0.1:%1?transport=udp', 'turn:127.0.0.1:%2?transport=tcp'],
                    username: 'LEAK-user', credential: 'LEAK-credential'}]});
                connection.createDataChannel('LEAK');
                await connection.setLocalDescription(await connection.createOffer());
                await new Promise(resolve => {
                    connection.onicegatheringstatechange = () => {
                        if (connection.iceGatheringState === 'complete') resolve();
                    };
                    setTimeout(resolve, 2000);
                });
                document.title = 'gathered';
            })();
            </script><img src="held.png">)").arg(sink.udpPort()).arg(sink.tcpPort());
        m_server.serve("/rtc.html", {200, "text/html", page.toUtf8(), {}, {}});
        m_server.serve("/held.png", {200, "image/png", "png", {}, {}});
        m_server.holdBack("/held.png", std::chrono::seconds(5));
        const Result result = run({m_book, m_server.url("/rtc.html").toString()});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        kobin::ItemTree tree;
        QCOMPARE(kobin::loadBookFile(m_book, tree).outcome, kobin::BookReading::Outcome::Read);
        QVERIFY(tree.item("a3"));
        QVERIFY2(tree.item("a3")->text() != "waiting", "saved before the attempt ended");
        QVERIFY2(sink.receivedOverUdp().isEmpty(), sink.receivedOverUdp());
        QVERIFY2(sink.receivedOverTcp().isEmpty(), sink.receivedOverTcp());
    }

    // What the page names on this computer stays out, and is told, but the capture succeeds.
    void filesOfThisComputerAreLeftOut()
    {
        QTemporaryDir local;
        writeFile(local.filePath("taken.png"), "LOCAL-BYTES");
        const QString file = QUrl::fromLocalFile(local.filePath("taken.png")).toString();
        m_server.serve("/local.html", {200, "text/html", ("<img src=\"" + file + "\"><body background=\"" + file + "\">").toUtf8(), {}, {}});
        const Result result = run({m_book, m_server.url("/local.html").toString()});
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QVERIFY2(result.err.contains("このコンピュータのファイルへの参照 2 件は取り込みませんでした。\n"), qPrintable(result.err));
    }

    void addsTheCapturedPageAsAnItem_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::newRow("complete page, named by its title") << QStringList{"--under", "a2"} << "A page" << "index.html";
        QTest::newRow("MHTML, named") << QStringList{"--mhtml", "--name", "Mine"} << "Mine" << "index.mhtml";
    }
    void addsTheCapturedPageAsAnItem()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, name);
        QFETCH(QString, page);
        const Result result = run(QStringList{m_book, m_server.url("/page.html").toString()} + options);
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        QCOMPARE(result.out, QString("a3\n"));
        QCOMPARE(result.err, QString()); // nothing of the web engine's start
        kobin::ItemTree tree;
        QCOMPARE(kobin::loadBookFile(m_book, tree).outcome, kobin::BookReading::Outcome::Read);
        const kobin::TreeItem *item = tree.item("a3");
        QVERIFY(item);
        QCOMPARE(item->text(), name);
        QCOMPARE(item->image(), QString("htmlfile"));
        QCOMPARE(item->parent()->key(), options.contains("--under") ? QString("a2") : QString("a1"));
        const QStringList folders = capturedFolders();
        QCOMPARE(folders.size(), 1);
        const QString saved = m_home.filePath("book/pages/" + folders.first() + "/" + page);
        QVERIFY(QFileInfo(saved).isFile());
        QCOMPARE(readFile(m_home.filePath("book/a3url.txt")), saved.toLocal8Bit() + "\r\n");
        // Its side text is there, empty, as the window leaves it: showing the item finds nothing missing.
        QCOMPARE(kobin::richtext::loadPlainText(m_home.filePath("book/a3index.rtf"), u"\n"), std::optional<QString>(""));
    }

    // Each failure says why and leaves the book file and its folder as they were.
    void failuresChangeNothing_data()
    {
        QTest::addColumn<QString>("address"); // empty: where nothing listens
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QByteArray>("book");
        QTest::addColumn<bool>("openInKobin");
        QTest::addColumn<QString>("message"); // "%1": the book file, "%2": the address
        QTest::newRow("unreachable") << QString() << QStringList() << m_bookBytes << false
                                     << "ホームページ「 %2 」に接続できません。アドレスと、ネットワークにつながっているかを確かめてください。";
        QTest::newRow("error page") << "/nothing" << QStringList() << m_bookBytes << false
                                    << "ホームページ「 %2 」を取り込めません（404）。";
        QTest::newRow("not a book") << "/page.html" << QStringList() << QByteArray("no book\x01\r\n") << false
                                    << "「 %1 」はブックファイルとして読めません。";
        QTest::newRow("no such item") << "/page.html" << QStringList{"--under", "a9"} << m_bookBytes << false
                                      << "「 %1 」に項目 a9 はありません。";
        QTest::newRow("open in Kobin") << "/page.html" << QStringList() << m_bookBytes << true
                                       << "「 %1 」は Kobin で開かれています。Kobin でブックを閉じてから取り込んでください。";
    }
    void failuresChangeNothing()
    {
        QFETCH(QString, address);
        QFETCH(QStringList, options);
        QFETCH(QByteArray, book);
        QFETCH(bool, openInKobin);
        QFETCH(QString, message);
        writeFile(m_book, book);
        const QString appPath = m_home.path() + '/';
        std::optional<kobin::SingleInstance> running;
        if (openInKobin) { // this test stands for the running program
            running.emplace(kobin::SingleInstance::lockPathFor(appPath));
            writeFile(kobin::runningBookMarkerPath(appPath), m_book.toUtf8() + "\nbook\n");
        }
        const QUrl url = address.isEmpty() ? LoopbackServer::closedPortUrl() : m_server.url(address);
        const Result result = run(QStringList{m_book, url.toString()} + options);
        running.reset();
        QFile::remove(kobin::runningBookMarkerPath(appPath));
        QCOMPARE(result.exitCode, 1);
        QCOMPARE(result.out, QString());
        const QString expected = QString(message).replace("%1", m_book).replace("%2", url.toDisplayString());
        QVERIFY2(result.err.contains(expected + '\n'), qPrintable(result.err));
        QCOMPARE(readFile(m_book), book);
        QCOMPARE(capturedFolders(), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCliCapture)
#include "tst_clicapture.moc"
