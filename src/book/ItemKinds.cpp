#include "ItemKinds.h"

#include "ImageKeys.h"
#include "ItemTree.h"

namespace kobin {

ItemKind kindOf(const TreeItem &item)
{
    const QString &image = item.image();
    if (image == images::Root)
        return ItemKind::Book;
    if (image == images::HtmlFile)
        return ItemKind::Homepage;
    if (image == images::FolderClosed || image == images::FolderOpen)
        return ItemKind::Folder;
    return ItemKind::Text;
}

} // namespace kobin
