#pragma once

// The lists of a note the RTF writer writes: each list of the document is a
// list of Word's \listtable, numbered in order of first use, and every item
// also carries the {\*\pn} and {\pntext} that older readers show instead.
// A list read from Word's tables and shown as it was read is written back with
// its entries as read, under its own numbers; the others take numbers above them.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <map>
#include <vector>

class QTextBlock;
class QTextFormat;
class QTextList;

namespace kobin::rtf {

class FontTable;

class WriterLists
{
public:
    explicit WriterLists(const QList<QTextFormat> &formats);

    // The \ls number of a list, 1 and up.
    int numberOf(const QTextList *list);
    static int levelOf(const QTextList *list);
    // A paragraph's {\*\pn} group; bullets are in the font numbered symbolFont.
    // Numbers written where a symbol font is in force name font 0, or they would
    // be read back as symbols.
    static QByteArray numberingGroup(const QTextList *list, int symbolFont, bool inSymbolFont);
    // The marker of the item, for readers that number nothing themselves.
    static QByteArray markerGroup(const QTextBlock &block, int symbolFont, bool inSymbolFont);
    // \listtable and \listoverridetable of every list numbered; empty without
    // lists. Fonts the entries kept name are added to fonts.
    QByteArray tables(FontTable &fonts) const;

private:
    QHash<const QTextList *, int> m_numbers;
    std::vector<const QTextList *> m_lists; // numbered by the writer
    // By their \ls, with their entries as read; written in that order, before the
    // lists the writer numbers, so a note read back and written again gives the same tables.
    std::map<int, const QTextList *> m_keptLists;
    int m_firstNumber = 1; // of the lists the writer numbers, and their \listid above firstId
    qint64 m_firstId = 1;
};

} // namespace kobin::rtf
