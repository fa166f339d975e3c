#pragma once

#include "ItemKind.h"
#include "SourceId.h"

#include <QString>
#include <functional>
#include <optional>
#include <vector>

namespace kobin {
class ItemTree;
class TreeItem;
class WorkingFolder;
} // namespace kobin

namespace kobin::search {

QString placeName(Place place);

// An item as search sees it, taken from the tree on the thread that owns it.
struct IndexedItem {
    QString key;
    QString caption;
    ItemKind kind = ItemKind::Text;
};

// The book's items in the tree's order (depth first).
std::vector<IndexedItem> indexedItems(const ItemTree &tree);

// Where an item is in the tree, as a result shows it: "ブック ＞ フォルダ ＞ 項目".
QString treePath(const TreeItem &item);

// One thing of the book that search reads: a caption, or a file.
struct Source {
    QString id;    // what the index keeps it under: a SourceId's string form
    QString key;   // the item it belongs to
    Place place = Place::Caption;
    QString page;  // a side text's page base name; a page's path
    QString path;  // the file to read; empty for a caption
    QString text;  // a caption's text
};

// Where the book lives, to find pages named by relative paths.
struct BookLocation {
    QString bookPath; // the book file; empty for a new book
    QString appPath;  // the program folder
};

// The source a content file of the book is, by its name: an item's note or a
// side text of a homepage item; nothing for other files and for files of items
// not in the tree (kindOf gives nothing for them).
std::optional<Source> contentFileSource(const QString &name, const QString &path,
                                        const std::function<std::optional<ItemKind>(const QString &key)> &kindOf);

// Everything search reads of a book: each item's caption, the notes and side
// texts among its content files, and for each homepage item its page and the
// pages in the page's folder that have a side text of the item. A url file's
// path that leads to no page the viewer shows, and pages that lead out of the
// page's folder, are left out (PageFiles). Reads the content folder and the url
// files; never reads a note or a page.
std::vector<Source> bookSources(const std::vector<IndexedItem> &items, const WorkingFolder &folder,
                                const BookLocation &location);

} // namespace kobin::search
