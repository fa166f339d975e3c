#include "DepthOrder.h"

namespace kobin::import {

bool DepthOrder::put(ImportItem &item, int depth)
{
    if (!closeTo(depth))
        return false;
    if (item.kind != ImportItem::Kind::Folder)
        return m_sink.add(item);
    if (!m_sink.openFolder(item))
        return false;
    ++m_open;
    return true;
}

bool DepthOrder::closeTo(int depth)
{
    for (; m_open > depth; --m_open) {
        if (!m_sink.closeFolder())
            return false;
    }
    return true;
}

} // namespace kobin::import
