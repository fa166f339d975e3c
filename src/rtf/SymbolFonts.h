#pragma once

#include <QStringView>
#include <cstdint>

namespace kobin::rtf {

// A font of the symbol character set (\fcharset2): its bytes are the numbers
// of its glyphs, not characters of a code page. Other is one whose glyphs
// have no Unicode equivalents known here.
enum class SymbolFont : uint8_t { Other, Symbol, Wingdings, Wingdings2, Wingdings3, Webdings };

// Which symbol font a font of the symbol character set is, by its name.
SymbolFont symbolFontNamed(QStringView name);

// The character a byte of the font stands for: its Unicode equivalent, or
// U+F000 + byte (where Windows puts a symbol font's glyphs) when it has none.
char32_t symbolCharacter(SymbolFont font, uint8_t byte);

// The byte of the font that stands for ch: the one symbolCharacter gives ch
// for, or for U+F000 + byte that byte; -1 when none does.
int symbolByte(SymbolFont font, char32_t ch);

} // namespace kobin::rtf
