#pragma once

#include <QIcon>
#include <QString>

namespace kobin {

// The picture of an image key (our own artwork, built into the program).
QIcon iconFor(const QString &imageKey);
QIcon programIcon();

} // namespace kobin
