#include "BookCommands.h"

#include "Book.h"
#include "BookPrompts.h"
#include "BookFile.h"
#include "BookStore.h"
#include "ContentNameCase.h"
#include "CommandRegistry.h"
#include "FileDialogs.h"
#include "ItemDisplay.h"
#include "ItemKinds.h"
#include "Prompter.h"
#include "WindowStatus.h"

#include <QDir>
#include <QFileInfo>
#include <tuple>
#include <utility>

namespace kobin {

namespace {

FileDialogRequest bookDialog(const QString &title, const QString &appPath)
{
    FileDialogRequest request;
    request.title = title;
    request.filter = QStringLiteral("Kobinファイル (*.iis);;すべてのファイル (*.*)");
    request.defaultSuffix = QStringLiteral("iis");
    request.initialFolder = appPath;
    return request;
}

} // namespace

BookCommands::BookCommands(Services services) : m_services(std::move(services)) {}

void BookCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::FileNew, [this] { newBook(); });
    commands.bind(Command::FileOpen, [this] { openBook(); });
    commands.bind(Command::FileSave, [this] { save(); });
    commands.bind(Command::FileSaveAs, [this] { saveAs(); });
}

void BookCommands::textChanged()
{
    // Text that belongs to no item is never saved: the mark would promise what a save cannot keep.
    if (!m_services.book.isLoading() && m_services.book.tree().item(m_services.book.shown().key()))
        m_services.book.markChanged();
}

bool BookCommands::storeAndSave()
{
    return m_services.display.storeCurrentItem() && saveBook(m_services.book, m_services.prompter);
}

int BookCommands::askSaveChanges()
{
    m_services.display.leavePageSourceEditing();
    if (m_services.book.isChanged()) {
        const QString &bookName = m_services.book.bookName();
        const QString name = bookName.isEmpty() ? Book::NewBookName : bookName;
        const PromptAnswer answer =
            m_services.prompter.ask(PromptButtons::YesNoCancel, PromptIcon::Question, QStringLiteral("お知らせ"),
                            QStringLiteral("「 ") + name + QStringLiteral(".iis 」 の内容は変更されています。\n\n保存しますか？"));
        if (answer == PromptAnswer::Cancel)
            return 1;
        if (answer == PromptAnswer::No)
            return 0;
        if (m_services.book.bookPath().isEmpty() && saveAsDialog() == 1)
            return 1;
        // A save that failed has been reported; going on would lose the changes.
        return storeAndSave() ? 0 : 1;
    }
    const TreeItem *shown = m_services.book.tree().item(m_services.book.shown().key());
    if (shown && kindOf(*shown) == ItemKind::Homepage && !m_services.book.bookPath().isEmpty()
        && !m_services.display.storeSplitters(m_services.book.bookFolder()))
        return 1;
    return 0;
}

bool BookCommands::mayShareBookFolder(const QString &path)
{
    // Book folders live in the program folder by book name: another book of that
    // name there already reads and writes the notes this one would use.
    const QString name = bookNameFromPath(path);
    const QFileInfo owner(m_services.book.appPath() + name + QStringLiteral(".iis"));
    if (!owner.isFile() || owner.canonicalFilePath() == QFileInfo(path).canonicalFilePath())
        return true;
    return m_services.prompter.ask(PromptButtons::YesNo, PromptIcon::Exclamation, QStringLiteral("注意"),
                           QStringLiteral("同じ名前のブック「") + name
                               + QStringLiteral("」のフォルダを使います。\n\n「 ")
                               + QDir::toNativeSeparators(owner.absoluteFilePath())
                               + QStringLiteral(" 」とメモを共有するため、一方を保存するともう一方のメモも変わります。\n\n開きますか？"))
        == PromptAnswer::Yes;
}

bool BookCommands::readIntoBook(const QString &path)
{
    if (!mayShareBookFolder(path))
        return false;
    // Stamped before it is read: a change while it is read is taken for one made after.
    const FileStamp asRead = FileStamp::of(path);
    // Read first: a book that cannot be read leaves the open book as it was.
    const std::optional<int> recordsLeftOut = readBookFile(path, m_services.book.tree(), m_services.prompter);
    if (!recordsLeftOut)
        return false;
    m_services.book.setBookFile(path, bookNameFromPath(path));
    m_services.book.setDamagedBookFile(*recordsLeftOut > 0 ? path : QString());
    m_recordsLeftOut = *recordsLeftOut;
    m_services.book.setOpened(path);
    m_services.book.setBookFileStamp(asRead);
    return true;
}

void BookCommands::reportRecordsLeftOut()
{
    const int recordsLeftOut = std::exchange(m_recordsLeftOut, 0);
    if (recordsLeftOut == 0)
        return;
    m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                       QStringLiteral("「 ") + m_services.book.bookPath() + QStringLiteral(" 」\n\nの中に読めない項目が ")
                           + QString::number(recordsLeftOut)
                           + QStringLiteral(" 個ありました。読めた項目だけを開きます。"));
}

int BookCommands::openBookDialog()
{
    FileDialogRequest request = bookDialog(QStringLiteral("ファイルを開く"), m_services.book.appPath());
    const auto chosen = m_services.dialogs.openFile(request);
    if (!chosen)
        return 1;
    return readIntoBook(*chosen) ? 0 : 1;
}

int BookCommands::saveAsDialog()
{
    FileDialogRequest request = bookDialog(QStringLiteral("名前を付けて保存"), m_services.book.appPath());
    request.proposedName = QStringLiteral("新規ファイル.iis");
    bool extensionChecked = false;
    for (;;) {
        const auto chosen = m_services.dialogs.saveFile(request);
        if (!chosen)
            return 1;
        if (!extensionChecked && !chosen->endsWith(QLatin1String(".iis"))) {
            extensionChecked = true; // the second choice is taken whatever its extension
            m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                               QStringLiteral("間違ったファイルを選択しています。"));
            continue;
        }
        extensionChecked = true;
        // Everything in the working folder is deleted when the book is closed.
        if (m_services.book.workingFolder().contains(*chosen)) {
            m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                               QStringLiteral("作業用フォルダには保存できません。"));
            continue;
        }
        const QString name = bookNameFromPath(*chosen);
        if (!hasOwnBookFolder(name)) {
            m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                               QStringLiteral("この名前では保存できません。"));
            continue;
        }
        const QString folder = m_services.book.appPath() + name;
        if (name != m_services.book.bookName() && QFileInfo(folder).isDir()
            && m_services.prompter.ask(PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("注意"),
                               QStringLiteral("「 ") + name
                                   + QStringLiteral(" 」のフォルダはすでにあります。\n\n上書きしますか？"))
                == PromptAnswer::No)
            continue;
        m_services.book.setBookFile(*chosen, name);
        QDir().mkpath(folder);
        return 0;
    }
}

void BookCommands::startNewBook(bool changed)
{
    // As before New's question: a page source being edited is not left behind in a hidden pane.
    m_services.display.leavePageSourceEditing();
    // Nothing of another book may stay behind to be saved as this one's.
    if (!m_services.book.workingFolder().clear())
        m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                           QStringLiteral("「 ") + QDir::toNativeSeparators(m_services.book.workingFolder().path())
                               + QStringLiteral(" 」\n\nの中のファイルを削除できませんでした。"));
    {
        const Book::Loading loading(m_services.book);
        m_services.book.startNew(changed);
    }
    m_services.display.showBookItem();
}

bool BookCommands::loadWorkingFolder()
{
    Book &book = m_services.book;
    removeUnfinishedWrites(book);
    if (book.workingFolder().startFrom(hasOwnBookFolder(book.bookName()) ? book.bookFolder() : QString())) {
        adoptCaseVariants(book.workingFolder(), book.tree());
        return true;
    }
    // An item whose note is missing here shows an empty note, which the next save
    // would write over the one in the book folder.
    m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙを開けません"),
                       QStringLiteral("「 ") + QDir::toNativeSeparators(book.bookFolder())
                           + QStringLiteral(" 」\n\nを開けません。"));
    startNewBook(false);
    return false;
}

bool BookCommands::showOpenedBook()
{
    if (!loadWorkingFolder())
        return false;
    m_services.display.showBookItem();
    m_services.status.expandTree();
    ItemTree &tree = m_services.book.tree();
    tree.select(tree.item(1));
    reportRecordsLeftOut();
    return true;
}

void BookCommands::openAtStart(const QString &path, const QString &name)
{
    const QFileInfo file(path);
    bool opened = false;
    if (file.exists() && !file.isDir()) {
        opened = readIntoBook(path);
        m_services.book.setBookFile(m_services.book.bookPath(), name);
    } else {
        m_services.prompter.inform(PromptIcon::Exclamation, kNotFoundTitle, path + QStringLiteral("\n が見つかりません。"));
    }
    // A book that could not be read opens as a new book too, never as an empty tree.
    if (!opened)
        startNewBook(false);
    else if (loadWorkingFolder())
        m_services.display.showBookItem();
    else
        opened = false; // reported; a new book stands in its place
    ItemTree &tree = m_services.book.tree();
    tree.select(tree.item(Book::BookItemKey));
    m_services.status.expandTree();
    if (const TreeItem *book = tree.item(Book::BookItemKey))
        m_services.status.setStatusText(book->text());
    if (opened)
        reportRecordsLeftOut();
}

void BookCommands::newBook()
{
    if (askSaveChanges() == 1)
        return;
    startNewBook(true);
}

void BookCommands::openBook()
{
    if (askSaveChanges() == 1 || openBookDialog() == 1)
        return;
    if (showOpenedBook())
        m_services.addRecentFile(m_services.book.bookPath());
}

void BookCommands::openRecentBook(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_services.prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                           path + QStringLiteral("\n が見つかりません。\n\nもう一度確認してから実行して下さい。"));
        return;
    }
    if (askSaveChanges() == 1 || !readIntoBook(path))
        return;
    std::ignore = showOpenedBook(); // a book that did not open has been reported
}

bool BookCommands::saveWithStatus()
{
    if (m_services.book.tree().count() == 0) {
        // Nothing could be written back: the changed mark stays as it is.
        m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("保存できません"),
                           QStringLiteral("項目が一つもないブックは保存できません。"));
        return false;
    }
    const QString statusBefore = m_services.status.statusText();
    m_services.status.setStatusText(QStringLiteral("保存中..."));
    m_services.status.showStatusNow();
    const bool saved = saveBook(m_services.book, m_services.prompter);
    m_services.status.setStatusText(statusBefore);
    if (!saved)
        return false; // reported; the book stays changed
    m_services.addRecentFile(m_services.book.bookPath());
    m_services.book.setSaved();
    return true;
}

void BookCommands::save()
{
    if (m_services.book.bookPath().isEmpty()) {
        saveAs();
        return;
    }
    if (m_services.display.storeCurrentItem())
        saveWithStatus();
}

void BookCommands::saveAs()
{
    if (!m_services.display.storeCurrentItem() || saveAsDialog() == 1)
        return;
    saveWithStatus();
}

void BookCommands::bookFileTouched()
{
    // As Open would read it; an unchanged book is not asked about.
    if (m_reloadOffer.wanted())
        openRecentBook(m_services.book.bookPath());
}

bool BookCommands::closeRequest()
{
    if (askSaveChanges() == 1)
        return false;
    // What cannot be deleted now is deleted at the next start, before any book is copied in.
    std::ignore = m_services.book.workingFolder().clear();
    return true;
}

} // namespace kobin
