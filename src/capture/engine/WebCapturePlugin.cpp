// The web engine's page capturer as a plugin, for programs that load the web
// engine only when they capture.
#include "PageCapturerFactory.h"
#include "WebPageCapturer.h"

#include <QObject>

namespace kobin::capture {

class WebCapturePlugin : public QObject, public PageCapturerFactory
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KOBIN_PAGE_CAPTURER_FACTORY_IID)
    Q_INTERFACES(kobin::capture::PageCapturerFactory)

public:
    std::unique_ptr<PageCapturer> createCapturer() override { return std::make_unique<WebPageCapturer>(); }
};

} // namespace kobin::capture

#include "WebCapturePlugin.moc"
