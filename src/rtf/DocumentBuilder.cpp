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

void DocumentBuilder::endCell(const QTextBlockFormat &format, int depth)
{
    m_depth = depth;
    writeParagraph(format, &m_format);
    m_tables.endCell(depth);
}

// Text after a row's last cell is a cell of its own.
void DocumentBuilder::endRow(const RowDefinition &row, int depth)
{
    if (m_runCount > 0)
        endCell(QTextBlockFormat(), depth);
    m_tables.endRow(depth, row);
}

void DocumentBuilder::finish(const QTextBlockFormat &format)
{
    if (m_paragraphOpen)
        writeParagraph(format, m_firstParagraph ? nullptr : &m_formatBefore);
    putTables();
    m_cursor.endEditBlock();
}

// markFormat null: the first paragraph keeps the document's own mark format.
void DocumentBuilder::writeParagraph(const QTextBlockFormat &format, const QTextCharFormat *markFormat)
{
    // A new paragraph's mark takes the format of text, never an object's.
    const auto runs = m_runs.begin();
    const auto end = runs + static_cast<std::ptrdiff_t>(m_runCount);
    const auto lastText = std::find_if(std::make_reverse_iterator(end), std::make_reverse_iterator(runs),
                                       [](const Run &run) { return !run.kept; });
    Paragraph paragraph{format, markFormat ? std::optional(*markFormat) : std::nullopt, {}, std::exchange(m_listItem, {})};
    if (lastText != std::make_reverse_iterator(runs))
        m_formatBefore = lastText->format;
    else if (markFormat)
        m_formatBefore = *markFormat;
    m_firstParagraph = false;
    m_runCount = 0;
    m_formatIsLastRuns = false;
    m_paragraphOpen = false;
    if (m_depth > 0) {
        paragraph.runs.assign(runs, end);
        m_tables.addParagraph(m_depth, std::move(paragraph));
        return;
    }
    putTables();
    // The runs go straight from where they are kept, which spares copying them.
    insertParagraph(m_cursor, paragraph, {m_runs.data(), static_cast<size_t>(end - runs)},
                    std::exchange(m_fillBlock, false));
}

void DocumentBuilder::insertParagraph(QTextCursor &cursor, const Paragraph &paragraph, Runs runs, bool fill)
{
    if (fill) {
        cursor.setBlockFormat(paragraph.format);
        if (paragraph.mark)
            cursor.setBlockCharFormat(*paragraph.mark);
    } else {
        cursor.insertBlock(paragraph.format, paragraph.mark.value_or(QTextCharFormat()));
    }
    if (paragraph.listItem)
        addToList(cursor, *paragraph.listItem);
    for (const Run *run = runs.first; run != runs.first + runs.count; ++run)
        cursor.insertText(run->text, run->format);
}

// Each level of a list is a list of the document, indented by its level.
void DocumentBuilder::addToList(const QTextCursor &cursor, const ListItem &item)
{
    QTextList *&list = m_lists[item.key];
    if (list) {
        list->add(cursor.block());
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
    if (item.word.number > 0) {
        format.setProperty(kWordListNumberProperty, item.word.number);
        format.setProperty(kWordListIdProperty, item.word.id);
        format.setProperty(kWordListEntryProperty, item.word.list);
        format.setProperty(kWordListOverrideProperty, item.word.override);
        format.setProperty(kWordListFontsProperty, item.word.fonts.families);
        format.setProperty(kWordListFontCodePagesProperty, QVariant::fromValue(item.word.fonts.codePages));
        format.setProperty(kWordListShapeProperty, listShape(listItemOf(format)));
    }
    list = QTextCursor(cursor).createList(format);
}

} // namespace kobin::rtf
