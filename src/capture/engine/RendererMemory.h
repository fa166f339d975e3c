#pragma once

#include <QtGlobal>
#include <optional>

namespace kobin::capture {

// The memory a page's renderer process holds, as the system tells it (/proc on
// Linux): what a capture watches, since a page's endless or huge answer grows
// there rather than in the program. Nothing where the system does not tell, or
// for no process.
class RendererMemory
{
public:
    explicit RendererMemory(qint64 pid) : m_pid(pid) {}
    std::optional<qint64> residentBytes() const;

private:
    qint64 m_pid;
};

} // namespace kobin::capture
