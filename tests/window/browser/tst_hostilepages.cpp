#include "BrowserPane.h"
#include "LoopbackSink.h"
#include "WebEngineSurface.h"
#include "EventLoopWait.h"
#include "PageReports.h"
#include "TestFiles.h"

#include <QApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebEngineView>
#include <QtTest>

#include <memory>

using namespace kobin;

namespace {

// The engine starts slowly under the sanitizers; a page normally reports within seconds.
constexpr int kTimeout = 90000;

// Closes every modal window that opens while it lives, and counts them: no page may open one.
class ModalWatcher
{
public:
    ModalWatcher()
    {
        QObject::connect(&m_poll, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                ++m_shown;
                modal->close();
            }
        });
        m_poll.start(20);
    }
    int shown() const { return m_shown; }

private:
    QTimer m_poll;
    int m_shown = 0;
};

} // namespace

// Saved pages that try to reach the network past the pane's rules, or to hold the
// pane or the whole window. One pane, and so one engine, serves the cases, each
// starting on a blank page; the last has one of its own.
class TestHostilePages : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<BrowserPane> m_pane;
    int m_rtcPages = 0;

    // Writes a saved page whose scripts call report(results) when done: the title
    // then reads "done " followed by the results as JSON.
    QUrl writePage(const QString &name, const QString &body) const
    {
        const QString prelude = QStringLiteral(
            "<!DOCTYPE html><meta charset=\"utf-8\"><script>"
            "function report(results) { document.title = 'done ' + JSON.stringify(results || {}); }"
            "</script>\n");
        writeText(m_dir.filePath(name), (prelude + body).toUtf8());
        return QUrl::fromLocalFile(m_dir.filePath(name));
    }

    bool openAndWaitForReport(const QUrl &page, QJsonObject *results = nullptr)
    {
        return ::openAndWaitForReport(*m_pane, page, kTimeout, results);
    }

    QUrl writeQuietPage() const { return writePage("quiet.html", "<script>report({page: 'quiet'});</script>"); }
    bool waitForQuietPage()
    {
        return waitUntil([this] { return m_pane->title() == QLatin1String(R"(done {"page":"quiet"})"); }, kTimeout);
    }

    void makePane()
    {
        m_pane = std::make_unique<BrowserPane>();
        onWebEngine(*m_pane);
        m_pane->resize(800, 600);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeText(m_dir.filePath("blank.html"), "<title>blank</title>");
        makePane();
    }

    void init() { QVERIFY(openBlankPage(*m_pane, QUrl::fromLocalFile(m_dir.filePath("blank.html")), kTimeout)); }

    void pageOpensNoPeerConnection_data()
    {
        QTest::addColumn<QString>("attempt"); // a script that ends in report()
        QTest::newRow("page") << "connectFrom(window, 'RTCPeerConnection').then(report);";
        QTest::newRow("prefixed") << "connectFrom(window, 'webkitRTCPeerConnection').then(report);";
        QTest::newRow("own frame") << "addEventListener('message', e => report(e.data)); frame.src = 'rtc_files/frame.html';";
        // A blank frame's globals, reached every way a page has before any script of the pane's runs there.
        QTest::newRow("blank frame") << "connectFrom(frame.contentWindow, 'RTCPeerConnection').then(report);";
        QTest::newRow("blank frame's document") << "connectFrom(frame.contentDocument.defaultView, 'RTCPeerConnection').then(report);";
        QTest::newRow("blank frame by index") << "connectFrom(window[0], 'webkitRTCPeerConnection').then(report);";
        QTest::newRow("frame added") << "document.body.appendChild(document.createElement('iframe'));"
                                        "connectFrom(frames[1], 'RTCPeerConnection').then(report);";
        QTest::newRow("frame added as markup") << "document.body.insertAdjacentHTML('beforeend', '<iframe srcdoc=x></iframe>');"
                                                  "connectFrom(window.frames[1], 'RTCPeerConnection').then(report);";
        QTest::newRow("frame written") << "document.write('<iframe></iframe><script>"
                                          "connectFrom(frames[1], \\'RTCPeerConnection\\').then(report);<\\/script>');";
        QTest::newRow("frame in a blank frame") << "const inner = frame.contentDocument.createElement('iframe');"
                                                   "frame.contentDocument.body.append(inner);"
                                                   "connectFrom(frames[0][0], 'RTCPeerConnection').then(report);";
    }

    // STUN goes out over UDP, TURN over UDP or TCP with a name the page chooses.
    void pageOpensNoPeerConnection()
    {
        QFETCH(QString, attempt);
        LoopbackSink sink;
        QVERIFY(sink.listen());
        const QString connectFrom = QStringLiteral(R"(
            <script>
            const servers = [{urls: ['stun:127.0.0.1:%1', 'turn:127.0.0.1:%1?transport=udp',
                                     'turn:127.0.0.1:%2?transport=tcp'],
                              username: 'LEAK-user', credential: 'LEAK-credential'}];
            async function connectFrom(win, name) {
                const Connection = win[name];
                if (typeof Connection !== 'function')
                    return 'none';
                try {
                    const connection = new Connection({iceServers: servers});
                    connection.createDataChannel('LEAK');
                    await connection.setLocalDescription(await connection.createOffer());
                    await new Promise(resolve => {
                        connection.onicegatheringstatechange = () => {
                            if (connection.iceGatheringState === 'complete') resolve();
                        };
                        setTimeout(resolve, 5000);
                    });
                    connection.close();
                    return 'gathered';
                } catch (e) {
                    return 'failed';
                }
            }
            </script>)")
                                         .arg(sink.udpPort())
                                         .arg(sink.tcpPort());
        writeText(m_dir.filePath("rtc_files/frame.html"),
                  (connectFrom + "<script>connectFrom(window, 'RTCPeerConnection').then(r => parent.postMessage(r, '*'));"
                                 "</script>")
                      .toUtf8());
        const QUrl page = writePage(QStringLiteral("rtc%1.html").arg(++m_rtcPages), connectFrom + "<iframe id=\"frame\"></iframe><script>" + attempt + "</script>");
        QVERIFY(openAndWaitForReport(page));
        QVERIFY2(sink.receivedOverUdp().isEmpty(), sink.receivedOverUdp());
        QVERIFY2(sink.receivedOverTcp().isEmpty(), sink.receivedOverTcp());
    }

    // Nothing of such a page is shown in a window of its own; what it asks goes unanswered.
    void pageShowsNoDialogs()
    {
        ModalWatcher modals;
        const QUrl page = writePage("dialogs.html", R"(
            <script>
            window.addEventListener('load', () => {
                for (let i = 0; i < 3; ++i)
                    alert('LEAK-alert');
                report({confirmed: confirm('LEAK-confirm'), answer: prompt('LEAK-prompt', 'given')});
            });
            </script>)");
        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        QCOMPARE(modals.shown(), 0);
        QCOMPARE(results.value("confirmed").toBool(true), false);
        QVERIFY(results.value("answer").isNull());
    }

    // A page that asks to stay, after the user has clicked into it, is left all the same.
    void pageCannotKeepThePaneFromTheNextPage()
    {
        ModalWatcher modals;
        const QUrl page = writePage("stay.html", R"(
            <script>
            window.addEventListener('beforeunload', event => { event.preventDefault(); event.returnValue = 'stay'; });
            window.addEventListener('load', () => report());
            </script>)");
        QVERIFY(openAndWaitForReport(page));
        auto *view = m_pane->findChild<QWebEngineView *>();
        QVERIFY(view && view->focusProxy());
        QTest::mouseClick(view->focusProxy(), Qt::LeftButton, {}, QPoint(50, 50));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QJsonObject results;
        QVERIFY(openAndWaitForReport(writeQuietPage(), &results));
        QCOMPARE(results.value("page").toString(), QStringLiteral("quiet"));
        QCOMPARE(modals.shown(), 0);
        QCOMPARE(starting.size(), 1);
    }

    void scriptCannotShowAFolder_data()
    {
        QTest::addColumn<QString>("script");
        QTest::newRow("root") << "location = 'file:///';";
        QTest::newRow("own folder") << "location = './';";
        QTest::newRow("own folder replaced") << "location.replace(new URL('.', location.href).href);";
    }

    void scriptCannotShowAFolder()
    {
        QFETCH(QString, script);
        const QUrl page = writePage("mover.html", QStringLiteral(
            "<script>window.addEventListener('load', () => { %1 setTimeout(report, 0); });</script>").arg(script));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QVERIFY(openAndWaitForReport(page));
        // Whatever the page started has reached the pane before the next page opens.
        QVERIFY(openAndWaitForReport(writeQuietPage()));
        QCOMPARE(starting.size(), 2);
        QCOMPARE(starting.at(0).at(0).toUrl(), page);
    }

    // A page held by its script once shown does not hold the next page asked for:
    // it is ended, and the next page shows without a word about it. The last case on
    // the shared pane, as it ends the page's process.
    void pageThatNeverAnswersGivesWayToTheNext()
    {
        QVERIFY(openAndWaitForReport(
            writePage("endless.html", "<script>report(); setTimeout(() => { for (;;) {} }, 0);</script>")));
        QSignalSpy finished(m_pane.get(), &BrowserPane::loadFinished);
        m_pane->navigate(writeQuietPage());
        QVERIFY2(waitForQuietPage(), qPrintable(m_pane->title()));
        auto *note = m_pane->findChild<QLabel *>(QStringLiteral("lblPageNote"));
        QVERIFY(!note || !note->isVisible());
        QVERIFY(finished.size() >= 1);
    }

    // Its script runs for ever while it loads: the pane gives it up and says so. The
    // page is the first its pane shows: leaving a page shown ends one that does not
    // answer already, before the bound on loading comes into it.
    void pageThatNeverAnswersIsGivenUp()
    {
        makePane();
        m_pane->setLongestLoad(std::chrono::seconds(1));
        QSignalSpy finished(m_pane.get(), &BrowserPane::loadFinished);
        m_pane->navigate(writePage("endless.html", "<script>for (;;) {}</script>"));
        QVERIFY(finished.wait(kTimeout));
        auto *note = m_pane->findChild<QLabel *>(QStringLiteral("lblPageNote"));
        QVERIFY(note && note->isVisible());
        QCOMPARE(note->text(), QStringLiteral("ページが応答しないため、表示をやめました。"));
        m_pane->navigate(writeQuietPage());
        QVERIFY2(waitForQuietPage(), qPrintable(m_pane->title()));
        QVERIFY(!note->isVisible());
    }
};

QTEST_MAIN(TestHostilePages)
#include "tst_hostilepages.moc"
