#include "RtfWriter.h"

#include "Cp932.h"
#include "KeptObjects.h"
#include "FormatProperties.h"
#include "RtfOutput.h"
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

namespace kobin::rtf {
namespace {

constexpr double kTwipsPerPixel = 15.0; // at 96 dots per inch
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

QString familyOf(const QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return format.property(QTextFormat::FontFamily).toString();
}

bool hasJapaneseCharacters(QStringView text)
{
    for (const QChar ch : text) {
        if (ch.unicode() >= 0x80 && cp932::encodeChar(ch.unicode()) > 0)
            return true;
    }
    return false;
}

// A run read in a symbol font is written in it while it keeps that font; given
// another font, its characters are that font's text.
bool keepsSymbolFont(const QTextCharFormat &format, const QString &family)
{
    return format.stringProperty(kSymbolFontProperty) == family;
}

bool isEmptyParagraph(const QTextBlock &block)
{
    return block.length() == 1; // its paragraph end alone
}

class Writer
{
public:
    explicit Writer(const QTextDocument &document)
        : m_document(document), m_formats(document.allFormats()), m_fonts(document.defaultFont().family()),
          m_defaultPoints(document.defaultFont().pointSizeF() > 0 ? document.defaultFont().pointSizeF() : 12.0),
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

// The body is written first, in one pass over the document: it names the fonts
// and colours of the header's tables, which an empty paragraph does by its own
// format, and tells which fonts hold Japanese.
QByteArray Writer::write()
{
    m_delimit = true; // as after the header's last control word
    if (m_document.rootFrame()->childFrames().isEmpty()) {
        // Going from block to block is quicker than through the frame's items.
        for (QTextBlock block = m_document.begin(); block.isValid(); block = block.next())
            writeParagraph(block, 0, "par");
    } else {
        writeItems(m_document.rootFrame()->begin(), 0, "par");
    }
    m_out.append("}\r\n");
    Output body = std::exchange(m_out, Output(1024));
    writeHeader();
    return body.take(m_out.take());
}

// A slot for each format of the document, and a last one for an index it does
// not hold, which stands for the empty format as it does there.
size_t Writer::slot(int formatIndex) const
{
    return static_cast<size_t>(formatIndex >= 0 && formatIndex < m_formats.size() ? formatIndex : m_formats.size());
}

const RunFormat &Writer::runFormat(int formatIndex)
{
    std::optional<RunFormat> &run = m_runFormats[slot(formatIndex)];
    if (!run)
        run = runFormat(m_formats.value(formatIndex).toCharFormat());
    return *run;
}

RunFormat Writer::runFormat(const QTextCharFormat &format)
{
    RunFormat run;
    const QString family = familyOf(format);
    run.font = family.isEmpty() ? 0 : m_fonts.indexOf(family, keepsSymbolFont(format, family));
    // Text in the document's default size gets that size written out, as
    // readers without our defaults would otherwise show it at 12 points.
    const double points = format.fontPointSize() > 0 ? format.fontPointSize() : m_defaultPoints;
    run.halfPoints = qBound(kMinHalfPoints, qRound(points * 2), kMaxHalfPoints);
    const QBrush foreground = format.foreground();
    if (format.hasProperty(QTextFormat::ForegroundBrush) && foreground.style() != Qt::NoBrush)
        run.color = m_colors.indexOf(foreground.color());
    const QBrush background = format.background();
    if (format.hasProperty(QTextFormat::BackgroundBrush) && background.style() != Qt::NoBrush)
        run.highlight = m_colors.indexOf(background.color());
    run.underline = format.underlineStyle();
    if (run.underline == QTextCharFormat::NoUnderline && format.fontUnderline())
        run.underline = QTextCharFormat::SingleUnderline;
    run.bold = format.fontWeight() > QFont::Medium;
    run.italic = format.fontItalic();
    run.strike = format.fontStrikeOut();
    const auto script = format.verticalAlignment();
    if (script == QTextCharFormat::AlignSuperScript || script == QTextCharFormat::AlignSubScript)
        run.script = script;
    run.raise = format.intProperty(kRaiseProperty);
    if (format.hasProperty(kPrivateUseFontProperty))
        run.privateUseFont = format.intProperty(kPrivateUseFontProperty);
    run.field = fieldOf(format);
    run.kept = isKeptObject(format);
    return run;
}

const ParagraphFormat &Writer::paragraphFormat(int formatIndex)
{
    std::optional<ParagraphFormat> &paragraph = m_paragraphFormats[slot(formatIndex)];
    if (!paragraph)
        paragraph = paragraphFormat(m_formats.value(formatIndex).toBlockFormat());
    return *paragraph;
}

ParagraphFormat Writer::paragraphFormat(const QTextBlockFormat &format) const
{
    ParagraphFormat paragraph;
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        paragraph.alignment = 'r';
    else if (alignment & Qt::AlignHCenter)
        paragraph.alignment = 'c';
    else if (alignment & Qt::AlignJustify)
        paragraph.alignment = 'j';
    paragraph.list = qobject_cast<const QTextList *>(m_document.object(format.objectIndex()));
    // A list item's marker stands in its hanging indent, the rest of its indent is its level's.
    const double listIndent = paragraph.list ? (WriterLists::levelOf(paragraph.list) + 1) * kListIndentPixels : 0.0;
    paragraph.leftTwips = qRound((format.leftMargin() + listIndent) * kTwipsPerPixel);
    paragraph.rightTwips = qRound(format.rightMargin() * kTwipsPerPixel);
    paragraph.firstLineTwips = qRound(format.textIndent() * kTwipsPerPixel);
    if (paragraph.list)
        paragraph.firstLineTwips = format.hasProperty(kListHangingProperty) ? -format.intProperty(kListHangingProperty)
                                                                            : -qMin(kListHangingTwips, paragraph.leftTwips);
    paragraph.spaceBeforeTwips = qRound(format.topMargin() * kTwipsPerPixel);
    paragraph.spaceAfterTwips = qRound(format.bottomMargin() * kTwipsPerPixel);
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        paragraph.lineSpacing = qRound(format.lineHeight() * kTwipsPerLine / 100.0);
        paragraph.lineMultiple = true;
        break;
    case QTextBlockFormat::FixedHeight:
        paragraph.lineSpacing = -qRound(format.lineHeight() * kTwipsPerPixel);
        break;
    case QTextBlockFormat::MinimumHeight:
        paragraph.lineSpacing = qRound(format.lineHeight() * kTwipsPerPixel);
        break;
    default:
        break;
    }
    // Tab stops are measured from where the first line starts, and RTF's from
    // the margin; a hanging indent is a tab stop of its own.
    const bool hangs = paragraph.firstLineTwips < 0 && !paragraph.list;
    const int lineStart = paragraph.leftTwips + (paragraph.list ? 0 : paragraph.firstLineTwips);
    for (const QTextOption::Tab &tab : format.tabPositions()) {
        const TabStop stop{qRound(tab.position * kTwipsPerPixel) + lineStart, tab.type};
        if (!hangs || stop.twips != paragraph.leftTwips || stop.type != QTextOption::LeftTab)
            paragraph.tabs.push_back(stop);
    }
    return paragraph;
}

void Writer::writeHeader()
{
    m_out.append("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl");
    const QStringList &families = m_fonts.families();
    for (int i = 0; i < families.size(); ++i) {
        const bool japanese = m_fonts.isJapanese(i);
        m_out.append("{");
        word("f", i);
        word("fnil");
        word("fcharset", m_fonts.symbolFont(i) ? 2 : japanese ? 128 : 0);
        m_out.append(' ');
        writeFontName(families[i], japanese);
        m_out.append(";}");
    }
    m_out.append("}\r\n{\\colortbl ;");
    for (const QRgb rgb : m_colors.colors()) {
        word("red", qRed(rgb));
        word("green", qGreen(rgb));
        word("blue", qBlue(rgb));
        m_out.append(';');
    }
    m_out.append("}\r\n");
    if (const QByteArray lists = m_lists.tables(); !lists.isEmpty())
        m_out.append(lists);
    m_out.append("\\viewkind4\\uc1\\pard");
}

// Each object character is its group as read; hidden text goes in a group of
// its own.
void Writer::writeKept(QStringView text, const QTextCharFormat &format)
{
    const bool japanese = m_fonts.isJapanese(m_run.font);
    for (const QChar ch : text) {
        if (ch != QChar::ObjectReplacementCharacter) {
            // typed with the object's format, in the font of the text before it
            if (const auto symbol = m_fonts.symbolFont(m_run.font))
                writeSymbolText(QStringView(&ch, 1), *symbol);
            else
                writeText(QStringView(&ch, 1), japanese);
            continue;
        }
        if (const QString hidden = hiddenTextOf(format); !hidden.isEmpty()) {
            // In the default font, which is no symbol font: the text reads back as it is.
            m_out.append("{\\v\\f0");
            m_delimit = true;
            writeText(hidden, m_fonts.isJapanese(0));
            m_out.append('}');
        } else {
            const QByteArray rtf = keptRtfOf(format);
            // A picture of its own {\nonshppict} group right after a \shppict would be
            // read back as that picture's copy for older readers: a group keeps them apart.
            if (rtf.startsWith("{\\nonshppict") && m_out.size() == m_shapePictureEnd)
                m_out.append("{}");
            m_out.append(rtf);
            if (rtf.startsWith("{\\*\\shppict"))
                m_shapePictureEnd = m_out.size();
        }
        m_delimit = false;
    }
}

void Writer::writeFontName(const QString &name, bool japanese)
{
    m_delimit = false;
    for (const QChar ch : name) {
        if (ch == u';')
            hexByte(';'); // a literal ";" would end the name
        else if (ch == u'\t' || ch == QChar::LineSeparator)
            unicode(ch.unicode()); // the font table reads no \tab nor \line
        else
            writeText(QStringView(&ch, 1), japanese);
    }
}

// The paragraphs and tables from it on, the last paragraph ending with lastEnd:
// \par, or the word that ends a cell.
void Writer::writeItems(QTextFrame::iterator it, int depth, const char *lastEnd)
{
    while (!it.atEnd()) {
        const QTextFrame *frame = it.currentFrame();
        const QTextBlock block = it.currentBlock();
        ++it;
        if (const auto *table = qobject_cast<const QTextTable *>(frame))
            writeTable(*table, depth + 1);
        else if (frame)
            writeItems(frame->begin(), depth, "par");
        else
            writeParagraph(block, depth, it.atEnd() ? lastEnd : "par");
    }
}

// Rows as Word writes them: the definition before the cells, or for a table in
// a table after them, in {\*\nesttableprops}. A merged cell is the cells it was
// read from, the first with its text and the others empty.
void Writer::writeTable(const QTextTable &table, int depth)
{
    const char *cellEnd = depth == 1 ? "cell" : "nestcell";
    for (int row = 0; row < table.rows(); ++row) {
        const QByteArray definition = rowDefinition(table, row, m_colors);
        if (depth == 1) {
            m_out.append(definition);
            m_delimit = true;
        }
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (isAbsentCell(cell))
                continue;
            if (cell.row() == row && cell.column() == column) {
                writeItems(cell.begin(), depth, cellEnd);
                continue;
            }
            if (m_paragraph != ParagraphFormat() || m_depth != depth)
                writeParagraphFormat(ParagraphFormat(), depth);
            word(cellEnd);
        }
        if (depth == 1) {
            word("row");
        } else {
            m_out.append("{\\*\\nesttableprops");
            m_out.append(definition);
            m_out.append("\\nestrow}");
            m_delimit = false;
        }
        m_out.append("\r\n");
        m_delimit = false;
    }
}

void Writer::writeParagraph(const QTextBlock &block, int depth, const char *end)
{
    const ParagraphFormat &paragraph = paragraphFormat(block.blockFormatIndex());
    if (paragraph != m_paragraph || depth != m_depth)
        writeParagraphFormat(paragraph, depth);
    if (isEmptyParagraph(block)) // it still has the font and size of its line
        writeRunFormat(runFormat(block.charFormatIndex()));
    if (paragraph.list) {
        m_out.append(WriterLists::markerGroup(block, symbolFontIndex(), inSymbolFont()));
        m_delimit = false;
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        if (!fragment.isValid())
            continue;
        const RunFormat &run = runFormat(fragment.charFormatIndex());
        if (run.field != m_field)
            switchField(run.field, fragment.charFormat());
        if (run.kept) {
            writeKept(fragment.text(), fragment.charFormat());
            continue;
        }
        writeRunFormat(run);
        const QString text = fragment.text();
        if (const auto symbol = m_fonts.symbolFont(run.font)) {
            writeSymbolText(text, *symbol);
            continue;
        }
        if (run.privateUseFont >= 0) {
            writePrivateUseText(text, static_cast<SymbolFont>(run.privateUseFont));
            continue;
        }
        // Text without Japanese is written the same in either kind of font,
        // so a font becomes Japanese in time when its first Japanese comes.
        if (!m_fonts.isJapanese(run.font) && hasJapaneseCharacters(text))
            m_fonts.markJapanese(run.font);
        writeText(text, m_fonts.isJapanese(run.font));
    }
    switchField(0, {}); // a field ends with its paragraph
    word(end);
    m_out.append("\r\n");
    m_delimit = false;
}

void Writer::writeParagraphFormat(const ParagraphFormat &paragraph, int depth)
{
    word("pard");
    if (depth > 0)
        word("intbl");
    if (depth > 1)
        word("itap", depth);
    if (paragraph.alignment != 'l') {
        const char name[3] = {'q', paragraph.alignment, '\0'};
        word(name);
    }
    if (paragraph.leftTwips != 0)
        word("li", paragraph.leftTwips);
    if (paragraph.rightTwips != 0)
        word("ri", paragraph.rightTwips);
    if (paragraph.firstLineTwips != 0)
        word("fi", paragraph.firstLineTwips);
    if (paragraph.spaceBeforeTwips != 0)
        word("sb", paragraph.spaceBeforeTwips);
    if (paragraph.spaceAfterTwips != 0)
        word("sa", paragraph.spaceAfterTwips);
    if (paragraph.lineSpacing != 0) {
        word("sl", paragraph.lineSpacing);
        word("slmult", paragraph.lineMultiple ? 1 : 0);
    }
    for (const TabStop &tab : paragraph.tabs) {
        if (const char *type = tabTypeWord(tab.type))
            word(type);
        word("tx", tab.twips);
    }
    if (paragraph.list) {
        word("ls", m_lists.numberOf(paragraph.list));
        word("ilvl", WriterLists::levelOf(paragraph.list));
        m_out.append(WriterLists::numberingGroup(paragraph.list, symbolFontIndex(), inSymbolFont()));
        m_delimit = false;
    }
    m_paragraph = paragraph;
    m_depth = depth;
}

void Writer::writeRunFormat(const RunFormat &run)
{
    if (run.font != m_run.font)
        word("f", run.font);
    if (run.halfPoints != m_run.halfPoints)
        word("fs", run.halfPoints);
    if (run.bold != m_run.bold)
        run.bold ? word("b") : word("b", 0);
    if (run.italic != m_run.italic)
        run.italic ? word("i") : word("i", 0);
    if (run.underline != m_run.underline)
        word(underlineWord(run.underline));
    if (run.color != m_run.color)
        word("cf", run.color);
    if (run.highlight != m_run.highlight)
        word("highlight", run.highlight);
    if (run.strike != m_run.strike)
        run.strike ? word("strike") : word("strike", 0);
    if (run.script != m_run.script)
        word(run.script == QTextCharFormat::AlignSuperScript ? "super"
             : run.script == QTextCharFormat::AlignSubScript ? "sub" : "nosupersub");
    if (run.raise != m_run.raise)
        run.raise < 0 ? word("dn", -run.raise) : word("up", run.raise);
    m_run = run;
}

void Writer::writeText(QStringView text, bool japanese)
{
    for (const QChar ch : text) {
        const char16_t unit = ch.unicode();
        if (unit >= 0x20 && unit < 0x7F) {
            if (unit == u'\\' || unit == u'{' || unit == u'}') {
                m_out.append('\\');
                m_out.append(static_cast<char>(unit));
                m_delimit = false;
            } else {
                literal(static_cast<char>(unit));
            }
            continue;
        }
        switch (unit) {
        case u'\t': word("tab"); continue;
        case 0x2028: word("line"); continue;
        case 0x00A0: m_out.append("\\~"); m_delimit = false; continue;
        case 0x2011: m_out.append("\\_"); m_delimit = false; continue;
        case 0x00AD: m_out.append("\\-"); m_delimit = false; continue;
        default: break;
        }
        const int code = japanese && unit >= 0x80 ? cp932::encodeChar(unit) : -1;
        if (code > 0xFF) {
            hexByte(code >> 8);
            hexByte(code & 0xFF);
        } else if (code > 0 && !cp932::isLeadByte(static_cast<unsigned char>(code))) {
            hexByte(code);
        } else {
            // A lead byte kept alone would be read back as a pair with the next byte.
            unicode(unit);
        }
    }
}

// A symbol font's characters go back as the bytes they were read from. Any
// other character typed into its run is written as \uN, even a letter, whose
// byte would read back as the font's glyph.
void Writer::writeSymbolText(QStringView text, SymbolFont font)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype start = i;
        char32_t ch = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ch = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        const int byte = symbolByte(font, ch);
        if (byte >= 0x20 && byte < 0x7F) {
            const char16_t printable = static_cast<char16_t>(byte);
            writeText(QStringView(&printable, 1), false);
        } else if (byte >= 0) {
            hexByte(byte);
        } else if (ch >= 0x20 && ch < 0x7F) {
            unicode(static_cast<char16_t>(ch));
        } else {
            writeText(text.sliced(start, i + 1 - start), false);
        }
    }
}

// A field read is told by its instruction and its number in the note; a link
// made in the editor by its address.
int Writer::fieldOf(const QTextCharFormat &format)
{
    const QByteArray instruction = format.property(kFieldInstructionProperty).toByteArray();
    const QString href = format.isAnchor() ? format.anchorHref() : QString();
    if (instruction.isEmpty() && href.isEmpty())
        return 0;
    const QByteArray key = instruction + '\0' + href.toUtf8() + '\0'
        + QByteArray::number(format.hasProperty(kFieldNumberProperty) ? format.intProperty(kFieldNumberProperty) : -1);
    const int next = static_cast<int>(m_fieldNumbers.size()) + 1;
    return *m_fieldNumbers.insert(key, m_fieldNumbers.value(key, next));
}

// Ends the field being written, whose result group takes its formats with it,
// and begins the one given (0: none): its instruction as read, or a link to the
// anchor's address.
void Writer::switchField(int field, const QTextCharFormat &format)
{
    if (field == m_field)
        return;
    if (m_field != 0) {
        m_out.append("}}");
        m_run = m_runBeforeField;
        m_delimit = false;
    }
    m_field = field;
    if (field == 0)
        return;
    m_runBeforeField = m_run;
    m_out.append("{\\field");
    const QByteArray instruction = format.property(kFieldInstructionProperty).toByteArray();
    if (instruction.isEmpty()) {
        m_out.append("{\\*\\fldinst{HYPERLINK \"");
        m_delimit = false;
        writeText(QString(format.anchorHref()).replace(u'"', QStringLiteral("%22")), false);
        m_out.append("\"}}");
    } else {
        m_out.append(instruction);
    }
    m_out.append("{\\fldrslt");
    m_delimit = true;
}

// Characters read from a symbol font's glyph area go back there as \uN;
// others typed among them are text of the run's font.
void Writer::writePrivateUseText(QStringView text, SymbolFont font)
{
    for (const QChar ch : text) {
        const int byte = ch.isSurrogate() ? -1 : symbolByte(font, ch.unicode());
        if (byte >= 0)
            unicode(static_cast<char16_t>(0xF000 + byte));
        else
            writeText(QStringView(&ch, 1), m_fonts.isJapanese(m_run.font));
    }
}

void Writer::word(const char *name)
{
    m_out.append('\\');
    m_out.append(name);
    m_delimit = true;
}

void Writer::word(const char *name, int parameter)
{
    m_out.append('\\');
    m_out.append(name);
    number(parameter);
    m_delimit = true;
}

void Writer::literal(char ch)
{
    if (m_delimit)
        m_out.append(' ');
    m_out.append(ch);
    m_delimit = false;
}

void Writer::number(int value)
{
    char digits[12];
    const auto result = std::to_chars(digits, digits + sizeof digits, value);
    m_out.append(QByteArrayView(digits, result.ptr - digits));
}


// \uN takes a signed 16-bit number; "?" is the fallback for older readers.
void Writer::unicode(char16_t unit)
{
    m_out.append("\\u");
    number(unit > 0x7FFF ? static_cast<int>(unit) - 0x10000 : static_cast<int>(unit));
    m_out.append('?');
    m_delimit = false;
}

} // namespace

QByteArray writeRtf(const QTextDocument &document)
{
    return Writer(document).write();
}

} // namespace kobin::rtf
