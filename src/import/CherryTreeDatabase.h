#pragma once

#include "ImportItem.h"

#include <QString>

namespace kobin::import {

// CherryTree's SQLite document (.ctb), opened read-only as a file that does
// not change (no journal, no lock, nothing written beside it). The tree comes
// from the children table, walked from the top without recursion: a node met
// a second time (a loop, or a second parent) is left out and said so, as are
// nodes no parent leads to. A clone (master_id) gets its master's content.
class CherryTreeDatabase
{
public:
    // False, with why in *failure, when the file is no CherryTree database or is damaged.
    static bool read(const QString &path, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
