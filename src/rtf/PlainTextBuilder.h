#pragma once

#include "ReaderSink.h"

#include <QString>
#include <optional>
#include <unordered_map>

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
    // Items begin with their markers, nested ones indented by two spaces a level.
    void listItem(const ListItem &item) override { m_listItem = item; }
    void endParagraph(const QTextBlockFormat &) override;
    void finish(const QTextBlockFormat &) override;

private:
    void openParagraph();
    void putListMarker();

    QString &m_text;
    QString m_lineEnd;
    bool m_paragraphPending = false;
    bool m_paragraphOpen = true; // as in a document, the first paragraph is there from the start
    qsizetype m_paragraphStart = 0;
    std::optional<ListItem> m_listItem; // of the paragraph that ends next
    // By list: its first item gives every item's marker, as in a document.
    struct ListSeen {
        ListItem first;
        int items = 0;
    };
    std::unordered_map<int, ListSeen> m_lists;
};

} // namespace kobin::rtf
