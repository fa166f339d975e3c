#pragma once

#include "ImportItem.h"

namespace kobin::import {

class SourceFolder;

// A Zim notebook: the folder holding notebook.zim, page "A:B C" in A/B_C.txt
// and its sub-pages and attachments in A/B_C/. Pages come in Zim's order, by
// name; a page with sub-pages becomes a folder whose note is its text, a
// folder with no page file a folder with no note. Hidden folders (the .zim
// cache) are skipped, and every file is read through the source folder, so a
// link out of it reads nothing; a folder met a second time through a link is
// left out and said so.
class ZimReader
{
public:
    static bool holdsNotebook(const SourceFolder &source);
    static bool read(const SourceFolder &source, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
