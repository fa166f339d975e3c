#include "Reader.h"


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
    return symbolFontNamed(font->name);
}

// The symbol font a character of its glyph area stands in while the text is in
// another font: the one the font is named after, or Symbol for its bullet,
// which word processors write in any font.
std::optional<SymbolFont> Reader::privateUseFont(char16_t unit) const
{
    const GroupState &group = m_groups.back();
    if (group.destination != Destination::Text)
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

QTextBlockFormat Reader::blockFormat(const ParagraphState &paragraph)
{
    QTextBlockFormat format;
    if (paragraph.alignment != Qt::AlignLeft)
        format.setAlignment(paragraph.alignment);
    if (paragraph.leftTwips != 0)
        format.setLeftMargin(paragraph.leftTwips / kTwipsPerPixel);
    if (paragraph.rightTwips != 0)
        format.setRightMargin(paragraph.rightTwips / kTwipsPerPixel);
    if (paragraph.firstLineTwips != 0)
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
    if (!paragraph.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const TabStop &stop : paragraph.tabs)
            tabs.append(QTextOption::Tab(stop.twips / kTwipsPerPixel, stop.type, stop.type == QTextOption::DelimiterTab ? u'.' : QChar()));
        format.setTabPositions(tabs);
    }
    return format;
}

} // namespace kobin::rtf::reading
