#include "BookOutline.h"

#include "ItemTree.h"

#include <utility>
#include <vector>

namespace kobin {

QString bookOutline(const ItemTree &tree)
{
    QString outline;
    std::vector<std::pair<const TreeItem *, int>> pending;
    const auto &top = tree.topLevelItems();
    for (auto it = top.rbegin(); it != top.rend(); ++it)
        pending.emplace_back(*it, 0);
    while (!pending.empty()) {
        const auto [item, depth] = pending.back();
        pending.pop_back();
        outline += QString(depth * 2, u' ') + item->text() + u'\t' + item->key() + u'\t' + item->image() + u'\n';
        const auto &children = item->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.emplace_back(*it, depth + 1);
    }
    return outline;
}

} // namespace kobin
