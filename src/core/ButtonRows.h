#pragma once

#include <QList>
#include <QRect>
#include <QSize>

namespace kobin {

// The toolbar's buttons laid out in a width: left to right, onto a further row
// wherever the next would reach past the width, so that no button is ever left
// out. A separator that would begin a row is left out instead (an empty place).
struct ButtonRowsEntry {
    QSize size;
    bool separator = false;
};

struct ButtonRowsPlacement {
    QList<QRect> places; // one for each entry, in order
    int height = 0;      // of all rows together
};

ButtonRowsPlacement placeInRows(const QList<ButtonRowsEntry> &entries, int width);

} // namespace kobin
