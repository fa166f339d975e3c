#pragma once

#include "ReaderSink.h"
#include "TableCollector.h"

#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <optional>
#include <unordered_map>
#include <vector>

class QTextDocument;
class QTextList;
class QTextTable;

namespace kobin::rtf {

// Fills an empty QTextDocument from the front to the back. A paragraph is held
// until its end, where its format is known, and then goes in whole: one new
// block with its format and its mark's format, then one piece of text for each
// run of one format, which is what keeps reading large notes fast. A table's
// paragraphs are held until the table ends, and it goes in whole too.
class DocumentBuilder : public ReaderSink
{
public:
    explicit DocumentBuilder(QTextDocument &document);

    bool keepsFormats() const override { return true; }
    void setCharFormat(const QTextCharFormat &format) override;
    // Characters that would break the document's structure become U+FFFD.
    void append(QStringView text) override;
    // One object character, of a format of its own.
    void appendKept(const KeptObject &object) override;
    void listItem(const ListItem &item) override { m_listItem = item; }
    void paragraphDepth(int depth) override { m_depth = depth; }
    void endParagraph(const QTextBlockFormat &format) override;
    void endCell(const QTextBlockFormat &format, int depth) override;
    void endRow(const RowDefinition &row, int depth) override;
    void finish(const QTextBlockFormat &format) override;

    struct Run {
        QTextCharFormat format;
        QString text;
        bool kept = false;
    };
    struct Paragraph {
        QTextBlockFormat format;
        std::optional<QTextCharFormat> mark; // none: the document's first keeps its own
        std::vector<Run> runs;
        std::optional<ListItem> listItem;
    };
    using Tables = TableCollector<Paragraph>;
    struct Runs {
        const Run *first;
        size_t count;
    };

private:
    void writeParagraph(const QTextBlockFormat &format, const QTextCharFormat *markFormat);
    void openRun();
    void putTables();
    // Puts the paragraph at the cursor: into its block when fill, else into a new one.
    void insertParagraph(QTextCursor &cursor, const Paragraph &paragraph, Runs runs, bool fill);
    void insertTable(QTextCursor &cursor, const Tables::Table &table);
    void insertItems(QTextCursor &cursor, const std::vector<Tables::Item> &items);
    static void mergeCells(QTextTable &qtable, const Tables::Table &table);
    void addToList(const QTextCursor &cursor, const ListItem &item);

    QTextCursor m_cursor;
    QTextCharFormat m_format;
    // The open paragraph, its first m_runCount runs; adjacent runs of equal
    // formats are one run. Runs past them are kept for their strings' room.
    std::vector<Run> m_runs;
    size_t m_runCount = 0;
    bool m_formatIsLastRuns = false;
    bool m_paragraphOpen = true;
    bool m_firstParagraph = true;
    bool m_fillBlock = true; // the cursor's block is empty and no paragraph's yet: the first, or the one after a table
    int m_depth = 0; // of the paragraph that ends next
    Tables m_tables;
    // What a paragraph left open at the end takes for its mark: the format at
    // the end of the paragraph before, as the editor gives a new paragraph.
    QTextCharFormat m_formatBefore;
    std::optional<ListItem> m_listItem; // of the paragraph that ends next
    std::unordered_map<int, QTextList *> m_lists;
};

} // namespace kobin::rtf
