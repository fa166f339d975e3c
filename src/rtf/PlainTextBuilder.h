#pragma once

#include "ReaderSink.h"

#include <QString>

namespace kobin::rtf {

// Keeps only the text the reader reads: paragraphs and line breaks (U+2028)
// end with lineEnd, the last paragraph has none, and the characters a document
// could not hold are U+FFFD as they are there.
class PlainTextBuilder : public ReaderSink
{
public:
    PlainTextBuilder(QString &text, QStringView lineEnd) : m_text(text), m_lineEnd(lineEnd.toString()) {}

    bool keepsFormats() const override { return false; }
    void setCharFormat(const QTextCharFormat &) override {}
    void append(QStringView text) override;
    // Not text, but a paragraph holding only objects is still a line.
    void appendKept(const KeptObject &) override { openParagraph(); }
    void endParagraph(const QTextBlockFormat &) override;
    void finish(const QTextBlockFormat &) override {}

private:
    void openParagraph();

    QString &m_text;
    QString m_lineEnd;
    bool m_paragraphPending = false;
};

} // namespace kobin::rtf
