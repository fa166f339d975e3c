#pragma once

#include <archive.h>
#include <memory>

namespace kobin::import {

struct ArchiveReaderFree {
    void operator()(archive *reader) const { archive_read_free(reader); }
};
// A libarchive reader, freed when it goes.
using ArchiveReader = std::unique_ptr<archive, ArchiveReaderFree>;

} // namespace kobin::import
