#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

class SourceFolder;

// Joplin's exports: a RAW folder or a .jex archive of the same files. Notebooks
// become folders, nested as their parents say, notes text items; each in
// Joplin's order, by title, sub-notebooks before notes. A note whose notebook
// is missing goes to the top, and so does one notebook of a loop of parents.
// Markdown or HTML notes keep their pictures from resources/; links to other
// notes and to attachments are kept as text. Tags, to-do state and dates go
// into the report; encrypted items cannot be read and are said so.
class JoplinReader
{
public:
    static bool isArchive(const QString &path);
    // Whether the file's name is that of an item of a RAW export ("<32 hex digits>.md"), which names its folder.
    static bool isItemFile(const QString &name);
    static bool holdsExport(const SourceFolder &source);
    // The archive, or with none the RAW export in folder. False, with why in
    // *failure, when it holds nothing Joplin exports.
    static bool read(const QString &archive, const SourceFolder &folder, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
