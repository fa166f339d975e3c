#pragma once

#include <QString>
#include <QStringList>

namespace kobin {

// Only files whose names end in ".rtf" or ".txt" are content files: they travel
// between the book folder and the working folder; nothing else there is touched.
bool isContentFileName(const QString &name);

// The content files directly in a folder (".rtf" ones first, then ".txt"), by name.
QStringList contentFileNames(const QString &folder);

// The content files of one item: its key followed by a tail that ends in ".rtf" or
// ".txt" and does not begin with a digit, so that item a2 never claims a21's files.
QStringList itemContentFileNames(const QString &folder, const QString &key);

// Deletes every file directly in the folder (subfolders stay). False when a file
// could not be deleted; a missing folder is already empty.
bool deleteAllFiles(const QString &folder);

// Copies source over target through a temporary file beside the target, so that the
// target is either the old file or the whole new one.
bool copyFileAtomically(const QString &source, const QString &target);

// Copies source over target directly, for scratch folders such as the working folder.
bool copyFileOver(const QString &source, const QString &target);

} // namespace kobin
