#pragma once

#include <QTextFormat>

namespace kobin::rtf {

// Properties of a note's text formats beyond Qt's own, set by the RTF reader
// and read by the writer. QTextFormat::UserProperty + 0x100 to 0x1FF are the pictures'.

// QString, on a run read in a font of the symbol character set: that font's
// name. While the run keeps that font, it is written back in it as the bytes
// it was read from.
constexpr int kSymbolFontProperty = QTextFormat::UserProperty + 0x200;

} // namespace kobin::rtf
