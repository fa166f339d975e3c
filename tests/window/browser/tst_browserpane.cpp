#include "BrowserPane.h"
#include "WebEngineSurface.h"
#include "EventLoopWait.h"
#include "PageReports.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QWebEngineView>
#include <QtTest>
#include <csignal>

#include <algorithm>
#include <memory>

using namespace kobin;

// QtWebEngineCore (Chromium) frees some of its own objects through a pointer of
// another size, and keeps some until the process ends. AddressSanitizer can switch
// the size check off only for a whole program, so it is off here, in the one test
// that runs the engine; ASAN_OPTIONS still adds to or overrides this.
extern "C" const char *__asan_default_options()
{
    return "new_delete_type_mismatch=0";
}

// Leaks whose allocation goes through the engine's library are the engine's own;
// fontconfig's are suppressed in tests/lsan.supp too, repeated for runs without it.
extern "C" const char *__lsan_default_suppressions()
{
    return "leak:libQt6WebEngineCore.so\n"
           "leak:libfontconfig\n";
}

namespace {

// The engine starts slowly under the sanitizers; a page normally reports within seconds.
constexpr int kTimeout = 90000;

// Catches whatever reaches 127.0.0.1 on a random port and answers every request
// with a small page titled "remote", except /moved, which it sends on to /landed.
class LoopbackListener : public QObject
{
public:
    bool listen()
    {
        if (!m_server.listen(QHostAddress::LocalHost, 0))
            return false;
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = m_server.nextPendingConnection()) {
                const qsizetype index = m_received.size();
                m_received.append(QByteArray());
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket, index] {
                    m_received[index] += socket->readAll();
                    if (!isComplete(m_received[index]) || socket->property("answered").toBool())
                        return;
                    socket->setProperty("answered", true);
                    if (m_received[index].startsWith("GET /moved ")) {
                        socket->write("HTTP/1.1 302 Found\r\nLocation: /landed\r\nConnection: close\r\n"
                                      "Content-Length: 0\r\n\r\n");
                    } else {
                        const QByteArray body = "<title>remote</title>remote";
                        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nConnection: close\r\n"
                                      "Content-Length: "
                                      + QByteArray::number(body.size()) + "\r\n\r\n" + body);
                    }
                    socket->disconnectFromHost();
                });
            }
        });
        return true;
    }

    QString base() const { return QStringLiteral("http://127.0.0.1:%1/").arg(m_server.serverPort()); }
    QUrl url(const QString &path) const { return QUrl(base() + path); }

    // The first line of every request received, e.g. "GET /control HTTP/1.1".
    QStringList requestLines() const
    {
        QStringList lines;
        for (const QByteArray &data : m_received) {
            if (!data.isEmpty())
                lines.append(QString::fromLatin1(data.left(data.indexOf("\r\n"))));
        }
        return lines;
    }

    // Whether a request for path came, by any method.
    bool receivedRequestFor(const QString &path) const
    {
        const QString target = u'/' + path;
        const QStringList lines = requestLines();
        return std::any_of(lines.cbegin(), lines.cend(),
                           [&](const QString &line) { return line.section(u' ', 1, 1) == target; });
    }

    // Every request received apart from those for the given page and its icon.
    QStringList requestsOtherThan(const QString &path) const
    {
        QStringList others;
        for (const QString &line : requestLines()) {
            const QString target = line.section(u' ', 1, 1);
            if (target != u'/' + path && target != QStringLiteral("/favicon.ico"))
                others.append(line);
        }
        return others;
    }

    bool receivedAnything(const QByteArray &marker) const
    {
        return std::any_of(m_received.cbegin(), m_received.cend(),
                           [&](const QByteArray &data) { return data.contains(marker); });
    }

private:
    // Whether data holds a whole request: its headers and as much body as they announce.
    static bool isComplete(const QByteArray &data)
    {
        const qsizetype headersEnd = data.indexOf("\r\n\r\n");
        if (headersEnd < 0)
            return false;
        qsizetype bodyLength = 0;
        for (const QByteArray &header : data.left(headersEnd).split('\n')) {
            if (header.toLower().startsWith("content-length:"))
                bodyLength = header.mid(15).trimmed().toLongLong();
        }
        return data.size() >= headersEnd + 4 + bodyLength;
    }

    QTcpServer m_server;
    QList<QByteArray> m_received;
};

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(content);
}

void writeImage(const QString &path, int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QVERIFY(image.save(path, "PNG"));
}

} // namespace

// Saved pages in the real engine: the pane puts the rules of tst_pagesafety between
// each page and the engine, and keeps what those rules alone cannot show (settings,
// the user's own clicks, redirects, windows, a page's process). One pane, and so one
// engine, serves every case, each starting on a blank page with a listener of its own.
class TestBrowserPane : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<LoopbackListener> m_listener;
    std::unique_ptr<BrowserPane> m_pane;

    QString bookFolder() const { return m_dir.filePath(QStringLiteral("book")); }

    // Writes a saved page into the book folder. Its scripts find the listener's
    // address in BASE and call report(results) when done: the title then reads
    // "done " followed by the results as JSON.
    QUrl writePage(const QString &name, const QString &body) const
    {
        const QString prelude = QStringLiteral(
            "<!DOCTYPE html><meta charset=\"utf-8\"><script>"
            "const BASE = '%1';"
            "function report(results) { document.title = 'done ' + JSON.stringify(results || {}); }"
            "</script>\n")
                                    .arg(m_listener->base());
        const QString path = QDir(bookFolder()).filePath(name);
        writeFile(path, (prelude + body).toUtf8());
        return QUrl::fromLocalFile(path);
    }

    bool openAndWaitForReport(const QUrl &page, QJsonObject *results = nullptr)
    {
        return ::openAndWaitForReport(*m_pane, page, kTimeout, results);
    }

    QWidget *pageInputWidget() const
    {
        auto *view = m_pane->findChild<QWebEngineView *>();
        return view ? view->focusProxy() : nullptr;
    }

    // Waits until the pane shows the page the listener answers with.
    bool waitForRemotePage()
    {
        return waitUntil([this] { return m_pane->title() == QLatin1String("remote"); }, kTimeout);
    }

    // Opens an address on the listener in the pane and waits until it arrives there:
    // whatever an earlier page managed to send has arrived by then.
    bool passControlRequest()
    {
        m_pane->navigate(m_listener->url(QStringLiteral("control")));
        return waitUntil([this] { return m_listener->receivedRequestFor(QStringLiteral("control")); }, kTimeout);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        const QDir root(m_dir.path());
        QVERIFY(root.mkpath(QStringLiteral("book/page_files")));
        QVERIFY(root.mkpath(QStringLiteral("book/other")));
        // Files outside the page's folder, each with a marker that must never show up.
        writeFile(root.filePath("secret.txt"), "LEAK-secret-text");
        writeFile(root.filePath("secret.html"), "<title>LEAK-secret-title</title><p>LEAK-secret-html</p>");
        writeFile(root.filePath("secret.js"), "window.secretScript = 'LEAK-secret-script';");
        writeFile(root.filePath("secret.css"), "body { color: rgb(9, 8, 7) }");
        writeImage(root.filePath("secret.png"), 23, 5);
        // The page's own folder.
        writeFile(root.filePath("book/neighbour.txt"), "LEAK-neighbour");
        writeFile(root.filePath("book/other/private.txt"), "LEAK-private");
        writeImage(root.filePath("book/page_files/pic.png"), 17, 9);
        writeFile(root.filePath("book/page_files/style.css"), "body { background-color: rgb(1, 2, 3) }");
        writeFile(root.filePath("book/page_files/script.js"), "window.ownScript = 'ran';");
        writeFile(root.filePath("book/page_files/frame.html"), "<script>parent.frameRan = true;</script>");
        // A link inside the page's folder leading out of it.
        QVERIFY(QFile::link(root.filePath("secret.png"), root.filePath("book/page_files/escape.png")));
        writeFile(root.filePath("blank.html"), "<title>blank</title>");
        m_pane = std::make_unique<BrowserPane>();
        onWebEngine(*m_pane);
        m_pane->resize(800, 600);
        m_pane->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_pane.get()));
    }

    void init()
    {
        m_listener = std::make_unique<LoopbackListener>();
        QVERIFY(m_listener->listen());
        QVERIFY(openBlankPage(*m_pane, QUrl::fromLocalFile(m_dir.filePath("blank.html")), kTimeout));
    }

    void cleanup() { m_listener.reset(); }

    void savedPageShowsItsOwnImagesStylesScriptsAndFrames()
    {
        const QUrl page = writePage("own.html", R"(
            <link rel="stylesheet" href="page_files/style.css">
            <script src="page_files/script.js"></script>
            <img id="pic" src="page_files/pic.png">
            <iframe src="page_files/frame.html"></iframe>
            <script>
            window.addEventListener('load', () => report({
                imageWidth: document.getElementById('pic').naturalWidth,
                background: getComputedStyle(document.body).backgroundColor,
                script: window.ownScript || '',
                frame: window.frameRan === true,
            }));
            </script>)");
        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        QCOMPARE(results.value("imageWidth").toInt(), 17);
        QCOMPARE(results.value("background").toString(), QStringLiteral("rgb(1, 2, 3)"));
        QCOMPARE(results.value("script").toString(), QStringLiteral("ran"));
        QVERIFY(results.value("frame").toBool());
    }

    void scriptCannotReadOtherLocalFiles()
    {
        const QUrl page = writePage("reader.html", R"(
            <script>
            const settle = promise => promise.then(String, () => 'failed');
            const read = url => fetch(url).then(response => response.text());
            const xhr = url => new Promise((resolve, reject) => {
                const request = new XMLHttpRequest();
                request.open('GET', url);
                request.onload = () => resolve(request.responseText);
                request.onerror = reject;
                request.send();
            });
            const frame = (tag, url) => new Promise(resolve => {
                const element = document.createElement(tag);
                element[tag === 'object' ? 'data' : 'src'] = url;
                const look = () => {
                    try {
                        const doc = element.contentDocument;
                        resolve(doc ? doc.documentElement.innerText.slice(0, 300) : 'no document');
                    } catch (e) { resolve('cross-origin'); }
                };
                element.onload = look;
                element.onerror = look;
                document.body.appendChild(element);
            });
            const image = url => new Promise(resolve => {
                const img = new Image();
                img.onload = () => resolve('width ' + img.naturalWidth);
                img.onerror = () => resolve('failed');
                img.src = url;
            });
            const script = url => new Promise(resolve => {
                const element = document.createElement('script');
                element.onload = () => resolve(String(window.secretScript));
                element.onerror = () => resolve('failed');
                element.src = url;
                document.head.appendChild(element);
            });
            const style = url => new Promise(resolve => {
                const link = document.createElement('link');
                link.rel = 'stylesheet';
                link.onload = () => resolve(getComputedStyle(document.body).color);
                link.onerror = () => resolve('failed');
                link.href = url;
                document.head.appendChild(link);
            });
            window.addEventListener('load', async () => report({
                fetchOutside: await settle(read('../secret.txt')),
                fetchAbsolute: await settle(read(new URL('../secret.txt', location.href).href)),
                fetchOwnFolder: await settle(read('neighbour.txt')),
                xhrOutside: await settle(xhr('../secret.txt')),
                xhrOwnFolder: await settle(xhr('neighbour.txt')),
                frameOutside: await frame('iframe', '../secret.html'),
                frameOfParentFolder: await frame('iframe', '../'),
                frameOfOwnFolder: await frame('iframe', './'),
                frameOfSubfolder: await frame('iframe', 'other/'),
                objectOutside: await frame('object', '../secret.html'),
                imageOutside: await image('../secret.png'),
                imageThroughLink: await image('page_files/escape.png'),
                scriptOutside: await script('../secret.js'),
                styleOutside: await style('../secret.css'),
            }));
            </script>)");
        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        const QByteArray json = QJsonDocument(results).toJson(QJsonDocument::Compact);
        QCOMPARE(results.size(), 14);
        for (const char *key : {"fetchOutside", "fetchAbsolute", "fetchOwnFolder", "xhrOutside", "xhrOwnFolder",
                                "imageOutside", "imageThroughLink", "scriptOutside", "styleOutside"})
            QVERIFY2(results.value(key).toString() == QStringLiteral("failed"), json);
        // Frames may show an error page, but never a file's content or a folder's listing.
        QVERIFY2(!json.contains("LEAK"), json);
        for (const char *name : {"secret.txt", "neighbour.txt", "private.txt"})
            QVERIFY2(!json.contains(name), json);
    }

    void scriptCannotSendAnythingToTheNetwork()
    {
        const QUrl page = writePage("sender.html", R"(
            <form id="form" method="post" target="sink"><input name="data" value="LEAK-form"></form>
            <iframe name="sink"></iframe>
            <script>
            const wait = ms => new Promise(resolve => setTimeout(resolve, ms));
            const settle = promise => promise.then(() => 'sent', () => 'failed');
            const loaded = element => new Promise(resolve => {
                element.onload = () => resolve('loaded');
                element.onerror = () => resolve('failed');
            });
            const attempts = {
                fetch: () => settle(fetch(BASE + 'fetch?LEAK', {method: 'POST', body: 'LEAK', mode: 'no-cors'})),
                xhr: () => new Promise(resolve => {
                    const request = new XMLHttpRequest();
                    request.open('POST', BASE + 'xhr?LEAK');
                    request.onload = () => resolve('sent');
                    request.onerror = () => resolve('failed');
                    request.send('LEAK');
                }),
                image: () => { const img = new Image(); const done = loaded(img); img.src = BASE + 'img?LEAK'; return done; },
                beacon: async () => String(navigator.sendBeacon(BASE + 'beacon?LEAK', 'LEAK')),
                websocket: () => new Promise(resolve => {
                    const socket = new WebSocket(BASE.replace('http:', 'ws:') + 'ws?LEAK');
                    socket.onopen = () => resolve('open');
                    socket.onerror = () => resolve('failed');
                }),
                eventSource: () => new Promise(resolve => {
                    const source = new EventSource(BASE + 'events?LEAK');
                    source.onopen = () => resolve('open');
                    source.onerror = () => { source.close(); resolve('failed'); };
                }),
                stylesheet: () => {
                    const link = document.createElement('link');
                    link.rel = 'stylesheet';
                    const done = loaded(link);
                    link.href = BASE + 'css?LEAK';
                    document.head.appendChild(link);
                    return done;
                },
                frame: () => {
                    const frame = document.createElement('iframe');
                    const done = loaded(frame);
                    frame.src = BASE + 'frame?LEAK';
                    document.body.appendChild(frame);
                    return done;
                },
                formPost: () => {
                    const sink = document.getElementsByName('sink')[0];
                    const form = document.getElementById('form');
                    form.action = BASE + 'form?LEAK';
                    const done = loaded(sink);
                    form.submit();
                    return Promise.race([done, wait(3000).then(() => 'no answer')]);
                },
                prefetch: async () => {
                    const link = document.createElement('link');
                    link.rel = 'prefetch';
                    link.href = BASE + 'prefetch?LEAK';
                    document.head.appendChild(link);
                    return 'asked';
                },
            };
            window.addEventListener('load', async () => {
                const results = {};
                for (const [name, attempt] of Object.entries(attempts))
                    results[name] = await attempt();
                report(results);
            });
            </script>)");
        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        QCOMPARE(results.size(), 10);
        QVERIFY(passControlRequest());
        QVERIFY2(m_listener->requestsOtherThan(QStringLiteral("control")).isEmpty(),
                 qPrintable(m_listener->requestLines().join(u'\n')));
        QVERIFY(!m_listener->receivedAnything("LEAK"));
    }

    // One way out of each kind the pane decides on itself: a script's navigation after
    // loading, a redirect while loading, a window. tst_pagesafety has the rule for
    // every kind of navigation.
    void scriptCannotTakeThePaneToAnotherSite_data()
    {
        QTest::addColumn<QString>("body");
        QTest::newRow("location set after loading") << R"(
            <script>
            window.addEventListener('load', () => setTimeout(() => {
                location.href = BASE + 'nav?LEAK';
                setTimeout(report, 0);
            }, 0));
            </script>)";
        // The engine stops loading a page whose redirect it was refused: no load event.
        QTest::newRow("location set while loading") << R"(
            <script>
            location.href = BASE + 'nav?LEAK';
            setTimeout(report, 0);
            </script>)";
        QTest::newRow("window opened") << R"(
            <script>
            window.addEventListener('load', () => {
                const opened = window.open(BASE + 'nav?LEAK');
                report({opened: opened !== null});
            });
            </script>)";
    }

    // The pane stays on the saved page and hears of no other; nothing is sent.
    void scriptCannotTakeThePaneToAnotherSite()
    {
        QFETCH(QString, body);
        const QUrl page = writePage("mover.html", body);
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);

        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        QVERIFY(!results.value("opened").toBool());
        QCOMPARE(starting.size(), 1);
        QCOMPARE(starting.at(0).at(0).toUrl(), page);
        QVERIFY(passControlRequest());
        QVERIFY2(m_listener->requestsOtherThan(QStringLiteral("control")).isEmpty(),
                 qPrintable(m_listener->requestLines().join(u'\n')));
        QCOMPARE(starting.size(), 2); // the control request's own navigation
    }

    void reloadingShowsThePageAgainWithoutANewNavigation()
    {
        const QUrl page = writePage("again.html", "<script>report({page: 'again'});</script>");
        QVERIFY(openAndWaitForReport(page));
        // The side text, and a page source being edited, belong to the same page still.
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QSignalSpy finished(m_pane.get(), &BrowserPane::loadFinished);
        m_pane->reload();
        QVERIFY(finished.wait(kTimeout));
        QCOMPARE(starting.size(), 0);
    }

    void userStillOpensWebPagesFromASavedPage_data()
    {
        QTest::addColumn<QString>("element");
        QTest::addColumn<QStringList>("opened"); // the main frame's addresses on the listener, in order
        QTest::newRow("link") << R"(<a id="target" href="clicked">link</a>)" << QStringList{"clicked"};
        QTest::newRow("link the server sends on")
            << R"(<a id="target" href="moved">link</a>)" << QStringList{"moved", "landed"};
    }

    // The user's own click still takes a saved page's links to the web.
    void userStillOpensWebPagesFromASavedPage()
    {
        QFETCH(QString, element);
        QFETCH(QStringList, opened);
        const QUrl page = writePage("links.html", element + R"(
            <style>body { margin: 0 } #target { display: block; width: 300px; height: 200px }</style>
            <script>
            const link = document.getElementById('target');
            link.href = BASE + link.getAttribute('href');
            window.addEventListener('load', () => report());
            </script>)");
        QVERIFY(openAndWaitForReport(page));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QWidget *input = pageInputWidget();
        QVERIFY(input);
        QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY2(waitForRemotePage(), qPrintable(m_pane->title()));
        QList<QUrl> expected;
        for (const QString &path : opened) {
            QVERIFY2(m_listener->receivedRequestFor(path), qPrintable(path));
            expected.append(m_listener->url(path));
        }
        QList<QUrl> started;
        for (const QList<QVariant> &arguments : starting)
            started.append(arguments.at(0).toUrl());
        QCOMPARE(started, expected);
    }

    // Addresses other programs open are asked for on the user's click, never handed on for a script.
    void linksToOtherProgramsAskFirstAndNeverForAScript()
    {
        const QUrl page = writePage("mail.html", R"(
            <style>body { margin: 0 } #target { display: block; width: 300px; height: 200px }</style>
            <a id="target" href="mailto:someone@example.com">mail</a>
            <script>
            // Once loaded: the engine takes an address set while loading for a redirect.
            window.addEventListener('load', () => setTimeout(() => {
                location.href = 'kobintest://launch?arg=1';
                report();
            }, 0));
            </script>)");
        QSignalSpy external(m_pane.get(), &BrowserPane::externalAddressRequested);
        QVERIFY(openAndWaitForReport(page));
        // The engine hands the script's address on a moment after the page's report: it
        // must not come after the click below and pass for the user's.
        QVERIFY(!waitUntil([&] { return !external.isEmpty(); }, 500));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QWidget *input = pageInputWidget();
        QVERIFY(input);
        QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(external.wait(kTimeout));
        QCOMPARE(external.size(), 1);
        QCOMPARE(external.at(0).at(0).toUrl(), QUrl("mailto:someone@example.com"));
        QCOMPARE(starting.size(), 0);
    }

    // The engine sends no local page's form to the web, not even on the user's click:
    // the pane refuses it before it starts, and stays on the page.
    void formOfASavedPageSendsNothingEvenOnAClick()
    {
        const QUrl page = writePage("form.html", R"(
            <style>body { margin: 0 } button { display: block; width: 300px; height: 200px }</style>
            <form id="form" method="post"><input name="data" value="LEAK-form"><button>send</button></form>
            <script>
            const form = document.getElementById('form');
            form.action = BASE + 'posted';
            form.onsubmit = () => { setTimeout(() => report({submitted: true}), 0); };
            window.addEventListener('load', () => report());
            </script>)");
        QVERIFY(openAndWaitForReport(page));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QWidget *input = pageInputWidget();
        QVERIFY(input);
        QTest::mouseClick(input, Qt::LeftButton, {}, QPoint(50, 50));
        QVERIFY(waitUntil([this] { return m_pane->title().contains(QStringLiteral("submitted")); }, kTimeout));
        QVERIFY(passControlRequest());
        QVERIFY2(m_listener->requestsOtherThan(QStringLiteral("control")).isEmpty(),
                 qPrintable(m_listener->requestLines().join(u'\n')));
        QCOMPARE(starting.size(), 1);
        QCOMPARE(starting.at(0).at(0).toUrl(), m_listener->url(QStringLiteral("control")));
    }

    void programStillOpensAWebAddressTheServerSendsOn()
    {
        QVERIFY(openAndWaitForReport(writePage("before.html", "<script>report();</script>")));
        m_pane->navigate(m_listener->url(QStringLiteral("moved")));
        QVERIFY2(waitForRemotePage(), qPrintable(m_pane->title()));
        QVERIFY(m_listener->receivedRequestFor(QStringLiteral("landed")));
    }

    void scriptCannotReadOrFillTheClipboard()
    {
        QApplication::clipboard()->setText(QStringLiteral("clipboard-before"));
        const QUrl page = writePage("clipboard.html", R"(
            <textarea id="box"></textarea><p id="text">page-text</p>
            <script>
            window.addEventListener('load', async () => {
                const box = document.getElementById('box');
                box.focus();
                const pasted = document.execCommand('paste');
                const range = document.createRange();
                range.selectNodeContents(document.getElementById('text'));
                getSelection().removeAllRanges();
                getSelection().addRange(range);
                const copied = document.execCommand('copy');
                const settle = promise => promise.then(value => String(value), () => 'failed');
                report({
                    pasted, copied, box: box.value,
                    read: await settle(navigator.clipboard.readText()),
                    written: await settle(navigator.clipboard.writeText('page-written')),
                });
            });
            </script>)");
        QJsonObject results;
        QVERIFY(openAndWaitForReport(page, &results));
        const QByteArray json = QJsonDocument(results).toJson(QJsonDocument::Compact);
        QVERIFY2(!results.value("pasted").toBool() && results.value("box").toString().isEmpty(), json);
        QVERIFY2(results.value("read").toString() == QStringLiteral("failed"), json);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("clipboard-before"));
    }

    // Over a page that is shown, an address of the wrong kind (tst_pagesafety has the
    // kinds) leaves it alone: its script never runs there, no navigation starts, and
    // loadFinished still comes.
    void addressThatIsNoPageRunsNothing()
    {
        const QUrl address(QStringLiteral("javascript:location.href='marker.html'"));
        writePage("marker.html", "<script>report({page: 'marker'});</script>");
        QVERIFY(openAndWaitForReport(writePage("shown.html", "<script>report();</script>")));
        QSignalSpy starting(m_pane.get(), &BrowserPane::navigationStarting);
        QSignalSpy finished(m_pane.get(), &BrowserPane::loadFinished);

        m_pane->navigate(address);
        QVERIFY(finished.wait(kTimeout));
        QCOMPARE(finished.size(), 1);
        auto *refusal = m_pane->findChild<QLabel *>(QStringLiteral("lblPageNote"));
        QVERIFY(refusal && refusal->isVisible());
        QVERIFY(m_pane->title().isEmpty());
        // Another page opens normally afterwards, and nothing above had started one.
        QVERIFY(passControlRequest());
        QVERIFY2(waitForRemotePage(), qPrintable(m_pane->title()));
        QVERIFY(!refusal->isVisible());
        QCOMPARE(starting.size(), 1);
        QCOMPARE(starting.at(0).at(0).toUrl(), m_listener->url(QStringLiteral("control")));
    }

    // Last of the cases on the shared pane: the page's process is killed.
    void aPageWhoseProcessDiesIsSaidToBeGoneAndComesBackOnReload()
    {
        const QUrl page = writePage("fragile.html", "<script>report({page: 'fragile'});</script>");
        QVERIFY(openAndWaitForReport(page));
        auto *view = m_pane->findChild<QWebEngineView *>();
        QSignalSpy finished(m_pane.get(), &BrowserPane::loadFinished);
        ::kill(static_cast<pid_t>(view->page()->renderProcessPid()), SIGKILL);
        QVERIFY(finished.wait(kTimeout));
        auto *note = m_pane->findChild<QLabel *>(QStringLiteral("lblPageNote"));
        QVERIFY(note && note->isVisible());
        QVERIFY(note->text().startsWith(QStringLiteral("ページを表示するプロセスが終了したため")));
        m_pane->reload();
        QVERIFY(waitUntil([this] { return m_pane->title().startsWith(QStringLiteral("done ")); }, kTimeout));
        QVERIFY(!note->isVisible());
    }

    void addressThatIsNoPageStartsNoEngine()
    {
        BrowserPane pane; // one that has shown no page
        onWebEngine(pane);
        QSignalSpy finished(&pane, &BrowserPane::loadFinished);
        pane.navigate(QUrl(QStringLiteral("javascript:document.title='ran'")));
        QVERIFY(finished.isEmpty()); // it comes later, as it does for a page
        QVERIFY(finished.wait(kTimeout));
        QCOMPARE(finished.size(), 1);
        QVERIFY(!pane.hasEngine());
        QVERIFY(pane.title().isEmpty());
    }
};

QTEST_MAIN(TestBrowserPane)
#include "tst_browserpane.moc"
