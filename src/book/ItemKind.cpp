#include "ItemKind.h"

#include "ImageKeys.h"
#include "ItemTree.h"

namespace kobin {

ItemKind kindOf(const TreeItem &item)
{
    const QString &image = item.image();
    if (image == images::Root)
        return ItemKind::Book;
    if (image == images::FolderClosed || image == images::FolderOpen)
        return ItemKind::Folder;
    if (image == images::HtmlFile)
        return ItemKind::Homepage;
    return ItemKind::Text;
}

} // namespace kobin
