#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

namespace kobin::cp932 {

// Code page 932 (Shift-JIS with Microsoft's extensions), the encoding of
// every book file and of the Japanese text in notes.
//
// Our own table rather than a converter: it was generated from ICU's
// "windows-31j" converter and decodes and encodes byte for byte as it does,
// while running faster, and the RTF writer needs to ask of each character on
// its own whether it fits (encodeChar), which a whole-string converter cannot answer.

bool isLeadByte(unsigned char byte);

// The character of a single byte, or U+FFFD when the byte stands for nothing.
char16_t decodeSingle(unsigned char byte);

// The character of a lead/trail pair, or 0 when the pair is undefined.
char16_t decodePair(unsigned char lead, unsigned char trail);

// The code of a character: below 0x100 a single byte, otherwise lead << 8 | trail;
// -1 when code page 932 cannot hold it.
int encodeChar(char16_t ch);

QString decode(QByteArrayView bytes);

// Replaces the usual Unicode variants of characters that code page 932 holds
// under another code point (U+301C WAVE DASH by U+FF5E, ...).
QString foldVariants(QStringView text);

// Encodes text without loss; returns false (out unspecified) when a character
// does not fit. Variants are not folded here.
bool encode(QStringView text, QByteArray &out);

} // namespace kobin::cp932

namespace kobin {

// The encoding of the system's text files (book, url and splitter files, plain
// text): code page 932 (variants folded), or UTF-8 with a byte-order mark when
// the text holds a character that code page 932 cannot represent. Never writes
// "?": half a surrogate pair is written to UTF-8 as U+FFFD.
QByteArray encodeSystemText(QStringView text);

// Reads such a file: UTF-8 when it starts with a byte-order mark, else code page 932.
QString decodeSystemText(QByteArrayView bytes);

} // namespace kobin
