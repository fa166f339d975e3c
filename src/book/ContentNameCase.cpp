#include "ContentNameCase.h"

#include "AtomicFile.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "WorkingFolder.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace kobin {

namespace {

// The book's content files whose names hold capitals, by their names in small letters.
QHash<QString, QString> variantsByFoldedName(const WorkingFolder &working)
{
    QHash<QString, QString> variants;
    for (const QString &name : working.readableContentFiles().value_or(QStringList())) {
        if (!name.isLower()) // as it is in small letters: most names of most books
            variants.insert(name.toLower(), name); // names are sorted: the last of equals stays, any will do
    }
    return variants;
}

// Copies each missing name's variant to the name; sets the variants aside.
int adopt(WorkingFolder &working, const QHash<QString, QString> &variants, const QStringList &wanted)
{
    QStringList taken;
    for (const QString &name : wanted) {
        const QString variant = variants.value(name.toLower());
        if (variant.isEmpty() || taken.contains(variant) || QFileInfo::exists(working.readableFile(name)))
            continue;
        // Written as every change is, so that a save can move it into the book folder as it is.
        if (copyFileAtomically(working.readableFile(variant), working.path() + name))
            taken << variant;
    }
    if (!taken.isEmpty())
        working.setAside(taken);
    return static_cast<int>(taken.size());
}

} // namespace

int adoptCaseVariants(WorkingFolder &working, const ItemTree &tree)
{
    // Most books have none: one listing tells, before any name of the tree is made.
    const QHash<QString, QString> variants = variantsByFoldedName(working);
    if (variants.isEmpty())
        return 0;
    QStringList wanted;
    for (int index = 1; index <= tree.count(); ++index) {
        const TreeItem *item = tree.item(index);
        wanted << ContentNames::textFileName(item->key());
        if (kindOf(*item) == ItemKind::Homepage)
            wanted << ContentNames::urlFileName(item->key());
    }
    return adopt(working, variants, wanted);
}

int adoptCaseVariantsOf(WorkingFolder &working, const QString &contentId)
{
    const QHash<QString, QString> variants = variantsByFoldedName(working);
    if (variants.isEmpty())
        return 0;
    return adopt(working, variants,
                 {ContentNames::textFileName(contentId), ContentNames::stackedSplitFileName(contentId),
                  ContentNames::sideSplitFileName(contentId)});
}

} // namespace kobin
