#include "Icons.h"

#include <QFile>
#include <QPainter>
#include <QPixmap>
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

QIcon mixedIconFor(const QString &imageKey)
{
    constexpr int side = 40; // drawn large, shown at the toolbar's size
    QPixmap ground(side, side);
    ground.fill(Qt::transparent);
    QPainter painter(&ground);
    painter.setPen(QPen(QColor(0x70, 0x70, 0x70), 2, Qt::DashLine));
    painter.setBrush(QBrush(QColor(0x90, 0xa8, 0xd0), Qt::BDiagPattern));
    painter.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), 6, 6);
    iconFor(imageKey).paint(&painter, QRect(6, 6, side - 12, side - 12));
    painter.end();
    return QIcon(ground);
}

QIcon programIcon()
{
    return iconFor(QStringLiteral("kobin"));
}

} // namespace kobin
