#include "FileStamp.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <array>

namespace kobin {

namespace {
// No book file is larger (BookFile refuses them); anything larger is told by its time.
constexpr qint64 kLargestDigested = 512LL * 1024 * 1024;

// Only regular files are read: a pipe or a device in a book's folder would never end.
bool isDigested(const QFileInfo &info)
{
    return info.isFile() && info.size() <= kLargestDigested;
}

// Two chains of Qt's hash over the file's pieces rather than a cryptographic
// digest: no one makes a file collide with another on purpose here, and a large
// book's file is read for its digest twice on every save.
QByteArray digestOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QByteArrayLiteral("unreadable");
    std::array<size_t, 2> hashes{1, 2};
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0)
            return QByteArrayLiteral("unreadable");
        if (got == 0)
            return QByteArray(reinterpret_cast<const char *>(hashes.data()), sizeof hashes);
        for (size_t &hash : hashes)
            hash = qHash(QByteArrayView(piece, got), hash);
    }
}
} // namespace

FileStamp FileStamp::of(const QString &path)
{
    FileStamp stamp;
    stamp.m_path = path;
    const QFileInfo info(path);
    if (!info.exists())
        return stamp;
    stamp.m_exists = true;
    stamp.m_size = info.size();
    if (isDigested(info))
        stamp.m_digest = digestOf(path);
    else
        stamp.m_modified = info.lastModified().toMSecsSinceEpoch();
    return stamp;
}

bool FileStamp::operator==(const FileStamp &other) const
{
    return m_path == other.m_path && m_exists == other.m_exists && m_size == other.m_size
        && m_digest == other.m_digest && m_modified == other.m_modified;
}

bool FileStamp::isCurrent() const
{
    if (m_path.isEmpty())
        return true;
    const QFileInfo info(m_path);
    if (info.exists() != m_exists || (m_exists && info.size() != m_size))
        return false;
    return !m_exists || *this == of(m_path);
}

FileStamps &FileStamps::operator=(const FileStamps &other)
{
    if (this != &other) {
        m_recording = false;
        m_stamps.clear();
    }
    return *this;
}

void FileStamps::firstLook(const QString &path)
{
    if (m_recording && !m_stamps.contains(path))
        m_stamps.insert(path, FileStamp::of(path));
}

void FileStamps::written(const QString &path)
{
    if (m_recording)
        m_stamps.insert(path, FileStamp::of(path));
}

std::optional<QString> FileStamps::firstChanged(const QStringList &paths) const
{
    for (const QString &path : paths) {
        const auto stamp = m_stamps.constFind(path);
        if (stamp != m_stamps.cend() && !stamp->isCurrent())
            return path;
    }
    return std::nullopt;
}

} // namespace kobin
