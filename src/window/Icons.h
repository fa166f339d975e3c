#pragma once

#include <QIcon>
#include <QString>

namespace kobin {

// The picture of an image key (our own artwork, built into the program).
QIcon iconFor(const QString &imageKey);
QIcon programIcon();
// The mixed look of a check button whose style the selection has only in part:
// the picture over a hatched, half-pressed ground. Qt's tool buttons have no such state.
QIcon mixedIconFor(const QString &imageKey);

} // namespace kobin
