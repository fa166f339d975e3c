// libFuzzer target: any file named as a single-file web archive must give its
// page, or nothing, without a crash or a hang; a page found is never longer than
// its archive allows (decoding only shrinks, but for the charset's <meta> tag).
#include "MhtmlArchive.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    if (const std::optional<QByteArray> page = kobin::mhtmlMainPage(bytes); page && page->size() > bytes.size() * 2 + 32)
        std::abort();
    return 0;
}
