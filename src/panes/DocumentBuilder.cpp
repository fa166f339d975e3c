#include "DocumentBuilder.h"

#include <QTextDocument>

namespace kobin::rtf {
namespace {

// Characters that would break the document's own structure (paragraph and
// frame markers) or that QTextDocument cannot show; tab is kept. U+FFFC marks
// an object there: the HTML of a run holding it, and so what copying puts on
// the clipboard, leaves the whole run out. U+2028 stays: it is \line.
bool isStructural(char16_t ch)
{
    return (ch < 0x20 && ch != u'\t') || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1
        || ch == 0xFEFF || ch == QChar::ObjectReplacementCharacter;
}

} // namespace

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
    flushRun();
    m_format = format;
}

void DocumentBuilder::append(QStringView text)
{
    openParagraph();
    m_run += text;
}

void DocumentBuilder::endParagraph(const QTextBlockFormat &format)
{
    openParagraph();
    flushRun();
    m_cursor.setBlockFormat(format);
    m_cursor.setBlockCharFormat(m_format);
    m_paragraphPending = true;
}

void DocumentBuilder::finish(const QTextBlockFormat &format)
{
    flushRun();
    if (!m_paragraphPending)
        m_cursor.setBlockFormat(format);
    m_cursor.endEditBlock();
}

void DocumentBuilder::openParagraph()
{
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    m_cursor.insertBlock();
}

void DocumentBuilder::flushRun()
{
    if (m_run.isEmpty())
        return;
    for (QChar &ch : m_run) {
        if (isStructural(ch.unicode()))
            ch = QChar(0xFFFD);
    }
    m_cursor.insertText(m_run, m_format);
    m_run.clear();
}

} // namespace kobin::rtf
