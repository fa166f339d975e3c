#include "RendererMemory.h"

#include <QFile>
#include <QList>

#ifdef Q_OS_LINUX
#include <unistd.h>
#endif

namespace kobin::capture {

std::optional<qint64> RendererMemory::residentBytes() const
{
#ifdef Q_OS_LINUX
    if (m_pid <= 0)
        return std::nullopt;
    // Sizes in pages: the whole program, then what of it is in memory.
    QFile statm(QStringLiteral("/proc/%1/statm").arg(m_pid));
    if (!statm.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QList<QByteArray> fields = statm.readLine(256).split(' ');
    bool read = false;
    const qint64 pages = fields.value(1).toLongLong(&read);
    if (!read)
        return std::nullopt;
    return pages * sysconf(_SC_PAGESIZE);
#else
    return std::nullopt;
#endif
}

} // namespace kobin::capture
