#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

class SourceFolder;

// CherryTree's documents: the XML file (.ctd), read as a stream, the SQLite
// database (.ctb), opened read-only and unchanging, the folder of nodes, and
// either file protected by a password (.ctz, .ctx). A node with
// children becomes a folder whose note is the node's text, any other node a
// text item; a clone is copied, and said so. Tags, dates and read-only marks
// go into the report.
class CherryTreeReader
{
public:
    // Whether the file's name is one of CherryTree's documents, and whether it needs a password.
    static bool isDocument(const QString &path);
    static bool needsPassword(const QString &path);
    // The document in file, or with none the folder document in folder. False,
    // with why in *failure, when it cannot be read as a document at all.
    static bool read(const QString &file, const QString &password, const SourceFolder &folder, ImportSink &sink,
                     QString *failure);
};

} // namespace kobin::import
