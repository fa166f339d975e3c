#pragma once

#include <QString>
#include <vector>

namespace kobin {

class ItemTree;
class TreeItem;

// An item with its depth (0 for a top-level item).
struct OutlineEntry {
    const TreeItem *item;
    int depth;
};

// Every item in the order of the tree string (depth first), without recursion.
std::vector<OutlineEntry> itemsInTreeOrder(const ItemTree &tree);

// The tree in order, one line per item: two spaces per depth level, the caption,
// a tab, the key, a tab, the image key; every line ends in "\n".
QString bookOutline(const ItemTree &tree);

} // namespace kobin
