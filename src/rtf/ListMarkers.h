#pragma once

// The markers of list items, as the note shows them and writes them for
// readers that number nothing themselves.
#include <QString>
#include <QTextListFormat>

namespace kobin::rtf {

// A list paragraph as the reader reads it. Paragraphs of one key are items of
// one list; level 0 is the outermost.
struct ListItem {
    int key = 0;
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    int level = 0;
    int start = 1;
    QString prefix;
    QString suffix = QStringLiteral(".");
};

bool isNumbered(QTextListFormat::Style style);
// The list item's format as a list of the document gives it.
ListItem listItemOf(const QTextListFormat &format);
// What text alone begins the item with: two spaces a level, its marker and a space.
QString itemLead(const ListItem &item, int number);
// "•", or the number in the list's style with its prefix and suffix ("1.", "iv)").
QString listMarker(const ListItem &item, int number);

} // namespace kobin::rtf
