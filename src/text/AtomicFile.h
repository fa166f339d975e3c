#pragma once

#include <QByteArray>
#include <QString>

namespace kobin {

// Replaces the file at path with bytes, whole or not at all: they go to a
// temporary file beside it that takes its place only once completely written,
// so a full disk or a crash never leaves a user's file half written. False on
// any failure, and the file at path is then as it was.
[[nodiscard]] bool saveFileAtomically(const QString &path, const QByteArray &bytes);

} // namespace kobin
