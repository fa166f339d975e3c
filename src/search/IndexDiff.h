#pragma once

#include "BookSources.h"

#include <optional>
#include <utility>
#include <vector>

namespace kobin::search {

class SqliteDatabase;

// What an update has to do to make the index hold the sources given.
struct IndexDiff {
    struct Change {
        const Source *source;
        qint64 size;
        qint64 time;
        bool isNew; // never indexed before: nothing to take out
    };
    std::vector<Change> changes;                   // sources to read and store
    std::vector<qint64> stale;                     // entries of sources no longer given
    std::vector<std::pair<qint64, qint64>> copied; // id and new time of files copied unchanged
};

// Compares the sources with what the index holds of them, by their stamps and
// digests (reading a file only where its time alone changed). A source given
// twice counts once. Nothing when the index cannot be read.
std::optional<IndexDiff> diffWithIndex(SqliteDatabase &db, const std::vector<Source> &sources);

} // namespace kobin::search
