#include "PageLocator.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace kobin {

QStringList pathComponents(const QString &path)
{
    QStringList parts = path.split(QRegularExpression(QStringLiteral("[/\\\\]")), Qt::SkipEmptyParts);
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:$"));
    if (!parts.isEmpty() && drive.match(parts.first()).hasMatch())
        parts.removeFirst();
    return parts;
}

bool isWindowsPath(const QString &path)
{
    static const QRegularExpression drive(QStringLiteral("^[A-Za-z]:"));
    return path.contains(u'\\') || drive.match(path).hasMatch();
}

QString pagePathFor(const QString &recordedPath, const QString &bookPath, const QString &appPath)
{
    if (recordedPath.isEmpty() || QFileInfo(recordedPath).isAbsolute())
        return recordedPath;
    if (!bookPath.isEmpty()) {
        const QString besideBook = QFileInfo(bookPath).absoluteDir().filePath(recordedPath);
        if (QFileInfo::exists(besideBook))
            return besideBook;
    }
    return QDir(appPath).filePath(recordedPath);
}

std::optional<QString> findPage(const QString &recordedPath, const QString &bookPath, const QString &appPath,
                                const QStringList &moreFolders)
{
    const QString path = pagePathFor(recordedPath, bookPath, appPath);
    if (isPageFile(path))
        return path;
    QStringList folders{appPath};
    if (!bookPath.isEmpty())
        folders << QFileInfo(bookPath).absolutePath();
    return PageLocator(folders + moreFolders).locate(recordedPath);
}

bool isPageFile(const QString &path)
{
    return !path.isEmpty() && path.size() <= PageLocator::kMaxPathLength && QFileInfo(path).isFile();
}

std::optional<QString> entryIgnoringCase(const QString &folder, const QString &name)
{
    if (name == QLatin1String(".") || name == QLatin1String(".."))
        return std::nullopt; // a tail never climbs out of the folder it is looked for under
    const QString exact = folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QStringList entries =
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    }
    return std::nullopt;
}

PageLocator::PageLocator(QStringList folders) : m_folders(std::move(folders))
{
    m_folders.removeAll(QString());
    m_folders.removeDuplicates();
}

std::optional<QString> PageLocator::locate(const QString &recordedPath) const
{
    if (recordedPath.size() > kMaxPathLength)
        return std::nullopt;
    const QStringList parts = pathComponents(recordedPath);
    for (qsizetype tail = std::min<qsizetype>(parts.size(), kMaxTrailingComponents); tail >= 1; --tail) {
        for (const QString &folder : m_folders) {
            std::optional<QString> found = QDir::cleanPath(folder);
            for (qsizetype i = parts.size() - tail; found && i < parts.size(); ++i)
                found = entryIgnoringCase(*found, parts[i]);
            if (found && isPageFile(*found))
                return QDir::cleanPath(*found);
        }
    }
    return std::nullopt;
}

} // namespace kobin
