#include "Reader.h"

#include "FormatProperties.h"


namespace kobin::rtf::reading {

int Reader::documentCodePage() const
{
    return m_ansiCodePage > 0 ? m_ansiCodePage : m_charsetCodePage;
}

// \cpgN beats \fcharsetN, which beats the document's code page.
int Reader::codePageOf(const FontEntry &font) const
{
    return font.codePage > 0 ? font.codePage : codePageOfCharset(font.charset, documentCodePage());
}

bool Reader::isSymbolFont(const FontEntry &font) const
{
    return codePageOf(font) == kCodePageSymbol;
}

// A symbol font's name is text of the document's code page, not glyphs.
int Reader::currentCodePage() const
{
    const GroupState &group = m_groups.back();
    if (group.destination == Destination::FontTable)
        return m_tableFont && !isSymbolFont(*m_tableFont) ? codePageOf(*m_tableFont) : documentCodePage();
    const FontEntry *font = fontOf(group.chars);
    return font ? codePageOf(*font) : documentCodePage();
}

// The symbol font that text now being read is in, if it is in one.
std::optional<SymbolFont> Reader::currentSymbolFont() const
{
    const GroupState &group = m_groups.back();
    if (group.destination != Destination::Text)
        return std::nullopt;
    const FontEntry *font = fontOf(group.chars);
    if (!font || !isSymbolFont(*font))
        return std::nullopt;
    // A symbol font without a name cannot be written back as itself: its glyphs are taken for Symbol's.
    return font->name.trimmed().isEmpty() ? SymbolFont::Symbol : symbolFontNamed(font->name);
}

// The symbol font a character of its glyph area stands in while the text is in
// another font: the one the font is named after, or Symbol for its bullet,
// which word processors write in any font.
std::optional<SymbolFont> Reader::privateUseFont(char16_t unit) const
{
    const GroupState &group = m_groups.back();
    // Hidden text is not shown: it keeps what it read, as the writer writes it back.
    if (group.destination != Destination::Text || group.chars.hidden)
        return std::nullopt;
    const FontEntry *font = fontOf(group.chars);
    const SymbolFont named = font ? symbolFontNamed(font->name) : SymbolFont::Other;
    const SymbolFont symbol = named != SymbolFont::Other ? named : SymbolFont::Symbol;
    if (named == SymbolFont::Other && unit != kSymbolBullet)
        return std::nullopt;
    if (symbolCharacter(symbol, static_cast<uint8_t>(unit)) == unit)
        return std::nullopt; // a glyph with no character of its own
    return symbol;
}

const FontEntry *Reader::fontOf(const CharState &chars) const
{
    const auto found = m_fonts.find(chars.font < 0 ? m_defaultFont : chars.font);
    return found == m_fonts.end() ? nullptr : &found->second;
}

QColor Reader::color(int index) const
{
    if (index <= 0 || index >= static_cast<int>(m_colors.size()))
        return {};
    return m_colors[static_cast<size_t>(index)];
}

const QTextCharFormat &Reader::sharedCharFormat(const CharState &chars)
{
    const auto found = m_charFormats.find(chars);
    if (found != m_charFormats.end())
        return found->second;
    return m_charFormats.emplace(chars, charFormat(chars)).first->second;
}

QTextCharFormat Reader::charFormat(const CharState &chars) const
{
    QTextCharFormat format;
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(chars.underline);
    if (const FontEntry *font = fontOf(chars); font && !font->name.trimmed().isEmpty()) {
        const QString name = font->name.trimmed();
        format.setFontFamilies({name});
        if (isSymbolFont(*font))
            format.setProperty(kSymbolFontProperty, name);
    }
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (const QColor text = color(chars.color); text.isValid())
        format.setForeground(text);
    if (const QColor background = color(chars.highlight); background.isValid())
        format.setBackground(background);
    if (chars.strike)
        format.setFontStrikeOut(true);
    if (chars.script != QTextCharFormat::AlignNormal)
        format.setVerticalAlignment(chars.script);
    if (chars.raise != 0) {
        format.setProperty(kRaiseProperty, chars.raise);
        format.setBaselineOffset(100.0 * chars.raise / (chars.halfPoints > 0 ? chars.halfPoints : kRtfDefaultHalfPoints));
    }
    if (chars.privateUseFont >= 0)
        format.setProperty(kPrivateUseFontProperty, int(chars.privateUseFont));
    if (chars.field >= 0) {
        const FieldEntry &field = m_fields[static_cast<size_t>(chars.field)];
        format.setProperty(kFieldInstructionProperty, field.instructionRtf);
        format.setProperty(kFieldNumberProperty, chars.field);
        if (!field.href.isEmpty()) {
            format.setAnchor(true);
            format.setAnchorHref(field.href);
        }
    }
    return format;
}

const QTextBlockFormat &Reader::sharedBlockFormat(const ParagraphState &paragraph)
{
    if (paragraph != m_blockFormatState) {
        m_blockFormatState = paragraph;
        m_blockFormat = blockFormat(paragraph);
    }
    return m_blockFormat;
}

// A list item's marker stands in its hanging indent: the item is indented by
// its list's level, and its own margin makes up the rest of its indent.
QTextBlockFormat Reader::blockFormat(const ParagraphState &paragraph)
{
    QTextBlockFormat format;
    if (paragraph.alignment != Qt::AlignLeft)
        format.setAlignment(paragraph.alignment);
    const bool listItem = paragraph.list.isItem();
    const double left = paragraph.leftTwips / kTwipsPerPixel - (listItem ? (paragraph.list.level + 1) * kListIndentPixels : 0);
    if (left != 0)
        format.setLeftMargin(left);
    if (paragraph.rightTwips != 0)
        format.setRightMargin(paragraph.rightTwips / kTwipsPerPixel);
    if (listItem)
        format.setProperty(kListHangingProperty, -paragraph.firstLineTwips);
    else if (paragraph.firstLineTwips != 0)
        format.setTextIndent(paragraph.firstLineTwips / kTwipsPerPixel);
    if (paragraph.spaceBeforeTwips != 0)
        format.setTopMargin(paragraph.spaceBeforeTwips / kTwipsPerPixel);
    if (paragraph.spaceAfterTwips != 0)
        format.setBottomMargin(paragraph.spaceAfterTwips / kTwipsPerPixel);
    if (paragraph.lineSpacing < 0)
        format.setLineHeight(-paragraph.lineSpacing / kTwipsPerPixel, QTextBlockFormat::FixedHeight);
    else if (paragraph.lineSpacing > 0 && paragraph.lineMultiple)
        format.setLineHeight(paragraph.lineSpacing * 100.0 / kTwipsPerLine, QTextBlockFormat::ProportionalHeight);
    else if (paragraph.lineSpacing > 0)
        format.setLineHeight(paragraph.lineSpacing / kTwipsPerPixel, QTextBlockFormat::MinimumHeight);
    setTabStops(format, paragraph);
    return format;
}

// The note measures tab stops from where a paragraph's first line starts, RTF
// from the margin. A hanging indent is a tab stop of its own: the text after a
// tab on the first line starts at the indent, as a bullet typed by hand is
// followed by its text.
void Reader::setTabStops(QTextBlockFormat &format, const ParagraphState &paragraph)
{
    const bool listItem = paragraph.list.isItem();
    const bool hangs = paragraph.firstLineTwips < 0 && !listItem;
    if (paragraph.tabs.empty() && !hangs)
        return;
    const int lineStart = paragraph.leftTwips + (listItem ? 0 : paragraph.firstLineTwips);
    QList<QTextOption::Tab> tabs;
    bool hangingStopPlaced = !hangs;
    for (const TabStop &stop : paragraph.tabs) {
        if (!hangingStopPlaced && stop.twips >= paragraph.leftTwips) {
            if (stop.twips != paragraph.leftTwips)
                tabs.append(QTextOption::Tab(-paragraph.firstLineTwips / kTwipsPerPixel, QTextOption::LeftTab));
            hangingStopPlaced = true;
        }
        tabs.append(QTextOption::Tab((stop.twips - lineStart) / kTwipsPerPixel, stop.type,
                                     stop.type == QTextOption::DelimiterTab ? u'.' : QChar()));
    }
    if (!hangingStopPlaced)
        tabs.append(QTextOption::Tab(-paragraph.firstLineTwips / kTwipsPerPixel, QTextOption::LeftTab));
    format.setTabPositions(tabs);
}

} // namespace kobin::rtf::reading
