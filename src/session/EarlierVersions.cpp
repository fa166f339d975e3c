#include "EarlierVersions.h"

#include "Book.h"
#include "BookCommands.h"
#include "CommandRegistry.h"
#include "AtomicFile.h"
#include "FolderFiles.h"
#include "ItemDisplay.h"
#include "Prompter.h"
#include "BookFile.h"
#include "WindowStatus.h"
#include "WorkingFolder.h"

#include <QDir>

namespace kobin {

EarlierVersions::EarlierVersions(Services services) : m_services(services) {}

void EarlierVersions::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::OpenEarlierVersion, [this] { openEarlierVersion(); });
}

QString EarlierVersions::stagingFolder() const
{
    return m_services.book.appPath() + QStringLiteral("version-staging/");
}

void EarlierVersions::openEarlierVersion()
{
    const Book &open = m_services.book;
    const BookVersions book(open.versionsFolder(), open.bookPath(), open.bookFolder());
    const QList<BookVersion> versions =
        open.bookPath().isEmpty() || open.versionsFolder().isEmpty() ? QList<BookVersion>() : book.list();
    if (versions.isEmpty()) {
        m_services.prompter.inform(PromptIcon::Information, QStringLiteral("お知らせ"),
                           QStringLiteral("このブックには以前の版がありません。"));
        return;
    }
    const std::optional<int> chosen = m_services.chooser.choose(versions);
    if (!chosen || *chosen < 0 || *chosen >= versions.size())
        return;

    // The version is rebuilt aside first: one that cannot be rebuilt leaves the open book as it was.
    const QString staging = stagingFolder();
    QDir(staging).removeRecursively();
    const std::optional<QString> treeFile = book.restore(versions[*chosen], staging);
    if (!treeFile) {
        QDir(staging).removeRecursively();
        m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙを開けません"),
                           QStringLiteral("以前の版を読み込めませんでした。"));
        return;
    }
    if (m_services.bookCommands.askSaveChanges() == 1) {
        QDir(staging).removeRecursively();
        return;
    }
    m_services.bookCommands.startNewBook(true);
    const QString working = m_services.book.workingFolder().path();
    bool complete = true;
    for (const QString &name : QDir(staging).entryList(QDir::Files))
        complete = moveFileOver(staging + name, working + name) && complete;
    QDir(staging).removeRecursively();
    {
        const Book::Loading loading(m_services.book);
        ItemTree &tree = m_services.book.tree();
        // It read as a book a moment ago; should it fail now, the new book's tree stays.
        std::ignore = loadBookFile(*treeFile, tree);
        m_services.book.markChanged();
        m_services.display.showBookItem();
        // Shown as an opened book is: every folder open, the book item chosen.
        m_services.status.expandTree();
        tree.select(tree.item(Book::BookItemKey));
        if (const TreeItem *bookItem = tree.item(Book::BookItemKey))
            m_services.status.setStatusText(bookItem->text());
    }
    if (!complete)
        m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                           QStringLiteral("以前の版のメモの一部を読み込めませんでした。"));
}

} // namespace kobin
