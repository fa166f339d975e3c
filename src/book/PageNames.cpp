#include "PageNames.h"

#include <QCryptographicHash>
#include <QRegularExpression>
#include <QUrl>

namespace kobin {

namespace {

bool looksLikeUrl(const QString &address)
{
    // "C:\web\x.html" has a one-letter scheme-like prefix; real schemes are longer.
    const qsizetype colon = address.indexOf(u':');
    return colon > 1 && QUrl(address).isValid() && !QUrl(address).scheme().isEmpty();
}

qsizetype lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(u'/'), path.lastIndexOf(u'\\'));
}

} // namespace

QString pageFolder(const QString &path)
{
    return path.left(lastSeparator(path) + 1);
}

QString addressAsPath(const QString &address)
{
    if (address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(address).toLocalFile();
    return address;
}

QString pageBaseName(const QString &address)
{
    const bool local = address.startsWith(QLatin1String("file:"), Qt::CaseInsensitive) || !looksLikeUrl(address);
    if (local) {
        const QString path = addressAsPath(address);
        const QString name = path.mid(lastSeparator(path) + 1);
        const qsizetype dot = name.indexOf(u'.');
        return dot < 0 ? name : name.left(dot);
    }
    const QByteArray digest = QCryptographicHash::hash(address.toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("web") + QString::fromLatin1(digest.toHex().left(16));
}

QString pagePathFromUrlFile(const QString &text)
{
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    QString path = end < 0 ? text : text.left(end);
    // No file name holds a NUL: a damaged url file names a page that is not found, and says so once.
    path.replace(QChar(0), QChar::ReplacementCharacter);
    return path;
}

QString pageTextName(const QString &key, const QString &baseName)
{
    if (!baseName.isEmpty() && baseName.front().isDigit())
        return key + u'-' + baseName;
    return key + baseName;
}

QString pageBaseNameAfterKey(QStringView tail)
{
    if (tail.size() > 1 && tail.front() == u'-' && tail[1].isDigit())
        return tail.mid(1).toString();
    return tail.toString();
}

QString runTogetherPageTextName(const QString &key, const QString &baseName)
{
    return key + baseName;
}

} // namespace kobin
