#pragma once

#include "ImportItem.h"

namespace kobin::import {

class SourceFolder;

// A ScrapBook X collection: scrapbook.rdf (read with Qt's XML reader, its
// descriptions and sequences in any order) and data/<id>/ per item. Folders
// are walked from the root sequence without recursion, each at most once, so
// that a sequence that holds itself, or one nested 20,000 deep, ends.
class ScrapBookXReader
{
public:
    // Larger index files are no collection.
    static constexpr qint64 kMaxIndexBytes = 256LL * 1024 * 1024;

    // False, with why in *failure, when scrapbook.rdf cannot be read.
    static bool read(const SourceFolder &source, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
