#include "BookOrganizer.h"

#include "Book.h"
#include "BookCommands.h"
#include "BookFile.h"
#include "BookStore.h"
#include "FolderFiles.h"
#include "Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace kobin {

namespace {

// Only a plain file name, never a path that could lead out of the program folder;
// "\" counts as a separator everywhere, as it does for book names.
bool isBookFileName(const QString &name)
{
    return name.endsWith(QLatin1String(".iis"), Qt::CaseInsensitive) && !name.contains(u'\\')
           && !QDir::fromNativeSeparators(name).contains(u'/');
}

// The folder goes whole, so that it comes back whole from the trash. Subfolders are
// not the book's: they stay, and the folder with them.
void removeBookFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (info.isSymLink()) {
        removeFile(folder, Removal::ToTrash); // the link only: what it points to lies elsewhere
        return;
    }
    if (!info.isDir())
        return;
    const bool holdsFolders =
        !QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System).isEmpty();
    if (!holdsFolders && moveToTrash(folder))
        return;
    deleteAllFiles(folder, Removal::ToTrash);
    QDir().rmdir(folder);
}

struct Deletion {
    QString entry;
    QString bookName;
    QStringList sharers; // book files not being deleted that use the same book folder
    bool removesFolder = false;
    bool removesOpenBook = false;
};

} // namespace

BookOrganizer::BookOrganizer(const Book &book, BookCommands &commands, Prompter &prompter)
    : m_book(book), m_commands(commands), m_prompter(prompter)
{
}

QStringList BookOrganizer::bookFiles() const
{
    QStringList names = QDir(m_book.appPath())
                            .entryList({QStringLiteral("*.iis")}, QDir::Files | QDir::Hidden,
                                       QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString &name) { return !isBookFileName(name); });
    return names;
}

QStringList BookOrganizer::deleteBooks(const QStringList &entries, const QStringList &ticked)
{
    QStringList chosen;
    for (const QString &entry : entries) {
        if (ticked.contains(entry) && isBookFileName(entry) && !chosen.contains(entry))
            chosen << entry;
    }

    const QStringList onDisk = bookFiles();
    QList<Deletion> deletions;
    for (const QString &entry : chosen) {
        Deletion deletion{entry, bookNameFromPath(entry), {}};
        // A book without a name of its own would take the program folder or the working folder along.
        if (hasOwnBookFolder(deletion.bookName)) {
            for (const QString &other : onDisk) {
                if (!chosen.contains(other) && bookNameFromPath(other) == deletion.bookName)
                    deletion.sharers << other;
            }
            deletion.removesFolder = deletion.sharers.isEmpty();
        }
        // Two missing files would compare equal.
        const QFileInfo file(m_book.appPath() + entry);
        deletion.removesOpenBook = !m_book.bookPath().isEmpty()
                                   && ((deletion.removesFolder && deletion.bookName == m_book.bookName())
                                       || (file.exists() && file == QFileInfo(m_book.bookPath())));
        deletions << deletion;
    }

    const auto openBook = std::find_if(deletions.cbegin(), deletions.cend(),
                                       [](const Deletion &deletion) { return deletion.removesOpenBook; });
    const PromptAnswer answer =
        openBook != deletions.cend()
            ? m_prompter.ask(PromptButtons::OkCancel, PromptIcon::None, QStringLiteral("現在開いているBookの削除"),
                             QStringLiteral("「") + openBook->bookName
                                 + QStringLiteral("」 は現在開いているBOOKですが、\n\n本当に削除してもよろしいですか？"))
            : m_prompter.ask(PromptButtons::OkCancel, PromptIcon::None, QStringLiteral("Bookの削除"),
                             QStringLiteral("本当に削除してもよろしいですか？"));
    if (answer != PromptAnswer::Ok)
        return entries;

    // A file or folder that cannot be removed is passed over; its entry goes all the same.
    QStringList remaining = entries;
    for (const Deletion &deletion : deletions) {
        const QString file = m_book.appPath() + deletion.entry;
        if (!QFileInfo(file).isDir())
            removeFile(file, Removal::ToTrash);
        if (deletion.removesFolder)
            removeBookFolder(m_book.appPath() + deletion.bookName);
        remaining.removeAll(deletion.entry);
    }
    // The open book is gone: nothing is left to save, so no question comes first.
    if (openBook != deletions.cend())
        m_commands.startNewBook(true);

    QStringList told;
    for (const Deletion &deletion : deletions) {
        if (deletion.sharers.isEmpty() || told.contains(deletion.bookName)
            || !QFileInfo(m_book.appPath() + deletion.bookName).isDir())
            continue;
        told << deletion.bookName;
        m_prompter.inform(PromptIcon::Information, QStringLiteral("Bookの整理"),
                          QStringLiteral("「 ") + deletion.bookName + QStringLiteral(" 」のフォルダは ")
                              + deletion.sharers.join(QStringLiteral("、"))
                              + QStringLiteral(" も使っているので残しました。"));
    }
    return remaining;
}

} // namespace kobin
