#pragma once

#include <QString>

namespace kobin {

// Deletes every file directly in the folder (subfolders stay). False when a file
// could not be deleted; a missing folder is already empty.
bool deleteAllFiles(const QString &folder);

// Copies source over target through a temporary file beside the target, so that the
// target is either the old file or the whole new one.
bool copyFileAtomically(const QString &source, const QString &target);

// Copies source over target directly, for scratch folders such as the working folder.
bool copyFileOver(const QString &source, const QString &target);

} // namespace kobin
