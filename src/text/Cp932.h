#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>
#include <optional>

namespace kobin::cp932 {

// Code page 932 (Shift-JIS with Microsoft's extensions), the encoding of
// every book file and of the Japanese text in notes.
//
// Our own table rather than a converter: it was generated from ICU's
// "windows-31j" converter and decodes and encodes byte for byte as it does,
// while running faster, and the RTF writer needs to ask of each character on
// its own whether it fits (encodeChar), which a whole-string converter cannot answer.
//
// Bytes that stand for no character are kept rather than replaced, so that a
// file holding them is written back as it was: each becomes a character of the
// Private Use Area above the block the code page's user-defined characters
// take (U+E000-U+E757) and the glyphs of symbol fonts in notes (U+F000-U+F0FF),
// and encodes back to the same bytes.
//   U+F180-U+F1FF  one byte that stands for nothing alone (0x80, 0xA0,
//                  0xFD-0xFF, or a lead byte without a trail byte after it),
//                  U+F100 + the byte;
//   U+F200-U+F88B  an undefined lead/trail pair: the n-th of them in code
//                  order (0x81AD first, 0xFCFC last) is U+F200 + n.
// These numbers are stored in files written as UTF-8 and must never change. A
// character of this block typed by a user is written as those bytes too.
constexpr char16_t kFirstKeptBytes = 0xF180;
constexpr char16_t kLastKeptBytes = 0xF88B;

// Whether ch is one of the characters above that keep bytes standing for nothing.
bool isKeptBytes(char16_t ch);

bool isLeadByte(unsigned char byte);

// The character of a single byte (a byte that stands for nothing alone is kept).
char16_t decodeSingle(unsigned char byte);

// The character of a lead/trail pair (an undefined pair is kept); 0 when the
// two bytes cannot be a pair.
char16_t decodePair(unsigned char lead, unsigned char trail);

// The code of a character: below 0x100 a single byte, otherwise lead << 8 | trail;
// -1 when code page 932 cannot hold it.
int encodeChar(char16_t ch);

QString decode(QByteArrayView bytes);
// The same, appended to out.
void decode(QByteArrayView bytes, QString &out);

// Replaces the usual Unicode variants of characters that code page 932 holds
// under another code point (U+301C WAVE DASH by U+FF5E, ...).
QString foldVariants(QStringView text);
// Whether foldVariants would change the text.
bool holdsVariants(QStringView text);

// Encodes text without loss; returns false (out unspecified) when a character
// does not fit, or when a kept lead byte would be followed by a byte that reads
// as its trail; *failedAt then tells the index of that character or lead byte.
// Variants are not folded here.
bool encode(QStringView text, QByteArray &out, qsizetype *failedAt = nullptr);
// Appends text to out with its variants folded, as encodeSystemText writes code
// page 932: a long text is encoded a piece at a time, each piece ending in a
// character that is no lead byte. False (out unspecified) when it does not fit.
bool appendFolded(QStringView text, QByteArray &out);

} // namespace kobin::cp932

namespace kobin {

// The encoding of the system's text files (book, url and splitter files, plain
// text): code page 932 (variants folded), or UTF-8 with a byte-order mark when
// the text holds a character that code page 932 cannot represent. Never writes
// "?": half a surrogate pair is written to UTF-8 as U+FFFD.
QByteArray encodeSystemText(QStringView text);

// Reads such a file: UTF-8 when it starts with a byte-order mark, else code page 932.
QString decodeSystemText(QByteArrayView bytes);

// The same, or nullopt when the bytes after a UTF-8 byte-order mark are not UTF-8:
// the file was not written as such a text. (Any bytes read as code page 932.)
std::optional<QString> decodeSystemTextExactly(QByteArrayView bytes);

} // namespace kobin
