#pragma once

// The font and colour tables of a note the RTF writer writes.
#include "KeptFonts.h"
#include "SymbolFonts.h"

#include <QColor>
#include <QHash>
#include <QPair>
#include <QStringList>
#include <optional>
#include <vector>

namespace kobin::rtf {

// The fonts of a document in order of first use; font 0 is the document's
// default font, which text without a font of its own is written in. A family
// written both as a symbol font and as text has an entry for each, and so has
// one that groups kept whole need in a code page its text entry cannot have.
class FontTable
{
public:
    explicit FontTable(const QString &defaultFamily) { indexOf(defaultFamily, false); }

    int indexOf(const QString &family, bool symbol);
    // The font a group kept whole names: its bytes read back in the code page they were read in.
    // (The family is a copy: callers name families of this table, which adding to it moves.)
    int keptIndexOf(QString family, int codePage);
    // Text with Japanese characters is written in the font; one kept in another code page has them as \uN.
    void markJapanese(int index);
    bool isJapanese(int index) const { return m_japanese[static_cast<size_t>(index)]; }
    std::optional<SymbolFont> symbolFont(int index) const { return m_symbols[static_cast<size_t>(index)]; }
    const QStringList &families() const { return m_families; }
    int charset(int index) const;
    // A code page no \fcharset selects, written as \cpgN; 0 for none.
    int codePageWithoutCharset(int index) const;

private:
    int add(const QString &family, bool japanese, std::optional<SymbolFont> symbol, int keptCodePage);

    QHash<QString, int> m_indexes;
    QHash<QString, int> m_symbolIndexes;
    QHash<QPair<QString, int>, int> m_keptIndexes;
    QStringList m_families;
    std::vector<bool> m_japanese;
    std::vector<std::optional<SymbolFont>> m_symbols;
    std::vector<int> m_keptCodePages; // 0 where no kept group fixed it
};

// A group kept whole with its \fN numbered as this table numbers the fonts it names.
QByteArray withWrittenFonts(QByteArrayView rtf, const KeptFonts &kept, FontTable &fonts);

class ColorTable
{
public:
    int indexOf(const QColor &color);
    const std::vector<QRgb> &colors() const { return m_colors; }

private:
    QHash<QRgb, int> m_indexes;
    std::vector<QRgb> m_colors;
};

} // namespace kobin::rtf
