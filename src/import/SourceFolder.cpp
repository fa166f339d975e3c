#include "SourceFolder.h"

#include "BoundedFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QUrl>

namespace kobin::import {

SourceFolder::SourceFolder(const QString &root)
{
    const QFileInfo info(root);
    if (!info.isDir() || !info.isReadable())
        return;
    m_root = QDir::cleanPath(info.absoluteFilePath()) + u'/';
    m_realRoot = QDir::cleanPath(info.canonicalFilePath()) + u'/';
}

std::optional<QString> SourceFolder::resolve(const QString &relative) const
{
    const QString name = relativeName(relative);
    if (m_root.isEmpty() || name.isEmpty())
        return std::nullopt;
    const QString path = m_root + name;
    if (!contains(path))
        return std::nullopt;
    return path;
}

bool SourceFolder::contains(const QString &path) const
{
    const QString real = QFileInfo(path).canonicalFilePath();
    return !m_realRoot.isEmpty() && !real.isEmpty() && (real + u'/').startsWith(m_realRoot);
}

std::optional<QByteArray> SourceFolder::read(const QString &path, qint64 maxBytes) const
{
    if (!contains(path))
        return std::nullopt;
    return readRegularFile(path, maxBytes);
}

QString relativeName(const QString &address)
{
    static const QRegularExpression queryOrFragment(QStringLiteral("[?#].*$"));
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*:"));
    const QString name = address.trimmed().remove(queryOrFragment);
    if (name.contains(scheme))
        return {};
    return safeRelativePath(QUrl::fromPercentEncoding(name.toUtf8()));
}

QString safeRelativePath(const QString &path)
{
    const QString name = QString(path).replace(u'\\', u'/');
    // A drive ("C:") or a leading "/" names nothing inside.
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    if (name.isEmpty() || name.startsWith(u'/') || name.contains(drive) || name.contains(QChar(0)))
        return {};
    QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral(".")); // as tar writes names given from "."
    if (parts.isEmpty() || parts.contains(QStringLiteral("..")))
        return {};
    return parts.join(u'/');
}

} // namespace kobin::import
