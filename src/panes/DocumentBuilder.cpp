#include "DocumentBuilder.h"

#include <QTextDocument>
#include <algorithm>

namespace kobin::rtf {

DocumentBuilder::DocumentBuilder(QTextDocument &document) : m_cursor(&document)
{
    m_cursor.movePosition(QTextCursor::End);
    // One change notice for the whole document instead of one per run.
    m_cursor.beginEditBlock();
}

void DocumentBuilder::setCharFormat(const QTextCharFormat &format)
{
    if (format == m_format)
        return;
    m_format = format;
    m_formatIsLastRuns = false;
}

void DocumentBuilder::append(QStringView text)
{
    m_paragraphOpen = true;
    if (!m_formatIsLastRuns) {
        if (m_runs.empty() || m_runs.back().kept || m_runs.back().format != m_format)
            m_runs.push_back({m_format, QString()});
        m_formatIsLastRuns = true;
    }
    QString &run = m_runs.back().text;
    const qsizetype start = run.size();
    run += text;
    for (auto ch = run.begin() + start; ch != run.end(); ++ch) {
        if (isStructural(ch->unicode()))
            *ch = QChar::ReplacementCharacter;
    }
}

void DocumentBuilder::appendKept(const KeptObject &object)
{
    m_paragraphOpen = true;
    m_runs.push_back({keptObjectFormat(object), QString(QChar::ObjectReplacementCharacter), true});
    m_formatIsLastRuns = false;
}

void DocumentBuilder::endParagraph(const QTextBlockFormat &format)
{
    writeParagraph(format, &m_format);
}

void DocumentBuilder::finish(const QTextBlockFormat &format)
{
    if (m_paragraphOpen)
        writeParagraph(format, m_firstParagraph ? nullptr : &m_formatBefore);
    m_cursor.endEditBlock();
}

// markFormat null: the first paragraph keeps the document's own mark format.
void DocumentBuilder::writeParagraph(const QTextBlockFormat &format, const QTextCharFormat *markFormat)
{
    if (m_firstParagraph) {
        m_cursor.setBlockFormat(format);
        if (markFormat)
            m_cursor.setBlockCharFormat(*markFormat);
        m_firstParagraph = false;
    } else {
        m_cursor.insertBlock(format, *markFormat);
    }
    // A new paragraph's mark takes the format of text, never an object's.
    const auto lastText = std::find_if(m_runs.rbegin(), m_runs.rend(), [](const Run &run) { return !run.kept; });
    if (lastText != m_runs.rend())
        m_formatBefore = lastText->format;
    else if (markFormat)
        m_formatBefore = *markFormat;
    for (const Run &run : m_runs)
        m_cursor.insertText(run.text, run.format);
    m_runs.clear();
    m_formatIsLastRuns = false;
    m_paragraphOpen = false;
}

} // namespace kobin::rtf
