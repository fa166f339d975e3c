#include "BookOutline.h"

#include "ItemTree.h"

namespace kobin {

std::vector<OutlineEntry> itemsInTreeOrder(const ItemTree &tree)
{
    std::vector<OutlineEntry> ordered;
    ordered.reserve(static_cast<size_t>(tree.count()));
    std::vector<OutlineEntry> pending;
    const auto &top = tree.topLevelItems();
    for (auto it = top.rbegin(); it != top.rend(); ++it)
        pending.push_back({*it, 0});
    while (!pending.empty()) {
        const OutlineEntry entry = pending.back();
        pending.pop_back();
        ordered.push_back(entry);
        const auto &children = entry.item->children();
        for (auto it = children.rbegin(); it != children.rend(); ++it)
            pending.push_back({*it, entry.depth + 1});
    }
    return ordered;
}

QString bookOutline(const ItemTree &tree)
{
    QString outline;
    for (const auto &[item, depth] : itemsInTreeOrder(tree))
        outline += QString(depth * 2, u' ') + item->text() + u'\t' + item->key() + u'\t' + item->image() + u'\n';
    return outline;
}

} // namespace kobin
