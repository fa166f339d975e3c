#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <unordered_map>

namespace kobin::rtf {

constexpr int kCodePageJapanese = 932;
constexpr int kCodePageMacJapanese = 10001;
constexpr int kCodePageWestern = 1252;
constexpr int kCodePageSymbol = 42; // Windows' CP_SYMBOL: glyph numbers, which SymbolFonts.h reads

// The code page that a font's \fcharsetN selects; \fcharset1 (and any charset
// without a code page of its own) means the document's code page.
int codePageOfCharset(int charset, int documentCodePage);
// The \fcharsetN that selects a code page, or -1 where none does.
int charsetOfCodePage(int codePage);
// Whether the code page reads printable ASCII bytes as ASCII (EBCDIC and UTF-16 do not).
bool keepsAscii(int codePage);

// Decodes the bytes of any code page RTF documents use. Code page 932 goes
// through our own table; the others through Qt's codecs, created once each.
class CodePageDecoder
{
public:
    // Appends the text of bytes. Code page 932 keeps the bytes that stand for
    // nothing, a lead byte without its trail too, as characters that are
    // written back as the same bytes (see Cp932.h).
    void decode(int codePage, QByteArrayView bytes, QString &out);

private:
    QStringDecoder *decoderFor(int codePage);

    std::unordered_map<int, QStringDecoder> m_decoders;
};

} // namespace kobin::rtf
