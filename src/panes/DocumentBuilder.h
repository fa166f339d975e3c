#pragma once

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>

class QTextDocument;

namespace kobin::rtf {

// Fills an empty QTextDocument from the front to the back in runs of text of
// one format, which is what keeps reading large notes fast.
class DocumentBuilder
{
public:
    explicit DocumentBuilder(QTextDocument &document);

    // The format of the text appended from now on.
    void setCharFormat(const QTextCharFormat &format);
    // Characters that would break the document's structure (paragraph and
    // frame markers, the object marker U+FFFC, control characters other than
    // tab) become U+FFFD.
    void append(QStringView text);

    // Ends the current paragraph with the given format. The next paragraph is
    // only made when text follows, so a closing \par adds no empty paragraph.
    void endParagraph(const QTextBlockFormat &format);

    // Writes out the last run; a paragraph left open gets the given format.
    void finish(const QTextBlockFormat &format);

private:
    void openParagraph();
    void flushRun();

    QTextCursor m_cursor;
    QTextCharFormat m_format;
    QString m_run;
    bool m_paragraphPending = false;
};

} // namespace kobin::rtf
