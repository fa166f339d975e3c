#pragma once

// The lists of a note the RTF writer writes: each list of the document is a
// list of Word's \listtable, numbered in order of first use, and every item
// also carries the {\*\pn} and {\pntext} that older readers show instead.
#include <QByteArray>
#include <QHash>
#include <vector>

class QTextBlock;
class QTextList;

namespace kobin::rtf {

class WriterLists
{
public:
    // The \ls number of a list, 1 and up.
    int numberOf(const QTextList *list);
    static int levelOf(const QTextList *list);
    // A paragraph's {\*\pn} group; bullets are in the font numbered symbolFont.
    // Numbers written where a symbol font is in force name font 0, or they would
    // be read back as symbols.
    static QByteArray numberingGroup(const QTextList *list, int symbolFont, bool inSymbolFont);
    // The marker of the item, for readers that number nothing themselves.
    static QByteArray markerGroup(const QTextBlock &block, int symbolFont, bool inSymbolFont);
    // \listtable and \listoverridetable of every list numbered; empty without lists.
    QByteArray tables() const;

private:
    QHash<const QTextList *, int> m_numbers;
    std::vector<const QTextList *> m_lists;
};

} // namespace kobin::rtf
