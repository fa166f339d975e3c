#pragma once

#include <QString>

namespace kobin {

// The file a running program keeps in its program folder appPath (ending in "/"),
// naming the book it has open: its path on the first line.
QString runningBookMarkerPath(const QString &appPath);

// Whether the book file is open in a program running in appPath: the folder's lock
// is held by a live process and its marker names the book, or cannot be read.
bool isBookOpenInRunningProgram(const QString &appPath, const QString &bookPath);

} // namespace kobin
