#include "Icons.h"

#include <QFile>
#include <QHash>

namespace kobin {

QIcon iconFor(const QString &imageKey)
{
    static QHash<QString, QIcon> cache;
    const auto it = cache.constFind(imageKey);
    if (it != cache.constEnd())
        return *it;
    const QString path = QStringLiteral(":/icons/") + imageKey + QStringLiteral(".svg");
    const QIcon icon = QFile::exists(path) ? QIcon(path) : QIcon();
    cache.insert(imageKey, icon);
    return icon;
}

QIcon programIcon()
{
    return iconFor(QStringLiteral("kobin"));
}

} // namespace kobin
