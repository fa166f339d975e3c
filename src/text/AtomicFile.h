#pragma once

#include <QByteArray>
#include <QString>
#include <filesystem>

namespace kobin {

// What a file being replaced is written to first: its path and this ending. Only
// an interrupted replacement leaves such a file behind, and only that file is ever
// given this name, so one found later can always go.
inline constexpr char PartFileEnding[] = ".kobin-part";

// Replaces the file at path with bytes, whole or not at all: they go to the file's
// part file (path and PartFileEnding), which takes its place only once every byte
// is written and on the disk, so a full disk or a crash never leaves a user's file
// half written. A symbolic link stays and the file it points to is replaced; the
// file keeps its permissions. False on any failure, and the file at path is then as
// it was.
[[nodiscard]] bool saveFileAtomically(const QString &path, const QByteArray &bytes);

// Copies source over target as saveFileAtomically writes, so that the target is
// either the old file or the whole new one. The bytes are copied, not the file: a
// new target takes the usual permissions, never the source's (a read-only
// resource gives a writable copy). The bytes go a piece at a time, so a file
// larger than memory copies too. False when source cannot be read whole or
// target cannot be replaced.
[[nodiscard]] bool copyFileAtomically(const QString &source, const QString &target);

// The file a write to path changes: the one a symbolic link points to, as in an editor.
QString fileBehind(const QString &path);

// Puts the file at source, already whole on the disk, in target's place as
// saveFileAtomically would put bytes there (a symbolic link stays, the target's
// permissions stay, a read-only target is refused), renamed rather than copied
// where the two share a file system. Source is gone afterwards; on failure target
// is as it was. The rename lasts through a power cut once syncFolder has synced
// the target's folder: once for all the files moved there.
[[nodiscard]] bool moveWrittenFileOver(const QString &source, const QString &target);

// Makes the renames in the folder last through a power cut. Some file systems
// cannot sync a folder; the files themselves are on the disk by then, so that is
// no failure.
void syncFolder(const QString &folder);

// Moves source to target within one file system, replacing target in one step.
[[nodiscard]] bool moveFileOver(const QString &source, const QString &target);

// The path as the standard library's file functions take it, in the system's encoding.
std::filesystem::path fileSystemPath(const QString &path);

} // namespace kobin
