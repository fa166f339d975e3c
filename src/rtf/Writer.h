#pragma once

// The RTF writer's parts: the formats it writes and the writer itself,
// whose work is split over RtfWriter.cpp and WriterFormats.cpp.
#include "Cp932.h"
#include "KeptObjects.h"
#include "FormatProperties.h"
#include "RtfOutput.h"
#include "RtfUnits.h"
#include "SymbolFonts.h"
#include "WriterLists.h"
#include "WriterRows.h"
#include "WriterWords.h"
#include "WriterTables.h"
#include <QColor>
#include <QHash>
#include <QStringList>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <charconv>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

namespace kobin::rtf::writing {

constexpr double kTwipsPerLine = 240.0;  // \slmult1 spacing of one single line
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr double kListIndentPixels = 40.0; // what QTextDocument indents a list level by
constexpr int kListHangingTwips = 360;     // of a list item made in the note

struct RunFormat {
    int font = 0;
    int halfPoints = 0; // 0 only before the first run
    int color = 0;
    int highlight = 0;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    bool bold = false;
    bool italic = false;
    bool strike = false;
    QTextCharFormat::VerticalAlignment script = QTextCharFormat::AlignNormal;
    int raise = 0;           // half-points, negative down
    int privateUseFont = -1; // the SymbolFont of characters read from a glyph area, written back there
    int field = 0;           // 0, or the field (numbered by the writer) whose result the run is
    bool kept = false; // a picture's, an object's or hidden text's: written as kept
};

struct TabStop {
    int twips;
    QTextOption::TabType type;

    bool operator==(const TabStop &other) const { return twips == other.twips && type == other.type; }
};

struct ParagraphFormat {
    char alignment = 'l';
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    int lineSpacing = 0; // as \sl gives it
    bool lineMultiple = false;
    std::vector<TabStop> tabs;
    const QTextList *list = nullptr; // of an item

    bool operator!=(const ParagraphFormat &other) const
    {
        return alignment != other.alignment || leftTwips != other.leftTwips || rightTwips != other.rightTwips
            || firstLineTwips != other.firstLineTwips || spaceBeforeTwips != other.spaceBeforeTwips
            || spaceAfterTwips != other.spaceAfterTwips || lineSpacing != other.lineSpacing
            || lineMultiple != other.lineMultiple || tabs != other.tabs || list != other.list;
    }
};

inline QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.property(QTextFormat::FontFamily).toString();
}

inline bool hasJapaneseCharacters(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80 && cp932::encodeChar(ch.unicode()) > 0)
            return true;
    }
    return false;
}

// A run read in a symbol font is written in it while it keeps that font; given
// another font, its characters are that font's text.
inline bool keepsSymbolFont(const QTextCharFormat &format, const QString &family)
{
    return format.stringProperty(kSymbolFontProperty) == family;
}

inline bool isEmptyParagraph(const QTextBlock &block)
{
    return block.length() == 1; // its paragraph end alone
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document), m_formats(document.allFormats()), m_fonts(document.defaultFont().family()),
          m_defaultPoints(document.defaultFont().pointSizeF() > 0 ? document.defaultFont().pointSizeF() : 12.0),
          m_lists(m_formats),
          // Japanese text takes about four bytes a character; formats add little,
          // and the header, which goes in front, as much as a few fonts and colours.
          m_out(document.characterCount() * 5, 4096)
    {
        m_runFormats.resize(slot(-1) + 1);
        m_paragraphFormats.resize(slot(-1) + 1);
    }

    QByteArray write();

private:
    size_t slot(int formatIndex) const;
    const RunFormat &runFormat(int formatIndex);
    RunFormat runFormat(const QTextCharFormat &format);
    const ParagraphFormat &paragraphFormat(int formatIndex);
    ParagraphFormat paragraphFormat(const QTextBlockFormat &format) const;
    void writeHeader();
    void writeItems(QTextFrame::iterator it, int depth, const char *lastEnd);
    void writeTable(const QTextTable &table, int depth);
    void writeParagraph(const QTextBlock &block, int depth, const char *end);
    void writeParagraphFormat(const ParagraphFormat &paragraph, int depth);
    void writeRunFormat(const RunFormat &run);
    void writeText(QStringView text, bool japanese);
    void writeKept(QStringView text, const QTextCharFormat &format);
    void writeSymbolText(QStringView text, SymbolFont font);
    int fieldOf(const QTextCharFormat &format);
    void switchField(int field, const QTextCharFormat &format);
    void writePrivateUseText(QStringView text, SymbolFont font);
    void writeFontName(const QString &name, bool japanese);
    void useFontReading(int codePage);
    int symbolFontIndex() { return m_fonts.indexOf(QStringLiteral("Symbol"), true); }
    bool inSymbolFont() const { return m_fonts.symbolFont(m_run.font).has_value(); }

    void word(const char *name);
    void word(const char *name, int parameter);
    void literal(char ch);
    void number(int value);
    // Inline: most Japanese goes through it two bytes a character.
    void hexByte(int byte)
    {
        static const char kHexDigits[] = "0123456789abcdef";
        const char escape[4] = {'\\', '\'', kHexDigits[(byte >> 4) & 0xF], kHexDigits[byte & 0xF]};
        m_out.append(QByteArrayView(escape, sizeof escape));
        m_delimit = false;
    }
    void unicode(char16_t unit);

    const QTextDocument &m_document;
    // Fragments share formats: each is looked at once, by its index here, in
    // the order the text first uses it, which is the order fonts and colours
    // take in their tables.
    const QList<QTextFormat> m_formats;
    std::vector<std::optional<RunFormat>> m_runFormats;
    std::vector<std::optional<ParagraphFormat>> m_paragraphFormats;
    FontTable m_fonts;
    const double m_defaultPoints;
    ColorTable m_colors;
    WriterLists m_lists;
    Output m_out;
    bool m_delimit = false;
    qsizetype m_shapePictureEnd = -1; // where the last \shppict written ends
    RunFormat m_run;
    ParagraphFormat m_paragraph;
    int m_depth = 0; // of the table whose cell the paragraph written last is in
    QHash<QByteArray, int> m_fieldNumbers;
    int m_field = 0;           // the field whose result is being written
    RunFormat m_runBeforeField; // the formats in force outside it, which its end brings back
};

} // namespace kobin::rtf::writing
