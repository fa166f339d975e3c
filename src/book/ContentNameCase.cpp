#include "ContentNameCase.h"

#include "ItemKinds.h"
#include "ItemTree.h"
#include "WorkingFolder.h"

#include <QFile>
#include <QHash>
#include <QSet>

namespace kobin {

namespace {

// Copies each missing name's variant to the name; sets the variants aside.
int adopt(WorkingFolder &working, const QStringList &wanted)
{
    const std::optional<QStringList> names = working.readableContentFiles();
    if (!names)
        return 0;
    const QSet<QString> present(names->begin(), names->end());
    QHash<QString, QString> byFoldedName;
    for (const QString &name : *names)
        byFoldedName.insert(name.toLower(), name); // names are sorted: the last of equals stays, any will do
    QStringList taken;
    for (const QString &name : wanted) {
        if (present.contains(name))
            continue;
        const QString variant = byFoldedName.value(name.toLower());
        if (!variant.isEmpty() && !taken.contains(variant)
            && QFile::copy(working.readableFile(variant), working.path() + name))
            taken << variant;
    }
    if (!taken.isEmpty())
        working.setAside(taken);
    return static_cast<int>(taken.size());
}

} // namespace

int adoptCaseVariants(WorkingFolder &working, const ItemTree &tree)
{
    QStringList wanted;
    for (int index = 1; index <= tree.count(); ++index) {
        const TreeItem *item = tree.item(index);
        wanted << WorkingFolder::textFileName(item->key());
        if (kindOf(*item) == ItemKind::Homepage)
            wanted << WorkingFolder::urlFileName(item->key());
    }
    return adopt(working, wanted);
}

int adoptCaseVariantsOf(WorkingFolder &working, const QString &contentId)
{
    return adopt(working, {WorkingFolder::textFileName(contentId), contentId + QStringLiteral(".txt"),
                           contentId + QStringLiteral("side.txt")});
}

} // namespace kobin
