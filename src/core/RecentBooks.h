#pragma once

#include <QStringList>

namespace kobin {

class Settings;

// The recent books kept in section "Settings\RecentFiles", newest first.
namespace recentbooks {

// The paths the File menu shows: none while "RecentFile1" is empty, otherwise
// every value of the section in key order.
QStringList load(const Settings &settings);

// Puts path at the head of the list unless it is among shownFirstFour (the
// captions of the menu's first four entries); keeps seven at most.
void add(Settings &settings, const QString &path, const QStringList &shownFirstFour);

} // namespace recentbooks
} // namespace kobin
