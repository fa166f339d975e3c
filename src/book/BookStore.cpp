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
#include <QSet>

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

// Copies source to copy, whole or not at all, unless there is no source to keep
// or the copy exists already.
[[nodiscard]] bool keepCopyOnce(const QString &source, const QString &copy)
{
    if (QFileInfo::exists(copy) || !QFileInfo::exists(source))
        return true;
    QFile file(source);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    return file.error() == QFileDevice::NoError && saveFileAtomically(copy, bytes);
}
} // namespace

bool saveBook(const Book &book, Prompter &prompter)
{
    const BookSession &session = book.session();
    if (!hasOwnBookFolder(session.bookName) || session.bookPath.isEmpty())
        return failedToSave(prompter, session.bookPath.isEmpty() ? session.bookFolder() : session.bookPath);

    // A file read with records left out is kept once; an existing copy (older, or the user's own) is never replaced.
    const QString damagedCopy = session.bookPath + QStringLiteral(".bak");
    if (session.bookPath == session.damagedBookFile && !keepCopyOnce(session.bookPath, damagedCopy))
        return failedToSave(prompter, damagedCopy);
    if (!writeBookFile(session.bookPath, treestring::fromTree(book.tree())))
        return failedToSave(prompter, session.bookPath);

    const QString bookFolder = session.bookFolder();
    if (!QDir().mkpath(bookFolder))
        return failedToSave(prompter, bookFolder);

    const QString workingFolder = book.workingFolder().path();
    const QStringList workingFiles = WorkingFolder::contentFiles(workingFolder);
    for (const QString &name : workingFiles) {
        if (!copyFileAtomically(workingFolder + name, bookFolder + name))
            return failedToSave(prompter, bookFolder + name);
    }

    const QSet<QString> kept(workingFiles.begin(), workingFiles.end());
    for (const QString &name : WorkingFolder::contentFiles(bookFolder)) {
        if (!kept.contains(name) && !QFile::remove(bookFolder + name))
            return failedToSave(prompter, bookFolder + name);
    }
    return true;
}

} // namespace kobin
