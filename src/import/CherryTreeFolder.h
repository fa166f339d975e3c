#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

class SourceFolder;

// CherryTree's folder document: subnodes.lst at the top and in each node's
// folder lists the children by their ids, each child a folder of that name
// holding node.xml, its pictures beside it (named by their SHA-256) and its own
// children. Every file is read through the source folder, so a link out of it
// reads nothing; an id met a second time (a folder linked into itself) is left
// out and said so.
class CherryTreeFolder
{
public:
    static bool holdsDocument(const SourceFolder &source);
    static bool read(const SourceFolder &source, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
