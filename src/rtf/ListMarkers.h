#pragma once

// The markers of list items, as the note shows them and writes them for
// readers that number nothing themselves.
#include "KeptFonts.h"

#include <QString>
#include <QTextListFormat>

namespace kobin::rtf {

// A list of Word's tables, its entries in \listtable and \listoverridetable
// as read, for the writer to write back while the list is as it was read.
struct WordList {
    int number = 0; // its \ls; 0 for none
    int id = 0;     // its \listid
    QByteArray list;
    QByteArray override;
    KeptFonts fonts; // the fonts the entries name
};

// A list paragraph as the reader reads it. Paragraphs of one key are items of
// one list; level 0 is the outermost.
struct ListItem {
    int key = 0;
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int level = 0;
    int start = 1;
    QString prefix;
    QString suffix = QStringLiteral(".");
    WordList word;
};

bool isNumbered(QTextListFormat::Style style);
// What the note shows of a list: its style, level, start and marker text. A
// list's Word entries are written back only while this is as it was read.
QString listShape(const ListItem &item);
// The list item's format as a list of the document gives it.
ListItem listItemOf(const QTextListFormat &format);
// What text alone begins the item with: two spaces a level, its marker and a space.
QString itemLead(const ListItem &item, int number);
// "•", or the number in the list's style with its prefix and suffix ("1.", "iv)").
QString listMarker(const ListItem &item, int number);

} // namespace kobin::rtf
