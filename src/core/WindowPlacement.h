#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

namespace kobin {

// Where a window goes on the screen, from sizes alone. Rectangles and sizes are
// of whole windows, frames included; the point is the frame's top-left corner.

// In the middle of the area; a window larger than the area keeps its top-left
// corner (its title bar) inside it.
QPoint centredIn(const QRect &area, const QSize &window);

// Beside the owner, its top level with the owner's: to the right where the area
// has room for the whole window, else to the left; centred on the area where
// neither side has room. A window taller than the room below the owner's top
// moves up to stay inside the area.
QPoint besideOwner(const QRect &owner, const QSize &window, const QRect &area);

} // namespace kobin
