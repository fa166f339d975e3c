#pragma once

#include "ReaderSink.h"
#include "TableCollector.h"

#include <QString>
#include <optional>
#include <unordered_map>

namespace kobin::rtf {

// Keeps only the text the reader reads: paragraphs and line breaks (U+2028)
// end with lineEnd, the last paragraph has none, and the characters a document
// could not hold are U+FFFD as they are there. A table's rows are lines, each
// cell ending with a tab, as plainText() gives a document's tables.
class PlainTextBuilder : public ReaderSink
{
public:
    PlainTextBuilder(QString &text, QStringView lineEnd) : m_text(text), m_lineEnd(lineEnd.toString()) {}

    bool keepsFormats() const override { return false; }
    void setCharFormat(const QTextCharFormat &) override {}
    void append(QStringView text) override;
    // Not text, but a paragraph holding only objects is still a line.
    void appendKept(const KeptObject &) override;
    // Items begin with their markers, nested ones indented by two spaces a level.
    void listItem(const ListItem &item) override { m_listItem = item; }
    void paragraphDepth(int depth) override { m_depth = depth; }
    void endParagraph(const QTextBlockFormat &) override;
    void endCell(const QTextBlockFormat &, int depth) override;
    void endRow(const RowDefinition &row, int depth) override;
    void finish(const QTextBlockFormat &) override;

private:
    using Tables = TableCollector<QString>;

    void openParagraph();
    void putListMarker();
    void moveParagraphIntoCell();
    qsizetype putTables();
    QString tableText(const Tables::Table &table) const;
    QString cellText(const Tables::Cell &cell) const;

    QString &m_text;
    QString m_lineEnd;
    bool m_paragraphPending = false;
    bool m_paragraphOpen = true; // as in a document, the first paragraph is there from the start
    bool m_lineEndBefore = false; // the open paragraph began with lineEnd
    bool m_content = false;       // anything put since the last paragraph ended
    bool m_emptyAfterTable = false; // the paragraph ended last is empty and follows a table
    qsizetype m_paragraphStart = 0;
    int m_depth = 0;
    std::optional<ListItem> m_listItem; // of the paragraph that ends next
    // By list: its first item gives every item's marker, as in a document.
    struct ListSeen {
        ListItem first;
        int items = 0;
    };
    std::unordered_map<int, ListSeen> m_lists;
    Tables m_tables;
};

} // namespace kobin::rtf
