#pragma once

#include <QString>
#include <functional>

class QLockFile;

namespace kobin::search {

// The index's files: the database and SQLite's files beside it, for the user
// alone, and the lock a program holds while it writes them.

// The index holds the text of every note: its folder and its files are for the
// user alone, whatever the umask, and an index made before is tightened. The
// file is made here, empty, as SQLite gives its -wal and -shm files the mode of
// the database file.
bool keepToUser(const QString &path);

void removeDatabaseFiles(const QString &path);

// Takes the writer's lock of the index at path, its folder kept to the user.
// Another program's update of the same index (the window's, while kobin-cli
// searches) is waited for, keepWaiting asked between tries. On failure, failure
// tells why (empty when keepWaiting said to stop).
bool lockIndex(QLockFile &lock, const QString &path, const std::function<bool()> &keepWaiting, QString &failure);

} // namespace kobin::search
