#include "BoundedFile.h"

#include <QFile>
#include <QFileInfo>

namespace kobin {

std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes)
{
    // Checked before opening: opening a pipe waits for a writer.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > maxBytes)
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A file may hold more than its size says (the system's own files say 0), so it
    // is read to its end in pieces; asking read() for maxBytes at once would make
    // it allocate and clear that much for every file, however small.
    QByteArray bytes;
    bytes.reserve(info.size() + 1);
    char piece[64 * 1024];
    for (;;) {
        const qint64 got = file.read(piece, sizeof piece);
        if (got < 0)
            return std::nullopt;
        if (got == 0)
            return bytes;
        if (bytes.size() + got > maxBytes)
            return std::nullopt;
        bytes.append(piece, got);
    }
}

} // namespace kobin
