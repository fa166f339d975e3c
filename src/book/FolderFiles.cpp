#include "FolderFiles.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace kobin {

bool moveToTrash(const QString &path)
{
    // Qt 6.4 moves the file into a "files" folder under the current folder when it
    // cannot set up the home trash, so the trash folder is made sure of first.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return !data.isEmpty() && QDir().mkpath(data + QStringLiteral("/Trash")) && QFile::moveToTrash(path);
}

bool removeFile(const QString &path, Removal removal)
{
    return (removal == Removal::ToTrash && moveToTrash(path)) || QFile::remove(path);
}

bool deleteAllFiles(const QString &folder, Removal removal)
{
    QDir dir(folder);
    if (!dir.exists())
        return true;
    bool allDeleted = true;
    for (const QString &name : dir.entryList(QDir::Files | QDir::Hidden | QDir::System))
        allDeleted = removeFile(dir.filePath(name), removal) && allDeleted;
    return allDeleted;
}

bool copyFileAtomically(const QString &source, const QString &target)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError && saveFileAtomically(target, bytes);
}

bool haveSameContent(const QString &first, const QString &second)
{
    QFile one(first);
    QFile other(second);
    if (!one.open(QIODevice::ReadOnly) || !other.open(QIODevice::ReadOnly) || one.size() != other.size())
        return false;
    constexpr qint64 chunk = 64 * 1024;
    while (!one.atEnd()) {
        const QByteArray bytes = one.read(chunk);
        if (bytes.isEmpty() || bytes != other.read(chunk))
            return false;
    }
    return one.error() == QFileDevice::NoError && other.error() == QFileDevice::NoError;
}

bool copyFileOver(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::copy_file(fileSystemPath(source), fileSystemPath(target),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace kobin
