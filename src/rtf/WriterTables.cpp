#include "WriterTables.h"

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
    const int index = static_cast<int>(m_families.size());
    indexes.insert(family, index);
    m_families.append(family);
    m_japanese.push_back(isJapaneseFontName(family));
    m_symbols.push_back(symbol ? std::optional(symbolFontNamed(family)) : std::nullopt);
    return index;
}

QByteArray withWrittenFonts(QByteArrayView rtf, const KeptFonts &kept, FontTable &fonts)
{
    return renumberFonts(rtf, [&](int number) {
        const QString family = kept.families.value(number);
        return family.isEmpty() ? 0 : fonts.indexOf(family, kept.symbolFonts.contains(number));
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
