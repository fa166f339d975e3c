#include "LocalCopies.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QUrl>
#include <map>

namespace kobin::capture {

namespace {

// Compared a part at a time: the files may be as large as a capture.
bool sameBytes(const QString &one, const QString &other)
{
    QFile first(one);
    QFile second(other);
    if (!first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kPart = 64 * 1024;
    while (!first.atEnd()) {
        if (first.read(kPart) != second.read(kPart))
            return false;
    }
    return second.atEnd();
}

} // namespace

bool removeLocalCopies(const QString &folder, const QStringList &localFiles)
{
    // Only regular files: a device or a pipe has no bytes to compare, and reading it could block.
    std::multimap<qint64, QString> bySize;
    for (const QString &address : localFiles) {
        const QFileInfo file(QUrl(address).toLocalFile());
        if (file.isFile() && file.size() > 0)
            bySize.emplace(file.size(), file.absoluteFilePath());
    }
    bool allRemoved = true;
    QDirIterator saved(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (!bySize.empty() && saved.hasNext()) {
        const QString path = saved.next();
        const auto [first, last] = bySize.equal_range(saved.fileInfo().size());
        for (auto local = first; local != last; ++local) {
            if (sameBytes(local->second, path)) {
                allRemoved = QFile::remove(path) && allRemoved;
                break;
            }
        }
    }
    return allRemoved;
}

} // namespace kobin::capture
