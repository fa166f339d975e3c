#pragma once

#include <QColor>

namespace kobin {

// A stored colour value: red in the low byte, or, with the top bit set, a
// system colour by its index (5 the window background, 15 the button face, ...).
QColor colorFromValue(qint32 value);
qint32 valueFromColor(const QColor &color);

} // namespace kobin
