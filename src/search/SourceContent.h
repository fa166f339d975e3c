#pragma once

#include "BookSources.h"

#include <QString>
#include <optional>
#include <utility>

namespace kobin::search {

// What a source holds: its text (nothing when it cannot be read) and its digest,
// the file read once for both.
struct SourceContent {
    std::optional<QString> text;
    qint64 digest = -1;
};

SourceContent readSource(const Source &source);

// What a source holds, in short: a file written again with the same content (a
// book saved under another name, a note stored unchanged) has another time but
// the same content, and is not read again; a caption is told changed by it.
qint64 captionDigest(const QString &caption);
// -1 when the file cannot be read.
qint64 fileDigest(const Source &source);

// The source's file's size and time of change (in nanoseconds), -1 each when there
// is no such file and for a caption. Asked of every file of the book at each
// update: one stat() each, without the conversions to local time that QFileInfo makes.
std::pair<qint64, qint64> sourceStamp(const Source &source);

} // namespace kobin::search
