#pragma once

#include "ImportItem.h"

namespace kobin::import {

class SourceFolder;

// A WebScrapBook collection: tree/meta*.js and tree/toc*.js (JSON in
// "scrapbook.meta(…)" and "scrapbook.toc(…)", read with Qt's JSON reader, the
// numbered files in order), or .wsb/tree/ as the program's own layout keeps them,
// and a data folder holding each item as a folder, an .html file, an .htz or a
// .maff. The "recycle" and "hidden" roots are not walked.
class WebScrapBookReader
{
public:
    static constexpr qint64 kMaxIndexBytes = 256LL * 1024 * 1024;

    // Whether folder holds such a collection.
    static bool holdsCollection(const SourceFolder &source);
    // False, with why in *failure, when the tree files cannot be read.
    static bool read(const SourceFolder &source, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
