#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

// CherryTree's documents: the XML file (.ctd), read as a stream, and the
// SQLite database (.ctb), opened read-only and unchanging. A node with
// children becomes a folder whose note is the node's text, any other node a
// text item; a clone is copied, and said so. Tags, dates and read-only marks
// go into the report.
class CherryTreeReader
{
public:
    // Whether the file's name is one of CherryTree's unprotected documents.
    static bool isDocument(const QString &path);
    // False, with why in *failure, when the file cannot be read as a document at all.
    static bool read(const QString &path, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
