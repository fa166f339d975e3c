#include "PageSafety.h"

#include "PageFiles.h"

#include <QFileInfo>
#include <QWebEngineSettings>

namespace kobin::pagesafety {

namespace {

// The kinds of request that only show something: what a script asks for itself
// (fetch, XMLHttpRequest, workers, beacons) is not among them.
bool showsContent(QWebEngineUrlRequestInfo::ResourceType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeStylesheet:
    case QWebEngineUrlRequestInfo::ResourceTypeScript:
    case QWebEngineUrlRequestInfo::ResourceTypeImage:
    case QWebEngineUrlRequestInfo::ResourceTypeFontResource:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypeMedia:
    case QWebEngineUrlRequestInfo::ResourceTypeFavicon:
        return true;
    default:
        return false;
    }
}

} // namespace

void applySettings(QWebEngineSettings *settings)
{
    // On: else a local page shows none of its own images, styles or scripts (RequestFilter keeps it to its folder).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    // The engine refuses a local page's requests to the web (RequestFilter stops the WebSockets it lets through).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // Scripts open no pop-up windows.
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    // The clipboard may hold anything copied elsewhere: scripts neither read nor fill it.
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    // A page cannot bring the program's window to the front.
    settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
}

bool allowsMainFrameNavigation(const QUrl &current, const QUrl &target, QWebEnginePage::NavigationType type,
                               bool userActed)
{
    // A folder's listing shows what lies around the page; a pipe or a device is no
    // page, and reading it would never end.
    if (target.isLocalFile() && QFileInfo::exists(target.toLocalFile()) && !QFileInfo(target.toLocalFile()).isFile())
        return false;
    // Web pages go where the engine lets them, local pages to other local files.
    if (!current.isLocalFile() || target.isLocalFile())
        return true;
    switch (type) {
    case QWebEnginePage::NavigationTypeTyped: // navigate(), the program's own choice
    case QWebEnginePage::NavigationTypeBackForward:
    case QWebEnginePage::NavigationTypeReload:
        return true;
    case QWebEnginePage::NavigationTypeLinkClicked:
        // A script setting location or calling click() reports a link click too:
        // only the user's own click or key press lets a page go out.
        return userActed;
    default:
        // Forms (the engine sends no local page's form to the web, not even on the
        // user's click, and would show an error page instead), redirects (a refresh,
        // a location set while loading) and the rest.
        return false;
    }
}

bool allowsResource(const QUrl &page, const QUrl &url, QWebEngineUrlRequestInfo::ResourceType type)
{
    // A web page keeps the engine's rules; the main frame goes by allowsMainFrameNavigation.
    if (!page.isLocalFile() || type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return true;
    // Folders are listings; a pipe or a device would keep the page loading for ever.
    return url.isLocalFile() && showsContent(type)
        && PageFiles::besideShownPage(page.toLocalFile()).holds(url.toLocalFile());
}

void RequestFilter::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!allowsResource(info.firstPartyUrl(), info.requestUrl(), info.resourceType()))
        info.block(true);
}

} // namespace kobin::pagesafety
