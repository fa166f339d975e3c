#include "BookStore.h"

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

    if (!writeBookFile(session.bookPath, treestring::fromTree(book.tree())))
        return failedToSave(prompter, session.bookPath);

    const QString bookFolder = session.bookFolder();
    if (!QDir().mkpath(bookFolder))
        return failedToSave(prompter, bookFolder);

    for (const QString &name : *workingFiles) {
        if (!copyFileAtomically(working.path() + name, bookFolder + name))
            return failedToSave(prompter, bookFolder + name);
    }

    for (const QString &name : working.deletedFiles()) {
        const QString file = bookFolder + name;
        if (QFileInfo::exists(file) && !QFile::remove(file))
            return failedToSave(prompter, file);
    }
    book.workingFolder().forgetDeletions();
    return true;
}

} // namespace kobin
