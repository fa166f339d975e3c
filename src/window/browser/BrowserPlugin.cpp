// The browser plugin: the page pane's web engine, loaded the first time a page is
// opened, so that the program starts without it.
#include "WebPageSurface.h"

namespace kobin {

class BrowserPlugin : public WebPageSurfaces
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID KOBIN_PAGE_SURFACE_FACTORY_IID)
    Q_INTERFACES(kobin::PageSurfaceFactory)
};

} // namespace kobin

#include "BrowserPlugin.moc"
