#include "WindowPlacement.h"

#include <algorithm>

namespace kobin {

QPoint centredIn(const QRect &area, const QSize &window)
{
    return {std::max(area.left(), area.left() + (area.width() - window.width()) / 2),
            std::max(area.top(), area.top() + (area.height() - window.height()) / 2)};
}

QPoint besideOwner(const QRect &owner, const QSize &window, const QRect &area)
{
    const int areaRight = area.left() + area.width(); // QRect::right() is one short of the edge
    int left = owner.left() + owner.width();
    if (left + window.width() > areaRight) {
        left = owner.left() - window.width();
        if (left < area.left())
            return centredIn(area, window);
    }
    const int lowestTop = area.top() + area.height() - window.height();
    return {left, std::max(area.top(), std::min(owner.top(), lowestTop))};
}

} // namespace kobin
