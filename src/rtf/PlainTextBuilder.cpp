#include "PlainTextBuilder.h"

namespace kobin::rtf {

void PlainTextBuilder::append(QStringView text)
{
    openParagraph();
    m_content = true;
    const qsizetype start = m_text.size();
    m_text += text;
    bool lineBreaks = false;
    // Between pointers taken once: a note's every character goes through here.
    for (QChar *ch = m_text.data() + start, *const end = m_text.data() + m_text.size(); ch != end; ++ch) {
        if (ch->unicode() == QChar::LineSeparator)
            lineBreaks = true;
        else if (isStructural(ch->unicode()))
            *ch = QChar::ReplacementCharacter;
    }
    if (lineBreaks) {
        const QString appended = m_text.sliced(start).replace(QChar::LineSeparator, m_lineEnd);
        m_text.truncate(start);
        m_text += appended;
    }
}

void PlainTextBuilder::appendKept(const KeptObject &object)
{
    openParagraph();
    m_content = true;
    if (object.kind == KeptObject::Kind::Footnote)
        m_text += footnotePlainText(object.footnoteText);
}

void PlainTextBuilder::endParagraph(const QTextBlockFormat &)
{
    openParagraph();
    putListMarker();
    if (m_depth > 0) {
        moveParagraphIntoCell();
        return;
    }
    const qsizetype tables = putTables();
    m_emptyAfterTable = tables > 0 && m_text.size() == m_paragraphStart + tables;
    m_paragraphPending = true;
    m_paragraphOpen = false;
    m_content = false;
}

void PlainTextBuilder::endCell(const QTextBlockFormat &, int depth)
{
    m_depth = depth;
    openParagraph();
    putListMarker();
    moveParagraphIntoCell();
    m_tables.endCell(depth);
}

// Text after a row's last cell is a cell of its own, as the document makes it.
void PlainTextBuilder::endRow(const RowDefinition &row, int depth)
{
    if (m_content)
        endCell({}, depth);
    m_tables.endRow(depth, row);
}

// The document's last paragraph, empty after a table, is no line.
void PlainTextBuilder::finish(const QTextBlockFormat &)
{
    if (m_paragraphOpen) {
        putListMarker();
        if (m_depth > 0)
            moveParagraphIntoCell();
    }
    if (m_tables.isOpen()) {
        openParagraph(); // the paragraph after the table
        const qsizetype tables = putTables();
        if (m_text.size() == m_paragraphStart + tables)
            m_text.chop(m_lineEnd.size());
    } else if (m_emptyAfterTable && !m_paragraphOpen) {
        m_text.chop(m_lineEnd.size());
    }
}

void PlainTextBuilder::putListMarker()
{
    if (!m_listItem)
        return;
    ListSeen &list = m_lists.try_emplace(m_listItem->key, ListSeen{*m_listItem}).first->second;
    m_text.insert(m_paragraphStart, itemLead(list.first, list.first.start + list.items++));
    m_listItem.reset();
}

// A paragraph follows the one ended only when something is put into it.
void PlainTextBuilder::openParagraph()
{
    if (m_paragraphOpen)
        return;
    m_paragraphOpen = true;
    m_lineEndBefore = m_paragraphPending;
    m_emptyAfterTable = false;
    if (m_paragraphPending)
        m_text += m_lineEnd;
    m_paragraphPending = false;
    m_paragraphStart = m_text.size();
}

// A table's paragraph waits in its cell until the table ends.
void PlainTextBuilder::moveParagraphIntoCell()
{
    QString paragraph = m_text.sliced(m_paragraphStart);
    m_text.truncate(m_paragraphStart - (m_lineEndBefore ? m_lineEnd.size() : 0));
    m_paragraphPending = m_lineEndBefore;
    m_paragraphOpen = false;
    m_content = false;
    m_tables.addParagraph(m_depth, std::move(paragraph));
}

// The tables that ended go before the open paragraph, the one after them, and
// the length of their text is returned. A table has a paragraph before it too:
// the first of the document or of a cell, when empty, is no line of its own.
qsizetype PlainTextBuilder::putTables()
{
    const Tables::Tables tables = m_tables.close(0);
    if (tables.empty())
        return 0;
    if (m_lineEndBefore && m_paragraphStart == m_lineEnd.size()) {
        m_text.remove(0, m_lineEnd.size()); // the empty first paragraph
        m_paragraphStart = 0;
    }
    QString text;
    for (const auto &table : tables) {
        if (!text.isEmpty())
            text += m_lineEnd; // the empty paragraph after the table before
        text += tableText(*table) + m_lineEnd;
    }
    m_text.insert(m_paragraphStart, text);
    return text.size();
}

// Rows, each its cells ending with a tab, joined by lineEnd.
QString PlainTextBuilder::tableText(const Tables::Table &table) const
{
    QString text;
    for (const Tables::Row &row : table.rows) {
        if (&row != &table.rows.front())
            text += m_lineEnd;
        for (const Tables::Cell &cell : row.cells)
            text += cellText(cell) + u'\t';
    }
    return text;
}

QString PlainTextBuilder::cellText(const Tables::Cell &cell) const
{
    QString text;
    const auto &items = cell.items;
    for (size_t i = 0; i < items.size(); ++i) {
        if (items[i].table && i == 1 && !items[0].table && items[0].paragraph.isEmpty())
            text.clear(); // the empty first paragraph
        else if (i > 0)
            text += items[i].table && items[i - 1].table ? m_lineEnd + m_lineEnd : m_lineEnd;
        text += items[i].table ? tableText(*items[i].table) : items[i].paragraph;
    }
    if (!items.empty() && items.back().table)
        text += m_lineEnd; // the empty paragraph after the table
    return text;
}

} // namespace kobin::rtf
