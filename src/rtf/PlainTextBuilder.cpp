#include "PlainTextBuilder.h"

namespace kobin::rtf {

void PlainTextBuilder::append(QStringView text)
{
    openParagraph();
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

void PlainTextBuilder::endParagraph(const QTextBlockFormat &)
{
    openParagraph();
    putListMarker();
    m_paragraphPending = true;
    m_paragraphOpen = false;
}

void PlainTextBuilder::finish(const QTextBlockFormat &)
{
    if (m_paragraphOpen)
        putListMarker();
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
    m_paragraphOpen = true;
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    m_text += m_lineEnd;
    m_paragraphStart = m_text.size();
}

} // namespace kobin::rtf
