#pragma once

#include <QString>
#include <optional>

namespace kobin::import {

// A zip archive holding a saved page (.htz: the page at its root; .maff: the
// page in a folder of its own) unpacked into a folder, through libarchive. Only
// regular files and folders come out, each under a relative name with no ".."
// part; at most kMaxFiles files and kMaxBytes bytes in all, so that an archive
// that unpacks without end is refused.
class PageArchive
{
public:
    static constexpr int kMaxFiles = 20000;
    static constexpr qint64 kMaxBytes = 256LL * 1024 * 1024;

    // Unpacks archive into folder (existing, ending in "/"). False, with why in
    // *failure, for a damaged archive or one over the bounds; entries that are
    // no file or folder, or name a place outside, are counted in *skipped.
    [[nodiscard]] static bool unpack(const QString &archive, const QString &folder, QString *failure, int *skipped);

    // The page an unpacked archive holds, relative to its folder: "index.html" at
    // its root, else the first folder's "index.html" (a .maff's), else the first
    // page found at the root or in one folder; empty for none.
    static QString pageIn(const QString &folder);
};

} // namespace kobin::import
