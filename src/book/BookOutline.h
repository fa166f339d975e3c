#pragma once

#include <QString>

namespace kobin {

class ItemTree;

// The tree in order, one line per item: two spaces per depth level, the caption,
// a tab, the key, a tab, the image key; every line ends in "\n".
QString bookOutline(const ItemTree &tree);

} // namespace kobin
