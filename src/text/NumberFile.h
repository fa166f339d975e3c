#pragma once

#include <QString>
#include <optional>

namespace kobin {

// Decimal text of a single-precision number as settings and number files keep
// it ("2400", "1234.5").
QString formatSingle(float value);

// Number files (splitter positions): one number in twips and CR LF. Written
// whole or not at all; false when the file could not be written.
[[nodiscard]] bool writeNumberFile(const QString &path, float value);

// The number at the start of the file (after a UTF-8 byte-order mark, as in
// every system text file); nullopt when the file is missing or holds none.
[[nodiscard]] std::optional<float> readNumberFile(const QString &path);

} // namespace kobin
