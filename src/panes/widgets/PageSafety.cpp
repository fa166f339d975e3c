#include "PageSafety.h"

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

// Whether the local file url lies in the folder of the local page (or below it),
// following symbolic links to where they really lead.
bool liesInFolderOf(const QUrl &page, const QUrl &url)
{
    const QFileInfo file(url.toLocalFile());
    if (file.isDir())
        return false;
    QString folder = QFileInfo(page.toLocalFile()).canonicalPath();
    const QString path = file.canonicalFilePath();
    if (folder.isEmpty() || path.isEmpty())
        return false;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return path.startsWith(folder);
}

} // namespace

void applySettings(QWebEngineSettings *settings)
{
    // On: else a local page shows none of its own images, styles or scripts (RequestFilter keeps it to its folder).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, true);
    // The engine refuses a local page's requests to the web (RequestFilter stops the WebSockets it lets through).
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    // The clipboard may hold anything copied elsewhere: scripts neither read nor fill it.
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanPaste, false);
    // A page cannot bring the program's window to the front.
    settings->setAttribute(QWebEngineSettings::AllowWindowActivationFromJavaScript, false);
}

bool allowsResource(const QUrl &page, const QUrl &url, QWebEngineUrlRequestInfo::ResourceType type)
{
    // A web page keeps the engine's rules, and so does the main frame.
    if (!page.isLocalFile() || type == QWebEngineUrlRequestInfo::ResourceTypeMainFrame)
        return true;
    return url.isLocalFile() && showsContent(type) && liesInFolderOf(page, url);
}

void RequestFilter::interceptRequest(QWebEngineUrlRequestInfo &info)
{
    if (!allowsResource(info.firstPartyUrl(), info.requestUrl(), info.resourceType()))
        info.block(true);
}

} // namespace kobin::pagesafety
