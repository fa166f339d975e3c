#include "FetchedFileName.h"

#include <QFile>
#include <QMimeDatabase>

namespace kobin::capture {

namespace {

// What most file systems allow a name, counted in the bytes of their encoding.
constexpr qsizetype kLongestNameBytes = 255;
// Longer than this, what follows the last dot is no suffix but part of the name.
constexpr qsizetype kLongestSuffix = 16;

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
    return name;
}

qsizetype encodedSize(QStringView name)
{
    return QFile::encodeName(name.toString()).size();
}

// The name cut, at whole characters before its suffix, until the file system takes it.
QString fitted(const QString &name)
{
    if (encodedSize(name) <= kLongestNameBytes)
        return name;
    const qsizetype dot = name.lastIndexOf(u'.');
    const bool hasSuffix = dot > 0 && name.size() - dot <= kLongestSuffix;
    const QStringView suffix = hasSuffix ? QStringView(name).mid(dot) : QStringView();
    const QStringView stem = QStringView(name).first(name.size() - suffix.size());
    qsizetype room = kLongestNameBytes - encodedSize(suffix);
    qsizetype end = 0; // the start of the stem that is kept
    while (end < stem.size()) {
        const bool pair = stem[end].isHighSurrogate() && end + 1 < stem.size() && stem[end + 1].isLowSurrogate();
        const qsizetype length = pair ? 2 : 1;
        room -= encodedSize(stem.mid(end, length));
        if (room < 0)
            break;
        end += length;
    }
    return stem.first(end).toString().append(suffix);
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
    return fitted(name);
}

} // namespace kobin::capture
