#pragma once

#include <QString>
#include <QStringList>

namespace kobin {

// How a file goes: deleted for good, or into the desktop trash where the system has
// one (deleted where it has none).
enum class Removal { Delete, ToTrash };

// Moves the file or folder at path (a symbolic link itself) into the desktop trash.
// False where there is no trash to take it.
bool moveToTrash(const QString &path);

// Removes the file at path; a symbolic link goes itself, never what it points to.
bool removeFile(const QString &path, Removal removal);

// The names of everything directly in the folder but folders (and links to them),
// unsorted: hidden files, links that lead nowhere and special files too. Empty
// when the folder cannot be listed. The listing tells most entries' kind, so a
// folder of many notes is listed without looking at each file.
QStringList fileNamesIn(const QString &folder);
// The same for regular files and links that lead to one: names that surely exist as files.
QStringList regularFileNamesIn(const QString &folder);

// Removes every file directly in the folder (subfolders stay). False when a file
// could not be removed; a missing folder is already empty.
bool deleteAllFiles(const QString &folder, Removal removal = Removal::Delete);

// True when both files can be read and hold the same bytes.
bool haveSameContent(const QString &first, const QString &second);

// Gives the file at source a second name, target: a hard link, which costs nothing
// and keeps the content whatever later happens to the first name; a copy where the
// file system has no hard links.
[[nodiscard]] bool linkOrCopyFile(const QString &source, const QString &target);

// Copies source over target directly, for scratch folders such as the working folder.
[[nodiscard]] bool copyFileOver(const QString &source, const QString &target);

} // namespace kobin
