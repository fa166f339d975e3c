#include "AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <functional>
#include <system_error>
#include <tuple>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kobin {

QString fileBehind(const QString &path)
{
    const QFileInfo info(path);
    if (!info.isSymLink())
        return path;
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.symLinkTarget() : canonical;
}

namespace {

bool syncToDisk(int handle)
{
#ifdef Q_OS_WIN
    return _commit(handle) == 0;
#else
    return ::fsync(handle) == 0;
#endif
}

} // namespace

void syncFolder([[maybe_unused]] const QString &folder)
{
#ifndef Q_OS_WIN
    const int handle = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (handle < 0)
        return;
    std::ignore = ::fsync(handle);
    ::close(handle);
#endif
}

std::filesystem::path fileSystemPath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

bool moveFileOver(const QString &source, const QString &target)
{
    std::error_code error;
    std::filesystem::rename(fileSystemPath(source), fileSystemPath(target), error);
    return !error;
}

namespace {

// Writes a file's new content to its part file with write, then puts the part file
// in the file's place: the replacement every atomic write and copy shares.
bool replaceAtomically(const QString &path, const std::function<bool(QFile &part)> &write)
{
    const QString target = fileBehind(path);
    const QFileInfo existing(target);
    if (existing.exists() && !existing.isWritable())
        return false; // a file the user made read-only stays as it is
    const QString part = target + QLatin1String(PartFileEnding);
    QFile file(part);
    // Unbuffered, so that a write the disk refuses is seen here and not lost in a later flush.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return false;
    bool written = (!existing.exists() || file.setPermissions(existing.permissions())) && write(file)
                   && file.flush() && syncToDisk(file.handle());
    file.close();
    written = written && file.error() == QFileDevice::NoError;
    if (!written || !moveFileOver(part, target)) {
        QFile::remove(part);
        return false;
    }
    syncFolder(QFileInfo(target).absolutePath());
    return true;
}

// Streams source into part a piece at a time, so that a file larger than memory copies too.
bool copyBytes(QFile &source, QFile &part)
{
    constexpr qint64 kPiece = 1024 * 1024;
    QByteArray piece(kPiece, Qt::Uninitialized);
    for (;;) {
        const qint64 read = source.read(piece.data(), kPiece);
        if (read < 0)
            return false;
        if (read == 0)
            return true;
        if (part.write(piece.constData(), read) != read)
            return false;
    }
}

} // namespace

bool saveFileAtomically(const QString &path, const QByteArray &bytes)
{
    return replaceAtomically(path, [&](QFile &part) { return part.write(bytes) == bytes.size(); });
}

bool copyFileAtomically(const QString &source, const QString &target)
{
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return replaceAtomically(target, [&](QFile &part) { return copyBytes(file, part); })
        && file.error() == QFileDevice::NoError;
}

bool moveWrittenFileOver(const QString &source, const QString &target)
{
#ifndef Q_OS_WIN
    // The common case, a plain file or none in the target's place, in a few system
    // calls: a save may move a whole book's notes.
    const QByteArray targetName = QFile::encodeName(target);
    struct stat occupant {};
    const bool occupied = ::lstat(targetName.constData(), &occupant) == 0;
    if (!occupied || S_ISREG(occupant.st_mode)) {
        const QByteArray sourceName = QFile::encodeName(source);
        // A file its owner made read-only stays as it is.
        if (occupied && ((occupant.st_mode & S_IWUSR) == 0
                         || ::chmod(sourceName.constData(), occupant.st_mode & 07777) != 0))
            return false;
        if (::rename(sourceName.constData(), targetName.constData()) == 0)
            return true;
    }
#endif
    const QString behind = fileBehind(target);
    const QFileInfo existing(behind);
    if (existing.exists() && (!existing.isWritable() || !QFile::setPermissions(source, existing.permissions())))
        return false;
    if (moveFileOver(source, behind))
        return true;
    // Another file system: the bytes travel as any copy does.
    if (!copyFileAtomically(source, behind))
        return false;
    QFile::remove(source);
    return true;
}

} // namespace kobin
