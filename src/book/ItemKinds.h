#pragma once

#include "ItemKind.h"

namespace kobin {

class TreeItem;

// The kind an item's image key gives it: "root" the book item, "fclose" or
// "fopen" a folder, "htmlfile" a homepage item. Every other image counts as a
// text item, because the program treats any such item as a note of its own
// (key + ".rtf"), as it treats text items; a tree string may give an item any
// image of the image list.
ItemKind kindOf(const TreeItem &item);

} // namespace kobin
