#pragma once

#include <QStringList>

namespace kobin {

class BookContent;
class ItemTree;

// What checking a book found, line by line, in Japanese. Problems make the check
// fail; notes (a page found elsewhere, which the program relinks when it shows it)
// do not.
struct BookCheckReport {
    QStringList problems;
    QStringList notes;
};

// Checks a book without changing anything: records that had to be skipped, each
// item's note, url file and page (a url file naming no page the viewer shows, and
// files of the page's files folder leading out of its folder, are left out of
// export and search), content files that belong to no item, conflict copies that
// sync tools left in the book folder, and captions the tree string cannot hold.
BookCheckReport checkBook(const ItemTree &tree, int droppedRecords, const BookContent &content);

} // namespace kobin
