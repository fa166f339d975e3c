#include "BookStore.h"

#include "AtomicFile.h"
#include "BookFile.h"
#include "Book.h"
#include "FolderFiles.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "Prompter.h"
#include "TreeString.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

void reportSaveFailure(Prompter &prompter, const QString &path)
{
    prompter.inform(PromptIcon::Exclamation, QStringLiteral("保存できません"),
                    QStringLiteral("「 ") + QDir::toNativeSeparators(path)
                        + QStringLiteral(" 」\n\nを保存できませんでした。"));
}

bool hasOwnBookFolder(const QString &bookName)
{
    return !bookName.isEmpty() && bookName.compare(QLatin1String("temp"), Qt::CaseInsensitive) != 0;
}

namespace {
bool failedToSave(Prompter &prompter, const QString &path)
{
    reportSaveFailure(prompter, path);
    return false;
}
} // namespace

void removeUnfinishedWrites(const BookSession &session)
{
    // A part file that cannot be removed now is written over by the next save.
    if (!session.bookPath.isEmpty())
        QFile::remove(session.bookPath + QLatin1String(PartFileEnding));
    if (!hasOwnBookFolder(session.bookName))
        return;
    QDir bookFolder(session.bookFolder());
    const QStringList parts = bookFolder.entryList({QStringLiteral("*") + QLatin1String(PartFileEnding)},
                                                   QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : parts)
        bookFolder.remove(name);
}

bool saveBook(Book &book, Prompter &prompter)
{
    const BookSession &session = book.session();
    if (!hasOwnBookFolder(session.bookName) || session.bookPath.isEmpty())
        return failedToSave(prompter, session.bookPath.isEmpty() ? session.bookFolder() : session.bookPath);

    const WorkingFolder &working = book.workingFolder();
    // A working folder removed behind the program's back no longer holds the book's
    // notes; saving its emptiness would empty the book folder.
    const std::optional<QStringList> workingFiles = working.readableContentFiles();
    if (!workingFiles)
        return failedToSave(prompter, working.path());

    const QString bookFolder = session.bookFolder();
    if (!QDir().mkpath(bookFolder))
        return failedToSave(prompter, bookFolder);
    removeUnfinishedWrites(session);

    for (const QString &name : *workingFiles) {
        const QString source = working.path() + name;
        if (!haveSameContent(source, bookFolder + name) && !copyFileAtomically(source, bookFolder + name))
            return failedToSave(prompter, bookFolder + name);
    }

    if (!writeBookFile(session.bookPath, treestring::fromTree(book.tree())))
        return failedToSave(prompter, session.bookPath);

    // Only now that the book file no longer names them may the deleted items' files go.
    for (const QString &name : working.deletedFiles()) {
        const QString file = bookFolder + name;
        if (QFileInfo::exists(file) && !QFile::remove(file))
            return failedToSave(prompter, file);
    }
    book.workingFolder().forgetDeletions();
    return true;
}

} // namespace kobin
