#include "CodePages.h"

#include "Cp932.h"

#include <QStringList>
#include <utility>

namespace kobin::rtf {
namespace {

const char *codecName(int codePage)
{
    switch (codePage) {
    case 437: return "IBM437";
    case 850: return "IBM850";
    case 874: return "windows-874";
    case 936: return "GBK";
    case 949: return "windows-949";
    case 950: return "Big5";
    case 1250: return "windows-1250";
    case 1251: return "windows-1251";
    case 1252: return "windows-1252";
    case 1253: return "windows-1253";
    case 1254: return "windows-1254";
    case 1255: return "windows-1255";
    case 1256: return "windows-1256";
    case 1257: return "windows-1257";
    case 1258: return "windows-1258";
    case 10000: return "macintosh";
    case 65001: return "UTF-8";
    default: return nullptr;
    }
}

// Each \fcharsetN and the code page it selects.
constexpr std::pair<int, int> kCharsetCodePages[] = {
    {0, 1252},   {2, kCodePageSymbol}, {77, 10000},  {78, kCodePageMacJapanese}, {128, 932}, {129, 949},
    {134, 936},  {136, 950},           {161, 1253},  {162, 1254},                {163, 1258}, {177, 1255},
    {178, 1256}, {186, 1257},          {204, 1251},  {222, 874},                 {238, 1250}, {254, 437},
    {255, 850},
};

} // namespace

int codePageOfCharset(int charset, int documentCodePage)
{
    for (const auto &[known, codePage] : kCharsetCodePages) {
        if (known == charset)
            return codePage;
    }
    return documentCodePage;
}

int charsetOfCodePage(int codePage)
{
    for (const auto &[charset, known] : kCharsetCodePages) {
        if (known == codePage)
            return charset;
    }
    return -1;
}

bool keepsAscii(int codePage)
{
    QByteArray ascii;
    for (char byte = 0x20; byte < 0x7F; ++byte)
        ascii += byte;
    QString text;
    CodePageDecoder().decode(codePage, ascii, text);
    return text == QLatin1String(ascii);
}

void CodePageDecoder::decode(int codePage, QByteArrayView bytes, QString &out)
{
    // Mac Japanese is Shift_JIS with a few additions of Apple's: what code page 932
    // does not share is kept as bytes, as its own undefined bytes are.
    if (codePage == kCodePageJapanese || codePage == kCodePageMacJapanese) {
        cp932::decode(bytes, out);
        return;
    }
    QStringDecoder *decoder = decoderFor(codePage);
    if (!decoder)
        decoder = decoderFor(kCodePageWestern);
    out += decoder->decode(bytes);
}

QStringDecoder *CodePageDecoder::decoderFor(int codePage)
{
    const auto found = m_decoders.find(codePage);
    if (found != m_decoders.end())
        return &found->second;
    // Code pages without a name of their own here are asked of the system's
    // converters (ICU) under the names they go by there.
    QStringList names;
    if (const char *name = codecName(codePage))
        names << QString::fromLatin1(name);
    for (const char *prefix : {"windows-", "cp", "ibm-"})
        names << QString::fromLatin1(prefix) + QString::number(codePage);
    for (const QString &name : std::as_const(names)) {
        QStringDecoder decoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
        if (decoder.isValid())
            return &m_decoders.emplace(codePage, std::move(decoder)).first->second;
    }
    return nullptr;
}

} // namespace kobin::rtf
