#pragma once

#include "RichTextFiles.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace kobin::richtext {

enum class Conversion {
    PlainText, // UTF-8, one line per paragraph or line break
    Html,      // UTF-8
    Rtf,       // as our writer writes it
};

// The RTF file at path in another form; nothing when it cannot be loaded as a
// note (*failure tells why).
std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure = nullptr);

} // namespace kobin::richtext
