#pragma once

#include <QString>
#include <QStringView>
#include <functional>
#include <vector>

namespace kobin {

class ItemTree;
class TreeItem;

// The one-line text form of a book's tree: "|" and then, in depth-first order,
// one record per item: parent key "\" caption "=" key "+" image key "|".
namespace treestring {

// Longest caption a user can give an item. A book file's captions are read
// whole whatever their length, so that a book reads back as it was written.
constexpr int kMaxCaptionLength = 1024;

// A caption as it can be stored: the four characters that delimit the fields
// ("|", "\", "=", "+") become their full-width forms.
QString storableCaption(QStringView caption);

// Appends the records of every descendant of item, in pre-order.
void appendChildRecords(const TreeItem *item, QString &treeString);

// Appends the item's own record ("0" as the parent key at the top level) and its descendants'.
void appendItemRecords(const TreeItem *item, QString &treeString);

// Gives an item read from a record the selected and expanded images its image
// implies: "SelectedRichtxt", "SelectedHtmlfile", "fopen" for a folder (both).
void deriveImages(ItemTree &tree, TreeItem *item);

// The whole tree: each top-level item's record ("0" as its parent key) followed
// by its descendants' records.
QString fromTree(const ItemTree &tree);

// Gives take the records fromTree strings together after its leading "|", a few
// whole records at a time, so that a large book's string is never held whole;
// stops at the first records take refuses, and then gives false.
bool forEachRecord(const ItemTree &tree, const std::function<bool(QStringView records)> &take);

// What reading a tree string gave: the records that became items, and those
// that could not be added and were left out.
struct RecordCounts {
    int added = 0;
    int dropped = 0;
};

// Deeper than any real book: the tree's views lay items out level by level.
constexpr int kDeepestLevel = 1000;

// A tree string cut into its records once, for the checks made before a book is
// read and the reading itself: a large book's string is gone through only once.
// Holds views into the string, which must outlive it.
class Records
{
public:
    // A record's fields: parent key, caption, key and image key.
    struct Fields {
        QStringView parent, caption, key, image;
    };

    explicit Records(QStringView treeString);

    // Whether reading them into an empty tree would add any item: a string that
    // gives none holds no book, whatever else it holds.
    bool givesAnItem() const;
    // The level of the deepest item reading them would add (1 for the top level);
    // it stops counting past limit.
    int deepestLevel(int limit = kDeepestLevel) const;

private:
    friend RecordCounts buildTree(ItemTree &tree, const Records &records);

    std::vector<Fields> m_namingItems; // the records whose fields can name an item, in order
    int m_parts = 0; // what a reader of the file would take for records
};

// Adds one item for every record of the tree string, skipping the records whose
// item cannot be added (unknown parent, key used or invalid, unknown image, a
// record cut off or running into another one). Never removes items. Line breaks
// after the last record are ignored; other text there is a record cut off.
RecordCounts buildTree(ItemTree &tree, const Records &records);
RecordCounts buildTree(ItemTree &tree, QStringView treeString);

int deepestLevel(QStringView treeString, int limit = kDeepestLevel);
bool givesAnItem(QStringView treeString);

} // namespace treestring
} // namespace kobin
