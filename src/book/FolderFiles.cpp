#include "FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <filesystem>
#include <system_error>

namespace kobin {

namespace {

std::filesystem::path toFsPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

} // namespace

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
    const std::filesystem::path temporary = toFsPath(target + QStringLiteral(".kobin-part"));
    std::error_code error;
    std::filesystem::copy_file(toFsPath(source), temporary,
                               std::filesystem::copy_options::overwrite_existing, error);
    if (!error)
        std::filesystem::rename(temporary, toFsPath(target), error);
    if (error) {
        std::error_code ignored;
        std::filesystem::remove(temporary, ignored);
        return false;
    }
    return true;
}

bool copyFileOver(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::copy_file(toFsPath(source), toFsPath(target), std::filesystem::copy_options::overwrite_existing,
                               error);
    return !error;
}

bool moveFileOver(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::rename(toFsPath(source), toFsPath(target), error);
    return !error;
}

} // namespace kobin
