#include "JoplinItem.h"

#include <QRegularExpression>
#include <QStringList>

namespace kobin::import {

bool JoplinItem::isId(const QString &text)
{
    static const QRegularExpression id(QStringLiteral("^[0-9a-f]{32}$"));
    return id.match(text).hasMatch();
}

std::optional<JoplinItem> JoplinItem::parse(const QString &text)
{
    // Read from the end, as Joplin does: the properties up to the first blank line, the rest is title and body.
    const QStringList lines = QString(text).replace(QLatin1String("\r\n"), QLatin1String("\n")).split(u'\n');
    JoplinItem item;
    qsizetype line = lines.size() - 1;
    for (; line >= 0; --line) {
        const QString property = lines[line].trimmed();
        if (property.isEmpty())
            break;
        const qsizetype colon = property.indexOf(u':');
        if (colon <= 0)
            return std::nullopt;
        item.properties.insert(property.left(colon).trimmed(), property.mid(colon + 1).trimmed());
    }
    bool number = false;
    item.type = item.properties.value(QStringLiteral("type_")).toInt(&number);
    item.id = item.properties.value(QStringLiteral("id"));
    if (!number || !isId(item.id))
        return std::nullopt;
    if (line > 0) {
        item.title = lines[0];
        if (line > 2)
            item.body = lines.mid(2, line - 2).join(u'\n');
    }
    return item;
}

} // namespace kobin::import
