#include "FolderFiles.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>
#include <system_error>

#include <dirent.h>
#include <sys/stat.h>

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

namespace {
// The names of the folder's entries whose kind passes keep: the kind of what a link
// leads to, and 0 for a link that leads nowhere.
template <typename Keep>
QStringList namesIn(const QString &folder, Keep keep)
{
    QStringList names;
    DIR *listing = opendir(QFile::encodeName(folder).constData());
    if (!listing)
        return names;
    while (const dirent *entry = readdir(listing)) {
        mode_t kind = DTTOIF(entry->d_type);
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
            struct stat target {};
            kind = fstatat(dirfd(listing), entry->d_name, &target, 0) == 0 ? target.st_mode & S_IFMT : 0;
        }
        if (keep(kind))
            names.append(QFile::decodeName(entry->d_name));
    }
    closedir(listing);
    return names;
}
} // namespace

QStringList fileNamesIn(const QString &folder)
{
    return namesIn(folder, [](mode_t kind) { return !S_ISDIR(kind); });
}

QStringList regularFileNamesIn(const QString &folder)
{
    return namesIn(folder, [](mode_t kind) { return S_ISREG(kind); });
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

bool haveSameContent(const QString &first, const QString &second)
{
    // Files of different sizes, as a changed note mostly is, differ without a byte read.
    std::error_code error;
    const std::filesystem::path one = fileSystemPath(first);
    const std::filesystem::path other = fileSystemPath(second);
    const auto size = std::filesystem::file_size(one, error);
    if (error || size != std::filesystem::file_size(other, error) || error)
        return false;
    // Standard streams: a save compares many small files, and opening each costs less this way.
    std::ifstream oneStream(one, std::ios::binary);
    std::ifstream otherStream(other, std::ios::binary);
    constexpr std::streamsize chunk = 64 * 1024;
    std::vector<char> oneBytes(chunk);
    std::vector<char> otherBytes(chunk);
    while (oneStream && otherStream) {
        oneStream.read(oneBytes.data(), chunk);
        otherStream.read(otherBytes.data(), chunk);
        const std::streamsize read = oneStream.gcount();
        if (read != otherStream.gcount() || !std::equal(oneBytes.begin(), oneBytes.begin() + read, otherBytes.begin()))
            return false;
        if (read < chunk)
            return oneStream.eof() && otherStream.eof();
    }
    return false;
}

bool linkOrCopyFile(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::create_hard_link(fileSystemPath(source), fileSystemPath(target), error);
    return !error || QFile::copy(source, target);
}

bool copyFileOver(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::copy_file(fileSystemPath(source), fileSystemPath(target),
                               std::filesystem::copy_options::overwrite_existing, error);
    return !error;
}

} // namespace kobin
