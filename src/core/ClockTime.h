#pragma once

#include <QString>
#include <QTime>

namespace kobin {

// A time of day as the system's long form writes it on a Japanese system ("14:07:09"): the
// locale's own long form there reads "14時07分09秒", which neither a note nor the status bar shows.
inline QString clockTime(const QTime &time)
{
    return time.toString(QStringLiteral("H:mm:ss"));
}

} // namespace kobin
