#include "FetchedFileName.h"

#include <QMimeDatabase>

namespace kobin::capture {

namespace {

constexpr int kLongestName = 120;

QString sanitised(QString name)
{
    for (QChar &character : name) {
        if (character.unicode() < 0x20 || QStringView(u"/\\:*?\"<>|").contains(character))
            character = u'_';
    }
    // A leading dot would hide the file; trailing dots and spaces are lost on other systems.
    while (name.startsWith(u'.'))
        name.remove(0, 1);
    while (name.endsWith(u'.') || name.endsWith(u' '))
        name.chop(1);
    if (name.size() > kLongestName)
        name = name.right(kLongestName);
    return name;
}

} // namespace

QString fetchedFileName(const QUrl &url, const QString &contentType)
{
    const QString path = url.path(QUrl::FullyDecoded);
    QString name = sanitised(path.mid(path.lastIndexOf(u'/') + 1));
    if (name.isEmpty())
        name = QStringLiteral("file");
    if (!name.contains(u'.')) {
        const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
        const QString suffix = QMimeDatabase().mimeTypeForName(type).preferredSuffix();
        if (!suffix.isEmpty())
            name += u'.' + suffix;
    }
    return name;
}

} // namespace kobin::capture
