#pragma once

#include <QString>
#include <QStringList>

namespace kobin::capture {

// Takes out of folder every file that holds the bytes of one of localFiles
// (file: addresses a page named), however it came there: what a saved page may
// never keep, even should the page's cleaning have missed a way of naming it.
// false when such a copy cannot be removed.
[[nodiscard]] bool removeLocalCopies(const QString &folder, const QStringList &localFiles);

} // namespace kobin::capture
