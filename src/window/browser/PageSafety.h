#pragma once

#include "PageAddress.h"

#include <QWebEnginePage>
#include <QWebEngineUrlRequestInterceptor>

class QWebEngineSettings;

namespace kobin {

// What a page in the web page pane may do. A saved page is a file from the web,
// scripts and all: it may show itself, with the images, styles, scripts and frames
// in its own folder, but not read other local files, reach the network, open
// windows or take the pane elsewhere on its own.
namespace pagesafety {

// The engine settings every page of the pane runs with.
void applySettings(QWebEngineSettings *settings);

// Whether the main frame, now showing current, may go to target. userActed tells
// whether the user clicked or typed into the page since its last navigation. No
// local folder is ever shown: its listing is no page.
bool allowsMainFrameNavigation(const QUrl &current, const QUrl &target, QWebEnginePage::NavigationType type,
                               bool userActed);

// Whether a page whose top document is page may load url as a resource of the
// given type (frames, images, styles, scripts and the like).
bool allowsResource(const QUrl &page, const QUrl &url, QWebEngineUrlRequestInfo::ResourceType type);

// Applies allowsResource to every request of the page it is installed on.
class RequestFilter : public QWebEngineUrlRequestInterceptor
{
public:
    using QWebEngineUrlRequestInterceptor::QWebEngineUrlRequestInterceptor;
    void interceptRequest(QWebEngineUrlRequestInfo &info) override;
};

} // namespace pagesafety

} // namespace kobin
