#include "DocumentBuilder.h"

#include "FormatProperties.h"

#include <QTextDocument>
#include <QTextList>
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
        if (m_runCount == 0 || m_runs[m_runCount - 1].kept || m_runs[m_runCount - 1].format != m_format)
            openRun();
        m_formatIsLastRuns = true;
    }
    QString &run = m_runs[m_runCount - 1].text;
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
    if (m_runCount == m_runs.size())
        m_runs.emplace_back();
    Run &run = m_runs[m_runCount++];
    run.format = keptObjectFormat(object);
    run.text = QString(QChar::ObjectReplacementCharacter);
    run.kept = true;
    m_formatIsLastRuns = false;
}

void DocumentBuilder::openRun()
{
    if (m_runCount == m_runs.size())
        m_runs.emplace_back();
    Run &run = m_runs[m_runCount++];
    run.format = m_format;
    run.text.truncate(0);
    run.kept = false;
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
    if (m_listItem) {
        addToList(*m_listItem);
        m_listItem.reset();
    }
    // A new paragraph's mark takes the format of text, never an object's.
    const auto runs = m_runs.begin();
    const auto lastText = std::find_if(std::make_reverse_iterator(runs + static_cast<std::ptrdiff_t>(m_runCount)),
                                       std::make_reverse_iterator(runs), [](const Run &run) { return !run.kept; });
    if (lastText != std::make_reverse_iterator(runs))
        m_formatBefore = lastText->format;
    else if (markFormat)
        m_formatBefore = *markFormat;
    for (size_t i = 0; i < m_runCount; ++i)
        m_cursor.insertText(m_runs[i].text, m_runs[i].format);
    m_runCount = 0;
    m_formatIsLastRuns = false;
    m_paragraphOpen = false;
}

// Each level of a list is a list of the document, indented by its level.
void DocumentBuilder::addToList(const ListItem &item)
{
    QTextList *&list = m_lists[item.key];
    if (list) {
        list->add(m_cursor.block());
        return;
    }
    QTextListFormat format;
    format.setStyle(item.style);
    format.setIndent(item.level + 1);
    if (isNumbered(item.style)) {
        format.setNumberPrefix(item.prefix);
        format.setNumberSuffix(item.suffix);
    }
    if (item.start != 1)
        format.setProperty(kListStartProperty, item.start);
    list = m_cursor.createList(format);
}

} // namespace kobin::rtf
