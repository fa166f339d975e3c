#pragma once

#include <QWebEngineUrlRequestInterceptor>

class QWebEngineSettings;

namespace kobin {

// What a page in the web page pane may do. A saved page is a file from the web,
// scripts and all: it may show itself, with the images, styles, scripts and frames
// in its own folder, but not read other local files or reach the network.
namespace pagesafety {

// The engine settings every page of the pane runs with.
void applySettings(QWebEngineSettings *settings);

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
