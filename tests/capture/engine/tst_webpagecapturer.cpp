#include "JapaneseText.h"
#include "LoopbackServer.h"
#include "WebPageCapturer.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QtTest>

using kobin::capture::CaptureLimits;
using kobin::capture::Format;
using kobin::capture::Outcome;
using kobin::capture::WebPageCapturer;

Q_DECLARE_METATYPE(CaptureLimits)

namespace {

// A PNG of one red pixel.
const QByteArray kPicture = QByteArray::fromBase64(
    "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC");

const QString kTitle = QStringLiteral("取り込みの試験");
const QString kBodyText = QStringLiteral("表計算ソフトの能力");
const QString kFrameText = QStringLiteral("枠の中の文");
const QString kScriptText = QStringLiteral("スクリプトが書いた文");

struct Capture {
    Outcome outcome;
    int doneCalls = 0;
};

// Runs one capture to its end. A capturer that never ends within timeout fails the test rather than hanging it.
Capture capture(WebPageCapturer &capturer, const QUrl &url, const QString &folder, Format format,
                std::chrono::milliseconds timeout = std::chrono::minutes(2))
{
    Capture result;
    QEventLoop loop;
    capturer.start(url, folder, format, nullptr, [&](const Outcome &outcome) {
        result.outcome = outcome;
        ++result.doneCalls;
        loop.quit();
    });
    QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
    if (result.doneCalls == 0)
        loop.exec();
    return result;
}

QStringList filesIn(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        files.append(QDir(folder).relativeFilePath(it.next()));
    files.sort();
    return files;
}

// A saved page's text, read in the encoding it declares.
QString declaredText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    const QRegularExpressionMatch charset = QRegularExpression("charset=\"?([\\w-]+)").match(QString::fromLatin1(bytes));
    QStringDecoder decoder(charset.captured(1).toLatin1().constData());
    const QString text = decoder.decode(bytes);
    return decoder.hasError() ? QString() : text;
}

// Opens a saved page with no server to reach and answers JavaScript questions about it.
class SavedPageView
{
public:
    explicit SavedPageView(const QString &page) : m_page(&m_profile)
    {
        QSignalSpy loaded(&m_page, &QWebEnginePage::loadFinished);
        m_page.load(QUrl::fromLocalFile(page));
        m_loaded = loaded.wait(60000) && loaded.first().first().toBool();
    }
    bool isLoaded() const { return m_loaded; }
    QVariant evaluate(const QString &script)
    {
        QVariant answer;
        QEventLoop loop;
        // Its own world: a page opened from MHTML runs none of its scripts, and takes none from here.
        m_page.runJavaScript(script, QWebEngineScript::ApplicationWorld, [&](const QVariant &value) {
            answer = value;
            loop.quit();
        });
        loop.exec();
        return answer;
    }

private:
    QWebEngineProfile m_profile;
    QWebEnginePage m_page;
    bool m_loaded = false;
};

} // namespace

class TestWebPageCapturer : public QObject
{
    Q_OBJECT

    LoopbackServer m_server;
    WebPageCapturer m_capturer;

    // The test page in an encoding, with a stylesheet, a picture, a script that
    // writes into the page and a frame, and an address that redirects to it.
    static void servePage(LoopbackServer &server, const QByteArray &encoding)
    {
        const QString folder = "/";
        const QString page = QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"%3\"><title>%1</title>"
            "<link rel=\"stylesheet\" href=\"style.css\"></head><body><p id=\"text\">%2</p>"
            "<img src=\"pic.png\"><script src=\"write.js\"></script><iframe src=\"frame.html\"></iframe>"
            "</body></html>").arg(kTitle, kBodyText, QString::fromLatin1(encoding));
        server.serve(folder + "page.html", {200, "text/html", encodedAs(encoding, page), {}, {}});
        server.serve(folder + "style.css", {200, "text/css", "p { color: rgb(1, 2, 3); }", {}, {}});
        server.serve(folder + "pic.png", {200, "image/png", kPicture, {}, {}});
        server.serve(folder + "write.js", {200, "application/javascript",
                                             "var p = document.createElement('p'); p.id = 'written';"
                                             "p.textContent = '\\u30b9\\u30af\\u30ea\\u30d7\\u30c8\\u304c\\u66f8\\u3044\\u305f\\u6587';"
                                             "document.body.appendChild(p);", {}, {}});
        const QString frame = "<html><head><meta charset=\"" + QString::fromLatin1(encoding)
            + "\"></head><body><p>" + kFrameText + "</p></body></html>";
        server.serve(folder + "frame.html", {200, "text/html", encodedAs(encoding, frame), {}, {}});
        server.serve(folder + "moved", {302, "text/html", {}, (folder + "page.html").toLatin1(), {}});
    }

private slots:
    void savedPagesShowOfflineAsRendered_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<Format>("format");
        QTest::newRow("Shift_JIS, complete page") << QByteArray("Shift_JIS") << Format::CompletePage;
        QTest::newRow("EUC-JP, complete page") << QByteArray("EUC-JP") << Format::CompletePage;
        QTest::newRow("ISO-2022-JP, complete page") << QByteArray("ISO-2022-JP") << Format::CompletePage;
        QTest::newRow("Shift_JIS, MHTML") << QByteArray("Shift_JIS") << Format::SingleFile;
    }
    void savedPagesShowOfflineAsRendered()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(Format, format);
        LoopbackServer server;
        servePage(server, encoding);
        QTemporaryDir folder;
        const Capture result = capture(m_capturer, server.url("/moved"), folder.path(), format);
        QCOMPARE(result.outcome.message, QString());
        QCOMPARE(result.outcome.result, Outcome::Result::Captured);
        QCOMPARE(result.outcome.title, kTitle);
        const bool single = format == Format::SingleFile;
        QCOMPARE(result.outcome.page, folder.filePath(single ? "index.mhtml" : "index.html"));
        if (!single) {
            // What the script wrote is kept, and the text reads in the encoding the page declares.
            const QString saved = declaredText(result.outcome.page);
            QVERIFY2(saved.contains(kBodyText) && saved.contains(kScriptText), qPrintable(saved));
            QVERIFY(declaredText(folder.filePath("index_files/frame.html")).contains(kFrameText));
        }

        server.stop();
        SavedPageView view(result.outcome.page);
        QVERIFY(view.isLoaded());
        QCOMPARE(view.evaluate("document.images[0].naturalWidth").toInt(), 1);
        QCOMPARE(view.evaluate("getComputedStyle(document.getElementById('text')).color").toString(),
                 QString("rgb(1, 2, 3)"));
        QCOMPARE(view.evaluate("document.getElementById('text').textContent").toString(), kBodyText);
        QCOMPARE(view.evaluate("document.getElementById('written').textContent").toString(), kScriptText);
        // Its scripts ran once, before the page was saved, and never again.
        QCOMPARE(view.evaluate("document.querySelectorAll('#written').length").toInt(), 1);
    }

    // A page from the web that names files of this computer, in every way the engine's save or a
    // page shown offline takes a resource, keeps none of them; a link the user follows stays.
    void filesOfThisComputerStayOut_data()
    {
        QTest::addColumn<Format>("format");
        QTest::newRow("complete page") << Format::CompletePage;
        QTest::newRow("MHTML") << Format::SingleFile;
    }
    void filesOfThisComputerStayOut()
    {
        QFETCH(Format, format);
        const QStringList references = {
            "<link rel=\"stylesheet\" href=\"%1\">", "<link type=\"text/css\" href=\"%1\">",
            "<img src=\"%1\">", "<img src=\"pic.png\" srcset=\"%1 2x\">", "<input type=\"image\" src=\"%1\">",
            "<iframe src=\"%1\"></iframe>", "<object data=\"%1\"></object>",
            "<table background=\"%1\"><tr><td>cell</td></tr></table>", "<table><tr background=\"%1\"><td>cell</td></tr></table>",
            "<table><tr><td background=\"%1\">cell</td></tr></table>", "<blockquote cite=\"%1\">said</blockquote>",
            "<q cite=\"%1\">said</q>", "<del cite=\"%1\">gone</del>", "<ins cite=\"%1\">added</ins>",
            "<style>@font-face { font-family: taken; src: url(%1); } p { font-family: taken; }</style>",
            "<style>div { background: url('%1'); }</style>", "<div style=\"background-image: url(&quot;%1&quot;)\">styled</div>",
            "<body background=\"%1\">"};
        QTemporaryDir local;
        QString page = "<title>" + kTitle + "</title><img src=\"pic.png\"><a href=\""
            + QUrl::fromLocalFile(local.filePath("followed.html")).toString() + "\">followed</a>";
        for (int i = 0; i < references.size(); ++i) {
            const QString file = local.filePath(QStringLiteral("taken-%1.png").arg(i));
            QFile written(file);
            QVERIFY(written.open(QIODevice::WriteOnly));
            written.write("LOCAL-BYTES-" + QByteArray::number(i) + QByteArray(100, 'x'));
            written.close();
            page += references[i].arg(QUrl::fromLocalFile(file).toString());
        }
        m_server.serve("/local.html", {200, "text/html", page.toUtf8(), {}, {}});
        m_server.serve("/pic.png", {200, "image/png", kPicture, {}, {}});
        QTemporaryDir folder;
        const Capture result = capture(m_capturer, m_server.url("/local.html"), folder.path(), format);
        QCOMPARE(result.outcome.result, Outcome::Result::Captured);
        QCOMPARE(result.outcome.localReferencesLeftOut, references.size());
        QString savedText;
        for (const QString &saved : filesIn(folder.path())) {
            QFile file(folder.filePath(saved));
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QByteArray bytes = file.readAll();
            QVERIFY2(!bytes.contains("LOCAL-BYTES-"), qPrintable(saved));
            savedText += QString::fromUtf8(QByteArray(bytes).replace("=\r\n", "")); // MHTML's soft line breaks
        }
        QVERIFY2(!savedText.contains("taken-"), qPrintable(savedText));
        QVERIFY(savedText.contains("followed.html"));
        QVERIFY(savedText.contains("pic.png"));
    }

    // Answers other than a web page, and pages past a bound; a failure leaves the folder as it found it.
    void answersOtherThanAPage_data()
    {
        QTest::addColumn<QString>("path"); // empty: an address where nothing listens
        QTest::addColumn<CaptureLimits>("limits");
        QTest::addColumn<Outcome::Result>("result");
        QTest::addColumn<QString>("message"); // after "ホームページ「 <address>"
        QTest::addColumn<QStringList>("files");
        const CaptureLimits usual;
        const qint64 megabyte = 1024 * 1024;
        const CaptureLimits oneSecond{std::chrono::seconds(1), usual.bytes, usual.pageBytes, usual.rendererBytes};
        const CaptureLimits oneMegabyte{usual.time, megabyte, megabyte, usual.rendererBytes};
        QTest::newRow("unreachable") << QString() << usual << Outcome::Result::Failed
                                     << " 」に接続できません。アドレスと、ネットワークにつながっているかを確かめてください。"
                                     << QStringList();
        QTest::newRow("error page") << "/nothing" << usual << Outcome::Result::Failed << " 」を取り込めません（404）。"
                                    << QStringList();
        QTest::newRow("no answer") << "/stalled" << oneSecond << Outcome::Result::Failed
                                   << " 」が 1 秒以内に読み込めませんでした。" << QStringList();
        QTest::newRow("too large") << "/files/large.pdf" << oneMegabyte << Outcome::Result::Failed
                                   << " 」は 1 MB を超えるため、取り込めません。" << QStringList();
        QTest::newRow("endless page") << "/endless.html" << oneMegabyte << Outcome::Result::Failed
                                      << " 」は 1 MB を超えるため、取り込めません。" << QStringList();
        // A small page that loads whole, and saved holds more than a page may.
        const CaptureLimits oneMegabyteSaved{usual.time, megabyte, usual.pageBytes, usual.rendererBytes};
        QTest::newRow("saved page too large") << "/large-picture.html" << oneMegabyteSaved << Outcome::Result::Failed
                                              << " 」は 1 MB を超えるため、取り込めません。" << QStringList();
        // The renderer holds what a picture brings while it loads.
        const CaptureLimits smallRenderer{usual.time, megabyte, megabyte, 300 * megabyte};
        QTest::newRow("endless picture") << "/picture.html" << smallRenderer << Outcome::Result::Failed
                                         << " 」は読み込むのに 300 MB を超えるメモリが要るため、取り込めません。" << QStringList();
        QTest::newRow("a file kept as it is") << "/files/report" << usual << Outcome::Result::Captured << QString()
                                              << QStringList{"report.pdf"};
    }
    void answersOtherThanAPage()
    {
        QFETCH(QString, path);
        QFETCH(CaptureLimits, limits);
        QFETCH(Outcome::Result, result);
        QFETCH(QString, message);
        QFETCH(QStringList, files);
        LoopbackServer server;
        server.serve("/stalled", {200, "text/html", {}, {}, LoopbackServer::Answer::Stall::Whole});
        server.serve("/files/large.pdf", {200, "application/pdf", QByteArray(1024 * 1024 + 1, 'x'), {}, {}});
        server.serve("/files/report", {200, "application/pdf", "%PDF-1.4 report", {}, {}});
        server.serve("/endless.html", {200, "text/html", QByteArray("<p>more</p>").repeated(1000), {}, LoopbackServer::Answer::Stall::Endless});
        server.serve("/picture.html", {200, "text/html", "<img src=\"endless.png\">", {}, {}});
        server.serve("/large-picture.html", {200, "text/html", "<img src=\"large.png\">", {}, {}});
        server.serve("/large.png", {200, "image/png", kPicture + QByteArray(2 * 1024 * 1024, '\0'), {}, {}});
        server.serve("/endless.png", {200, "image/png", kPicture.repeated(1000), {}, LoopbackServer::Answer::Stall::Endless});
        const QUrl url = path.isEmpty() ? LoopbackServer::closedPortUrl() : server.url(path);
        QTemporaryDir folder;
        WebPageCapturer capturer(limits);
        // Well within the time limit: an endless answer ends at a bound, or not at all.
        const Capture captured = capture(capturer, url, folder.path(), Format::CompletePage, std::chrono::seconds(15));
        QCOMPARE(captured.outcome.result, result);
        QCOMPARE(captured.outcome.message,
                 message.isEmpty() ? QString() : "ホームページ「 " + url.toDisplayString() + message);
        QCOMPARE(filesIn(folder.path()), files);
        if (result == Outcome::Result::Captured)
            QCOMPARE(captured.outcome.page, folder.filePath(files.first()));
    }

    // Cancelled while the page, or a file, is still arriving: nothing is left.
    void cancelLeavesTheFolderEmpty_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("a picture of the page stalls") << "/stalling.html";
        QTest::newRow("a file stalls half-way") << "/files/half.pdf";
    }
    void cancelLeavesTheFolderEmpty()
    {
        QFETCH(QString, path);
        LoopbackServer server;
        server.serve("/stalling.html", {200, "text/html", "<p>Waiting</p><img src=\"never.png\">", {}, {}});
        server.serve("/never.png", {200, "image/png", kPicture, {}, LoopbackServer::Answer::Stall::Whole});
        server.serve("/files/half.pdf", {200, "application/pdf", QByteArray(256 * 1024, 'x'), {},
                                         LoopbackServer::Answer::Stall::AfterHalf});
        QTemporaryDir folder;
        // Cancelled once the stalled request is under way and, for a file, once it is being written.
        QTimer cancelling;
        connect(&cancelling, &QTimer::timeout, this, [&] {
            if (path.endsWith(".html") || !filesIn(folder.path()).isEmpty())
                m_capturer.cancel();
        });
        server.onStall([&] { cancelling.start(10); });
        const Capture captured = capture(m_capturer, server.url(path), folder.path(), Format::CompletePage);
        QCOMPARE(captured.outcome.result, Outcome::Result::Cancelled);
        QCOMPARE(filesIn(folder.path()), QStringList());
        QCOMPARE(captured.doneCalls, 1);
        QVERIFY(!m_capturer.isBusy());
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QGuiApplication app(argc, argv);
    TestWebPageCapturer test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_webpagecapturer.moc"
