#include "ButtonRows.h"

#include <algorithm>

namespace kobin {

ButtonRowsPlacement placeInRows(const QList<ButtonRowsEntry> &entries, int width)
{
    ButtonRowsPlacement placement;
    int x = 0;
    int rowTop = 0;
    int rowHeight = 0;
    for (const ButtonRowsEntry &entry : entries) {
        if (x > 0 && x + entry.size.width() > width) {
            rowTop += rowHeight;
            x = 0;
            rowHeight = 0;
        }
        if (x == 0 && entry.separator) {
            placement.places.append(QRect());
            continue;
        }
        placement.places.append(QRect(QPoint(x, rowTop), entry.size));
        x += entry.size.width();
        rowHeight = std::max(rowHeight, entry.size.height());
    }
    placement.height = rowTop + rowHeight;
    return placement;
}

} // namespace kobin
