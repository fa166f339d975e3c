#include "CollectionWalk.h"

#include <QSet>
#include <vector>

namespace kobin::import {

bool CollectionWalk::run(const QString &root)
{
    struct Level {
        QStringList ids;
        int next = 0;
    };
    QSet<QString> seen{root};
    std::vector<Level> levels{{childrenOf(root)}};
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next >= level.ids.size()) {
            levels.pop_back();
            if (!levels.empty() && !m_sink.closeFolder())
                return false;
            continue;
        }
        const QString id = level.ids[level.next++];
        if (seen.contains(id)) {
            m_sink.leaveOut(id, QStringLiteral("二度目に出てきたため（フォルダがそれ自身を含むなど）"));
            continue;
        }
        seen.insert(id);
        Entry entry = entryOf(id);
        if (entry.skip)
            continue;
        if (!entry.refusal.isEmpty()) {
            m_sink.leaveOut(entry.item.title.isEmpty() ? id : entry.item.title, entry.refusal);
            continue;
        }
        if (entry.item.kind != ImportItem::Kind::Folder) {
            if (!m_sink.add(entry.item))
                return false;
            continue;
        }
        if (!m_sink.openFolder(entry.item))
            return false;
        levels.push_back({childrenOf(entry.folder)});
    }
    return true;
}

} // namespace kobin::import
