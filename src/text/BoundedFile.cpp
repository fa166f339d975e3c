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
    // A file may hold more than its size says (the system's own files say 0).
    QByteArray bytes = file.read(maxBytes + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > maxBytes)
        return std::nullopt;
    return bytes;
}

} // namespace kobin
