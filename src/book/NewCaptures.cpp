#include "NewCaptures.h"

#include <QDir>
#include <utility>

namespace kobin {

void NewCaptures::removeAll()
{
    for (const QString &folder : std::exchange(m_folders, {}))
        QDir(folder).removeRecursively();
}

} // namespace kobin
