#include "RecentBooks.h"

#include "Settings.h"

namespace kobin::recentbooks {

QStringList load(const Settings &settings)
{
    if (settings.readString(settings::recentFile(1)).isEmpty())
        return {};
    QStringList paths;
    for (const auto &pair : settings.readAll(settings::RecentFilesSection))
        paths.append(pair.second);
    return paths;
}

void add(Settings &settings, const QString &path, const QStringList &shownFirstFour)
{
    if (shownFirstFour.contains(path))
        return;
    for (int n = settings::kRecentFileCount - 1; n >= 1; --n) {
        const QString value = settings.readString(settings::recentFile(n));
        if (!value.isEmpty())
            settings.write(settings::recentFile(n + 1), value);
    }
    settings.write(settings::recentFile(1), path);
}

} // namespace kobin::recentbooks
