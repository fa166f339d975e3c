#include "StagedFiles.h"

#include "AtomicFile.h"

#include <QFile>
#include <fcntl.h>
#include <unistd.h>

namespace kobin::import {

bool StagedFiles::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size()
        && file.flush();
}

bool StagedFiles::copy(const QString &source, const QString &target)
{
    QFile from(source);
    QFile to(target);
    if (!from.open(QIODevice::ReadOnly) || !to.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (;;) {
        const qint64 read = from.read(block.data(), block.size());
        if (read < 0)
            return false;
        if (read == 0)
            return to.flush();
        if (to.write(block.constData(), read) != read)
            return false;
    }
}

bool StagedFiles::sync(const QString &folder)
{
    const int descriptor = ::open(fileSystemPath(folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::syncfs(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

} // namespace kobin::import
