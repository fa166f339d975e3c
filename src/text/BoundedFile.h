#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kobin {

// The bytes of a regular file no longer than maxBytes; nothing for a device, a
// pipe (reading either could block or never end), a folder, a missing or
// unreadable file, or one over the bound.
std::optional<QByteArray> readRegularFile(const QString &path, qint64 maxBytes);

} // namespace kobin
