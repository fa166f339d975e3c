#include "WriterTables.h"

#include "CodePages.h"

#include <algorithm>


namespace kobin::rtf {
namespace {

// Japanese fonts are written with the Japanese character set, which tells
// readers to decode their \'xx bytes as code page 932.
bool isJapaneseFontName(const QString &name)
{
    for (const QChar ch : name) {
        if (ch.unicode() >= 0x80)
            return true;
    }
    for (const char *hint : {"Gothic", "Mincho", "Meiryo", "JP", "IPA", "Osaka", "Hiragino"}) {
        if (name.contains(QLatin1String(hint)))
            return true;
    }
    return false;
}

} // namespace

int FontTable::indexOf(const QString &family, bool symbol)
{
    QHash<QString, int> &indexes = symbol ? m_symbolIndexes : m_indexes;
    const auto found = indexes.constFind(family);
    if (found != indexes.constEnd())
        return *found;
    const int index = add(family, isJapaneseFontName(family), symbol ? std::optional(symbolFontNamed(family)) : std::nullopt, 0);
    indexes.insert(family, index);
    return index;
}

int FontTable::keptIndexOf(QString family, int codePage)
{
    if (codePage == kCodePageSymbol)
        return indexOf(family, true);
    // A code page that does not keep ASCII as ASCII (EBCDIC) cannot have names and words written in it.
    if (charsetOfCodePage(codePage) < 0 && !keepsAscii(codePage))
        return indexOf(family, false);
    const bool japanese = codePage == kCodePageJapanese;
    const auto found = m_indexes.constFind(family);
    if (found == m_indexes.constEnd()) {
        const int index = add(family, japanese, std::nullopt, codePage);
        m_indexes.insert(family, index);
        return index;
    }
    // The text entry serves while its code page is this one or can still become it.
    const int text = *found;
    int &kept = m_keptCodePages[static_cast<size_t>(text)];
    if (kept == codePage)
        return text;
    if (kept == 0 && (japanese || (codePage == kCodePageWestern && !isJapanese(text)))) {
        kept = codePage;
        m_japanese[static_cast<size_t>(text)] = japanese;
        return text;
    }
    const QPair<QString, int> key(family, codePage);
    if (const auto own = m_keptIndexes.constFind(key); own != m_keptIndexes.constEnd())
        return *own;
    const int index = add(family, japanese, std::nullopt, codePage);
    m_keptIndexes.insert(key, index);
    return index;
}

int FontTable::add(const QString &family, bool japanese, std::optional<SymbolFont> symbol, int keptCodePage)
{
    m_families.append(family);
    m_japanese.push_back(japanese);
    m_symbols.push_back(symbol);
    m_keptCodePages.push_back(keptCodePage);
    return static_cast<int>(m_families.size()) - 1;
}

void FontTable::markJapanese(int index)
{
    const int kept = m_keptCodePages[static_cast<size_t>(index)];
    if (kept == 0 || kept == kCodePageJapanese)
        m_japanese[static_cast<size_t>(index)] = true;
}

int FontTable::charset(int index) const
{
    if (symbolFont(index))
        return 2;
    if (isJapanese(index))
        return 128;
    const int kept = m_keptCodePages[static_cast<size_t>(index)];
    return kept == 0 ? 0 : std::max(charsetOfCodePage(kept), 0);
}

int FontTable::codePageWithoutCharset(int index) const
{
    const int kept = m_keptCodePages[static_cast<size_t>(index)];
    return kept != 0 && !isJapanese(index) && charsetOfCodePage(kept) < 0 ? kept : 0;
}

QByteArray withWrittenFonts(QByteArrayView rtf, const KeptFonts &kept, FontTable &fonts)
{
    return renumberFonts(rtf, [&](int number) {
        // A font the table lacked read in the document's code page: the default font's family does, in that code page.
        const QString family = kept.families.value(number);
        return fonts.keptIndexOf(family.isEmpty() ? fonts.families().front() : family,
                                 kept.codePages.value(number, kCodePageWestern));
    });
}

int ColorTable::indexOf(const QColor &color)
{
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    const auto found = m_indexes.constFind(rgb);
    if (found != m_indexes.constEnd())
        return *found;
    m_colors.push_back(rgb);
    const int index = static_cast<int>(m_colors.size()); // 0 is the automatic colour
    m_indexes.insert(rgb, index);
    return index;
}

} // namespace kobin::rtf
