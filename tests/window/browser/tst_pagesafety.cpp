#include "PageSafety.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace kobin;
using namespace kobin::pagesafety;

using Resource = QWebEngineUrlRequestInfo::ResourceType;
using Navigation = QWebEnginePage::NavigationType;
Q_DECLARE_METATYPE(Resource)
Q_DECLARE_METATYPE(Navigation)

// The rules a saved page is held to, without a web engine: what the page request
// filter lets a page load, where its main frame may go, and which addresses the pane
// opens at all. tst_browserpane shows on real pages that the pane applies them.
class TestPageSafety : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QUrl at(const QString &name) const { return QUrl::fromLocalFile(m_dir.filePath(name)); }
    QUrl page() const { return at(QStringLiteral("book/page.html")); }

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        writeText(m_dir.filePath("secret.txt"), "the user's own");
        writeText(m_dir.filePath("secret.png"), "png");
        writeText(m_dir.filePath("book/page.html"), "<p>page</p>");
        writeText(m_dir.filePath("book/neighbour.txt"), "beside the page");
        writeText(m_dir.filePath("book/other/private.txt"), "in a folder beside the page");
        writeText(m_dir.filePath("book/page_files/pic.png"), "png");
        writeText(m_dir.filePath("book2/pic.png"), "in a folder whose name begins as the page's does");
        QVERIFY(QFile::link(m_dir.filePath("secret.png"), m_dir.filePath("book/page_files/escape.png")));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir.filePath("book/pipe")).constData(), 0600), 0);
    }

    void aSavedPageLoadsOnlyWhatShowsFromItsOwnFolder_data()
    {
        QTest::addColumn<QUrl>("page");
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<Resource>("type");
        QTest::addColumn<bool>("allowed");
        const auto fromPage = [this](const char *name, const QUrl &url, Resource type, bool allowed) {
            QTest::newRow(name) << page() << url << type << allowed;
        };
        const QUrl web(QStringLiteral("http://127.0.0.1:8080/page.html"));
        const QUrl pic = at("book/page_files/pic.png");
        for (const Resource type : {Resource::ResourceTypeImage, Resource::ResourceTypeStylesheet,
                                    Resource::ResourceTypeScript, Resource::ResourceTypeSubFrame,
                                    Resource::ResourceTypeFontResource, Resource::ResourceTypeObject,
                                    Resource::ResourceTypeMedia, Resource::ResourceTypeFavicon})
            QTest::addRow("own file shown, type %d", int(type)) << page() << pic << type << true;
        QUrl asked = pic;
        asked.setQuery(QStringLiteral("size=2"));
        fromPage("own file with a query", asked, Resource::ResourceTypeImage, true);
        fromPage("main frame, the navigation's own rule", at("secret.txt"), Resource::ResourceTypeMainFrame, true);
        // What a script asks for itself is never given, even from the page's own folder.
        for (const Resource type :
             {Resource::ResourceTypeXhr, Resource::ResourceTypeSubResource, Resource::ResourceTypePing,
              Resource::ResourceTypeWebSocket, Resource::ResourceTypePrefetch, Resource::ResourceTypeWorker,
              Resource::ResourceTypeSharedWorker, Resource::ResourceTypeServiceWorker,
              Resource::ResourceTypeCspReport, Resource::ResourceTypePluginResource,
              Resource::ResourceTypeNavigationPreloadMainFrame, Resource::ResourceTypeNavigationPreloadSubFrame,
              Resource::ResourceTypeUnknown})
            QTest::addRow("own file fetched, type %d", int(type))
                << page() << at("book/neighbour.txt") << type << false;
        fromPage("file outside", at("secret.txt"), Resource::ResourceTypeSubFrame, false);
        fromPage("file climbed to", at("book/../secret.png"), Resource::ResourceTypeImage, false);
        fromPage("link leading out", at("book/page_files/escape.png"), Resource::ResourceTypeImage, false);
        fromPage("folder named alike", at("book2/pic.png"), Resource::ResourceTypeImage, false);
        fromPage("own folder", at("book/"), Resource::ResourceTypeSubFrame, false);
        fromPage("folder beside", at("book/other/"), Resource::ResourceTypeSubFrame, false);
        fromPage("folder above", at(""), Resource::ResourceTypeSubFrame, false);
        fromPage("root", QUrl("file:///"), Resource::ResourceTypeSubFrame, false);
        fromPage("missing file", at("book/gone.png"), Resource::ResourceTypeImage, false);
        fromPage("pipe as an image", at("book/pipe"), Resource::ResourceTypeImage, false);
        fromPage("pipe as a frame", at("book/pipe"), Resource::ResourceTypeSubFrame, false);
        fromPage("device", QUrl::fromLocalFile("/dev/zero"), Resource::ResourceTypeImage, false);
        for (const Resource type : {Resource::ResourceTypeImage, Resource::ResourceTypeStylesheet,
                                    Resource::ResourceTypeSubFrame, Resource::ResourceTypeXhr,
                                    Resource::ResourceTypePing, Resource::ResourceTypeWebSocket,
                                    Resource::ResourceTypePrefetch})
            QTest::addRow("web address, type %d", int(type)) << page() << web << type << false;
        fromPage("web socket address", QUrl("ws://127.0.0.1:8080/ws"), Resource::ResourceTypeWebSocket, false);
        fromPage("inline address", QUrl("data:image/png;base64,AAAA"), Resource::ResourceTypeImage, false);
        // A web page keeps the engine's own rules.
        QTest::newRow("web page, web resource") << web << web << Resource::ResourceTypeXhr << true;
        QTest::newRow("web page, local file") << web << at("secret.txt") << Resource::ResourceTypeImage << true;
    }
    void aSavedPageLoadsOnlyWhatShowsFromItsOwnFolder()
    {
        QFETCH(QUrl, page);
        QFETCH(QUrl, url);
        QFETCH(Resource, type);
        QFETCH(bool, allowed);
        QCOMPARE(allowsResource(page, url, type), allowed);
    }

    void aSavedPageGoesOutOnlyAtTheUsersWord_data()
    {
        QTest::addColumn<QUrl>("current");
        QTest::addColumn<QUrl>("target");
        QTest::addColumn<Navigation>("type");
        QTest::addColumn<bool>("userActed");
        QTest::addColumn<bool>("allowed");
        const auto fromPage = [this](const char *name, const QUrl &target, Navigation type, bool userActed,
                                     bool allowed) {
            QTest::newRow(name) << page() << target << type << userActed << allowed;
        };
        const QUrl web(QStringLiteral("http://127.0.0.1:8080/nav"));
        fromPage("script link", web, Navigation::NavigationTypeLinkClicked, false, false);
        fromPage("user's click", web, Navigation::NavigationTypeLinkClicked, true, true);
        // Forms go nowhere, even on the user's click.
        fromPage("form", web, Navigation::NavigationTypeFormSubmitted, false, false);
        fromPage("form on a click", web, Navigation::NavigationTypeFormSubmitted, true, false);
        fromPage("redirect", web, Navigation::NavigationTypeRedirect, false, false);
        fromPage("redirect after a click", web, Navigation::NavigationTypeRedirect, true, false);
        fromPage("other", web, Navigation::NavigationTypeOther, true, false);
        fromPage("program's own", web, Navigation::NavigationTypeTyped, false, true);
        fromPage("back or forward", web, Navigation::NavigationTypeBackForward, false, true);
        fromPage("reload", web, Navigation::NavigationTypeReload, false, true);
        fromPage("to another local page", at("book/neighbour.txt"), Navigation::NavigationTypeLinkClicked, false, true);
        fromPage("to a missing local page", at("book/gone.html"), Navigation::NavigationTypeRedirect, false, true);
        QTest::newRow("web page onwards")
            << web << QUrl("http://127.0.0.1:8080/other") << Navigation::NavigationTypeRedirect << false << true;
        QTest::newRow("web page to a local page") << web << page() << Navigation::NavigationTypeLinkClicked << false
                                                  << true;
        // No folder's listing, and no pipe or device, whoever asks.
        fromPage("root", QUrl("file:///"), Navigation::NavigationTypeLinkClicked, false, false);
        fromPage("own folder", at("book/"), Navigation::NavigationTypeLinkClicked, true, false);
        fromPage("own folder, typed", at("book"), Navigation::NavigationTypeTyped, false, false);
        QTest::newRow("folder from a web page") << web << at("book/") << Navigation::NavigationTypeTyped << false
                                                << false;
        fromPage("pipe", at("book/pipe"), Navigation::NavigationTypeTyped, false, false);
        fromPage("device", QUrl::fromLocalFile("/dev/zero"), Navigation::NavigationTypeTyped, false, false);
    }
    void aSavedPageGoesOutOnlyAtTheUsersWord()
    {
        QFETCH(QUrl, current);
        QFETCH(QUrl, target);
        QFETCH(Navigation, type);
        QFETCH(bool, userActed);
        QFETCH(bool, allowed);
        QCOMPARE(allowsMainFrameNavigation(current, target, type, userActed), allowed);
    }

    void onlyWebAndLocalPagesAreOpened_data()
    {
        QTest::addColumn<QUrl>("address");
        QTest::addColumn<bool>("openable");
        QTest::newRow("local") << page() << true;
        QTest::newRow("http") << QUrl("http://example.com/") << true;
        QTest::newRow("https") << QUrl("HTTPS://example.com/") << true;
        QTest::newRow("javascript") << QUrl("javascript:location.href='marker.html'") << false;
        QTest::newRow("javascript in capitals") << QUrl("JavaScript:location.href='marker.html'") << false;
        QTest::newRow("data") << QUrl("data:text/html,<script>location.href='marker.html'</script>") << false;
        QTest::newRow("view-source") << QUrl("view-source:file:///") << false;
        QTest::newRow("mail") << QUrl("mailto:someone@example.com") << false;
        QTest::newRow("another program's") << QUrl("kobintest://launch?arg=1") << false;
        QTest::newRow("invalid") << QUrl("http://exa mple.com/") << false;
        QTest::newRow("empty") << QUrl() << false;
    }
    void onlyWebAndLocalPagesAreOpened()
    {
        QFETCH(QUrl, address);
        QFETCH(bool, openable);
        QCOMPARE(isOpenableAddress(address), openable);
    }
};

QTEST_GUILESS_MAIN(TestPageSafety)
#include "tst_pagesafety.moc"
