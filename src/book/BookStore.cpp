#include "BookStore.h"

#include "BookFile.h"
#include "BookSession.h"
#include "ContentFiles.h"
#include "ImageKeys.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "Prompter.h"
#include "TreeString.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace kobin {

namespace {

bool reportSaveFailure(Prompter &prompter, const QString &path)
{
    prompter.inform(PromptIcon::Exclamation, QStringLiteral("保存できません"),
                    QStringLiteral("「 ") + QDir::toNativeSeparators(path)
                        + QStringLiteral(" 」\n\nを保存できませんでした。"));
    return false;
}

bool hasOwnBookFolder(const QString &bookName)
{
    return !bookName.isEmpty() && bookName.compare(QLatin1String("temp"), Qt::CaseInsensitive) != 0;
}

} // namespace

bool saveBook(const BookSession &session, const ItemTree &tree, Prompter &prompter)
{
    if (!hasOwnBookFolder(session.bookName) || session.bookPath.isEmpty())
        return reportSaveFailure(prompter, session.bookPath.isEmpty() ? session.bookFolder() : session.bookPath);

    if (!writeBookFile(session.bookPath, treestring::fromTree(tree)))
        return reportSaveFailure(prompter, session.bookPath);

    const QString bookFolder = session.bookFolder();
    if (!QDir().mkpath(bookFolder))
        return reportSaveFailure(prompter, bookFolder);

    const QString workingFolder = session.workingFolder();
    const QStringList workingFiles = contentFileNames(workingFolder);
    for (const QString &name : workingFiles) {
        if (!copyFileAtomically(workingFolder + name, bookFolder + name))
            return reportSaveFailure(prompter, bookFolder + name);
    }

    const QSet<QString> kept(workingFiles.begin(), workingFiles.end());
    for (const QString &name : contentFileNames(bookFolder)) {
        if (!kept.contains(name) && !QFile::remove(bookFolder + name))
            return reportSaveFailure(prompter, bookFolder + name);
    }
    return true;
}

bool emptyWorkingFolder(const BookSession &session)
{
    return deleteAllFiles(session.workingFolder());
}

bool loadBookIntoWorkingFolder(const BookSession &session)
{
    const QString workingFolder = session.workingFolder();
    if (!QDir().mkpath(workingFolder))
        return false;
    const QString bookFolder = session.bookFolder();
    const QStringList names = hasOwnBookFolder(session.bookName) ? contentFileNames(bookFolder) : QStringList();
    bool loaded = true;
    for (const QString &name : names) {
        if (!copyFileOver(bookFolder + name, workingFolder + name)) {
            QFile::remove(workingFolder + name);
            loaded = false;
        }
    }
    const QSet<QString> kept(names.begin(), names.end());
    QDir working(workingFolder);
    for (const QString &name : working.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!kept.contains(name))
            loaded = working.remove(name) && loaded;
    }
    return loaded;
}

bool storeCurrentItem(const BookSession &session, const ItemTree &tree, TextPaneFiles &pane,
                      float htmlSplitterTop, float sideSplitterLeft)
{
    const TreeItem *item = tree.item(session.currentKey);
    if (!item)
        return false;
    const bool homepage = item->image() == images::HtmlFile;
    const QString contentId = homepage ? session.pageTextName : session.currentKey;
    if (contentId.isEmpty())
        return false; // a homepage item whose page text was never named has nothing to store
    const QString base = session.workingFolder() + contentId;
    bool stored = pane.saveRichText(base + QStringLiteral(".rtf"));
    if (homepage) {
        stored = writeNumberFile(base + QStringLiteral(".txt"), htmlSplitterTop) && stored;
        stored = writeNumberFile(base + QStringLiteral("side.txt"), sideSplitterLeft) && stored;
    }
    return stored;
}

} // namespace kobin
