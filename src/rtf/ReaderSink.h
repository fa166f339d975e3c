#pragma once

#include <QStringView>

#include "KeptObjects.h"
#include "ListMarkers.h"
#include "TableRows.h"

class QTextBlockFormat;
class QTextCharFormat;

namespace kobin::rtf {

// Where the RTF reader puts what it reads, from the front to the back.
class ReaderSink
{
public:
    virtual ~ReaderSink() = default;

    // False for a sink that keeps only the text: the reader then makes no formats.
    virtual bool keepsFormats() const = 0;
    // The format of the text appended from now on.
    virtual void setCharFormat(const QTextCharFormat &format) = 0;
    virtual void append(QStringView text) = 0;
    // A picture, object or hidden text, which is not text.
    virtual void appendKept(const KeptObject &object) = 0;
    // Ends the current paragraph, which has the given format and whose
    // paragraph mark has the format last set. The next paragraph is only made
    // when text follows, so a closing \par adds no empty paragraph.
    virtual void endParagraph(const QTextBlockFormat &format) = 0;
    // The paragraph ended next is an item of a list.
    virtual void listItem(const ListItem &) {}
    // The paragraph ended next is in a cell of a table this deep (1 and up), or in none (0).
    virtual void paragraphDepth(int) {}
    // Ends the paragraph that ends a cell of a table depth deep; the paragraphs
    // ended since the cell before are the cell's.
    virtual void endCell(const QTextBlockFormat &format, int depth) = 0;
    // Ends a row of a table depth deep: the cells ended since the row before, as defined.
    virtual void endRow(const RowDefinition &, int) {}
    // The end of the document; a paragraph left open gets the given format.
    virtual void finish(const QTextBlockFormat &format) = 0;
};

// Characters that would break a document's structure (paragraph and frame
// markers) or that QTextDocument cannot show; tab is kept. U+FFFC marks an
// object there: the HTML of a run holding it, and so what copying puts on the
// clipboard, leaves the whole run out. U+2028 stays: it is \line. Every sink
// shows them as U+FFFD, so that a note's text is the same however it is read.
constexpr bool isStructural(char16_t ch)
{
    return (ch < 0x20 && ch != u'\t') || ch == 0x2029 || ch == 0xFDD0 || ch == 0xFDD1 || ch == 0xFEFF
        || ch == 0xFFFC;
}

} // namespace kobin::rtf
