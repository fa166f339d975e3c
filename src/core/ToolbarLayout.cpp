#include "ToolbarLayout.h"

#include "Commands.h"

#include <QSet>

namespace kobin::toolbarlayout {

namespace {
const QString kPrefix = QStringLiteral("kobin-toolbar-1:");
}

QStringList defaultLayout()
{
    return toolbarKeys();
}

QString toText(const QStringList &layout)
{
    return kPrefix + layout.join(u',');
}

std::optional<QStringList> fromText(const QString &text)
{
    if (!text.startsWith(kPrefix))
        return std::nullopt;
    QStringList layout;
    QSet<QString> seen;
    const QString body = text.mid(kPrefix.size());
    for (const QString &key : body.split(u',', Qt::SkipEmptyParts)) {
        if (key == Separator) {
            layout.append(Separator);
        } else if (commandForToolbarKey(key) && !seen.contains(key)) {
            seen.insert(key);
            layout.append(key);
        }
    }
    return layout;
}

} // namespace kobin::toolbarlayout
