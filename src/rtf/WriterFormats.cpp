#include "Writer.h"

namespace kobin::rtf::writing {

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

} // namespace kobin::rtf::writing
