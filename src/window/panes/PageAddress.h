#pragma once

#include <QUrl>

namespace kobin::pagesafety {

// Whether the page pane opens url at all when asked to: web and local pages only,
// never script (javascript:) or inline (data:) addresses.
bool isOpenableAddress(const QUrl &url);

} // namespace kobin::pagesafety
