#pragma once

#include "ImportItem.h"

#include <QStringList>

namespace kobin::import {

// Evernote's exports (.enex): each file a notebook, a folder named after the
// file; each note a text item, or a homepage item when it is a page clipped
// from the web (a web address and a web clipper as its source). The file is
// read as a stream, one note at a time, so that memory stays level however
// many notes it holds.
class EvernoteReader
{
public:
    // Base64 text of one resource beyond this is left out unread (64 MB of bytes).
    static constexpr qint64 kMaxResourceText = 90LL * 1024 * 1024;

    // False, with why in *failure, when a file cannot be read as an export at all.
    static bool read(const QStringList &files, ImportSink &sink, QString *failure);
};

} // namespace kobin::import
