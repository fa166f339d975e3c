#include "PlainTextBuilder.h"

namespace kobin::rtf {

void PlainTextBuilder::append(QStringView text)
{
    openParagraph();
    const qsizetype start = m_text.size();
    m_text += text;
    bool lineBreaks = false;
    for (auto ch = m_text.begin() + start; ch != m_text.end(); ++ch) {
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
    m_paragraphPending = true;
}

// A paragraph follows the one ended only when something is put into it.
void PlainTextBuilder::openParagraph()
{
    if (!m_paragraphPending)
        return;
    m_paragraphPending = false;
    m_text += m_lineEnd;
}

} // namespace kobin::rtf
