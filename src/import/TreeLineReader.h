#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

class SourceFolder;

// A TreeLine document (.trln): JSON of node types and nodes, plain or gzip
// compressed; or one of TreeLine 1.x and 2.x (.trl), XML, read as the same. A node with children becomes a folder, any other node a text
// item, named by its type's title line, its note the type's output lines. A
// node under several parents is copied under each, and said so; a child that
// does not exist or is its own ancestor is left out and said so. Pictures are
// taken from the document's folder only.
class TreeLineReader
{
public:
    static bool isDocument(const QString &path);
    static bool read(const QString &file, const SourceFolder &folder, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
