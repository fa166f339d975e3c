#pragma once

#include <QString>

namespace kobin::import {

// CherryTree's protected documents: .ctz (the XML document) and .ctx (the
// database), each alone in a 7-Zip archive with a password. libarchive cannot
// decrypt 7-Zip, so Debian's 7z unpacks it as a child process, the password
// on its standard input (never on a command line others can read), into a
// private temporary folder; only the one document is taken, by its bare name.
class CherryTreeArchive
{
public:
    // A document larger than this unpacked is refused before it is unpacked.
    static constexpr qint64 kMaxDocumentBytes = 2LL * 1024 * 1024 * 1024;

    static bool isArchive(const QString &path);
    // The document unpacked into folder; empty, with why in *failure (a wrong
    // password among them), when it cannot be had.
    static QString unpack(const QString &archive, const QString &password, const QString &folder, QString *failure);
};

} // namespace kobin::import
