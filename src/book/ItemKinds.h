#pragma once

#include "ItemKind.h"

namespace kobin {

class TreeItem;

// The kind an item's image key gives: "root" the book item, "fclose" or "fopen"
// a folder, "htmlfile" a homepage item; every other key shows a note, as a text item does.
ItemKind kindOf(const TreeItem &item);

} // namespace kobin
