#include "BookCommands.h"

#include "BookFile.h"
#include "BookSession.h"
#include "BookStore.h"
#include "BookView.h"
#include "FileDialogs.h"
#include "ImageKeys.h"
#include "ItemDisplay.h"
#include "ItemTree.h"
#include "Prompter.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

namespace {

const QString kChangedMark = QStringLiteral(" （更新）");
const QString kNewBookName = QStringLiteral("新規ブック");

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

BookCommands::BookCommands(Services services) : m_(std::move(services)) {}

void BookCommands::markChanged()
{
    if (m_.session.changed)
        return;
    m_.session.changed = true;
    m_.view.setCaption(m_.view.caption() + kChangedMark);
}

void BookCommands::textChanged()
{
    if (!m_.session.loading)
        markChanged();
}

bool BookCommands::storeShownItem()
{
    return storeCurrentItem(m_.session, m_.tree, m_.pane, m_.view.stackedSplit(), m_.view.sideSplit(), m_.prompter);
}

bool BookCommands::storeAndSave()
{
    return storeShownItem() && saveBook(m_.session, m_.tree, m_.prompter);
}

int BookCommands::askSaveChanges()
{
    if (m_.view.isPageSourceEditing())
        m_.view.leavePageSourceEditing();
    if (m_.session.changed) {
        const QString name = m_.session.bookName.isEmpty() ? kNewBookName : m_.session.bookName;
        const PromptAnswer answer =
            m_.prompter.ask(PromptButtons::YesNoCancel, PromptIcon::Question, QStringLiteral("お知らせ"),
                            QStringLiteral("「 ") + name + QStringLiteral(".iis 」 の内容は変更されています。\n\n保存しますか？"));
        if (answer == PromptAnswer::Cancel)
            return 1;
        if (answer == PromptAnswer::No)
            return 0;
        if (m_.session.bookPath.isEmpty() && saveAsDialog() == 1)
            return 1;
        // A save that failed has been reported; going on would lose the changes.
        return storeAndSave() ? 0 : 1;
    }
    const TreeItem *shown = m_.tree.item(m_.session.currentKey);
    if (shown && shown->image() == images::HtmlFile && !m_.session.bookPath.isEmpty())
        m_.display.storeSplitters(m_.session.bookFolder());
    return 0;
}

bool BookCommands::readIntoBook(const QString &path)
{
    // Read first: a book that cannot be read leaves the open book as it was.
    if (!readBookFile(path, m_.tree, m_.session, m_.prompter))
        return false;
    m_.session.bookPath = path;
    m_.session.bookName = bookNameFromPath(path);
    m_.view.setCaption(m_.session.caption);
    return true;
}

int BookCommands::openBookDialog()
{
    FileDialogRequest request = bookDialog(QStringLiteral("ファイルを開く"), m_.session.appPath);
    const auto chosen = m_.dialogs.openFile(request);
    if (!chosen)
        return 1;
    return readIntoBook(*chosen) ? 0 : 1;
}

int BookCommands::saveAsDialog()
{
    FileDialogRequest request = bookDialog(QStringLiteral("名前を付けて保存"), m_.session.appPath);
    request.proposedName = QStringLiteral("新規ファイル.iis");
    bool extensionChecked = false;
    for (;;) {
        const auto chosen = m_.dialogs.saveFile(request);
        if (!chosen)
            return 1;
        if (!extensionChecked && !chosen->endsWith(QLatin1String(".iis"))) {
            extensionChecked = true; // the second choice is taken whatever its extension
            m_.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                               QStringLiteral("間違ったファイルを選択しています。"));
            continue;
        }
        extensionChecked = true;
        const QString name = bookNameFromPath(*chosen);
        if (name.isEmpty() || name.compare(QLatin1String("temp"), Qt::CaseInsensitive) == 0) {
            m_.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                               QStringLiteral("この名前では保存できません。"));
            continue;
        }
        const QString folder = m_.session.appPath + name;
        if (name != m_.session.bookName && QFileInfo(folder).isDir()
            && m_.prompter.ask(PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("注意"),
                               QStringLiteral("「 ") + name
                                   + QStringLiteral(" 」のフォルダはすでにあります。\n\n上書きしますか？"))
                == PromptAnswer::No)
            continue;
        m_.session.bookPath = *chosen;
        m_.session.bookName = name;
        QDir().mkpath(folder);
        return 0;
    }
}

void BookCommands::newBook()
{
    if (askSaveChanges() == 1)
        return;
    emptyWorkingFolder(m_.session);
    m_.session.bookPath.clear();
    m_.session.bookName.clear();
    m_.session.loading = true;
    m_.tree.clear();
    TreeItem *book = m_.tree.add(nullptr, Relationship::Last, QStringLiteral("a1"), kNewBookName,
                                 QString::fromUtf16(images::Root));
    m_.tree.select(book);
    m_.session.currentKey = QStringLiteral("a1");
    m_.session.pageTextName.clear();
    m_.session.pagePath.clear();
    m_.view.clearText();
    m_.view.setBrowserShown(false);
    m_.session.loading = false;
    m_.session.changed = true;
    m_.view.setCaption(QStringLiteral("BOOK - ") + kNewBookName + kChangedMark);
    m_.view.updateCommandState(QStringLiteral("root"));
    m_.view.sizeControls();
}

void BookCommands::showOpenedBook()
{
    loadBookIntoWorkingFolder(m_.session);
    m_.session.currentKey = QStringLiteral("a1");
    m_.session.pageTextName.clear();
    m_.session.pagePath.clear();
    m_.session.loading = true;
    m_.session.changed = false;
    m_.view.clearText();
    const QString note = m_.session.workingFolder() + QStringLiteral("a1.rtf");
    if (QFileInfo::exists(note))
        m_.view.loadText(note);
    m_.session.loading = false;
    m_.view.updateCommandState(QStringLiteral("root"));
}

void BookCommands::openBook()
{
    if (askSaveChanges() == 1 || openBookDialog() == 1)
        return;
    showOpenedBook();
    m_.addRecentFile(m_.session.bookPath);
    m_.view.setBrowserShown(false);
    m_.view.sizeControls();
    m_.view.expandAll();
    m_.tree.select(m_.tree.item(1));
}

void BookCommands::openRecentBook(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        m_.prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙが見つかりません"),
                           path + QStringLiteral("\n が見つかりません。\n\nもう一度確認してから実行して下さい。"));
        return;
    }
    if (askSaveChanges() == 1 || !readIntoBook(path))
        return;
    showOpenedBook();
    m_.view.setBrowserShown(false);
    m_.view.sizeControls();
    m_.view.expandAll();
    m_.tree.select(m_.tree.item(1));
}

void BookCommands::finishSave(const QString &statusBefore)
{
    m_.addRecentFile(m_.session.bookPath);
    m_.session.changed = false;
    m_.view.setCaption(QStringLiteral("BOOK - ") + m_.session.bookPath);
    m_.view.setStatusText(statusBefore);
}

void BookCommands::save()
{
    if (m_.session.bookPath.isEmpty()) {
        saveAs();
        return;
    }
    const QString statusBefore = m_.view.statusText();
    m_.view.setStatusText(QStringLiteral("保存中..."));
    m_.view.processEvents();
    if (m_.view.isPageSourceEditing())
        m_.view.leavePageSourceEditing();
    if (!storeAndSave()) {
        m_.view.setStatusText(statusBefore);
        return; // reported; the book stays changed
    }
    finishSave(statusBefore);
}

void BookCommands::saveAs()
{
    if (m_.view.isPageSourceEditing())
        m_.view.leavePageSourceEditing();
    if (!storeShownItem() || saveAsDialog() == 1)
        return;
    const QString statusBefore = m_.view.statusText();
    m_.view.setStatusText(QStringLiteral("保存中..."));
    m_.view.processEvents();
    if (!saveBook(m_.session, m_.tree, m_.prompter)) {
        m_.view.setStatusText(statusBefore);
        return;
    }
    finishSave(statusBefore);
}

bool BookCommands::closeRequest()
{
    if (askSaveChanges() == 1)
        return false;
    emptyWorkingFolder(m_.session);
    return true;
}

} // namespace kobin
