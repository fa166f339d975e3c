#pragma once

#include <QByteArray>
#include <QString>

namespace kobin::import {

// Files written into a staging folder that becomes part of a book only once it
// is whole: each is written plainly and the whole folder synced once before it
// is renamed into place (a sync per file would cost an import of 10,000 pages
// minutes), so that the book gains all of it or none of it.
class StagedFiles
{
public:
    // Creates or replaces the file with bytes; false on failure.
    [[nodiscard]] static bool write(const QString &path, const QByteArray &bytes);
    // Copies a regular file's bytes (never what it links to: the caller has
    // checked it lies in the source); false on failure.
    [[nodiscard]] static bool copy(const QString &source, const QString &target);
    // Puts everything written on the file system holding folder on the disk.
    [[nodiscard]] static bool sync(const QString &folder);
};

} // namespace kobin::import
