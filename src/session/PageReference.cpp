#include "PageReference.h"

#include "Book.h"
#include "BookPrompts.h"
#include "BookStore.h"
#include "FileDialogs.h"
#include "ItemDisplay.h"
#include "PageNames.h"
#include "Prompter.h"
#include "Settings.h"
#include "TreeString.h"

#include <QFileInfo>
#include <utility>

namespace kobin {

namespace {
const QString kWarningTitle = QStringLiteral("注意");
} // namespace

PageReference::PageReference(Services services, ReferenceMode mode, const TreeItem &item)
    : m_services(services), m_mode(mode), m_key(item.key()), m_rememberedCaption(item.text())
{
    readHistory();
    if (mode == ReferenceMode::NewItem) {
        // Adding an item shows the second entry of the history, as it always did.
        m_historyText = m_history.value(1);
        return;
    }
    m_initialName = item.text();
    m_initialPage = m_services.book.workingFolder().pageSettings().pagePath(m_key).value_or(QString());
    m_historyText = pageFolder(m_initialPage);
}

void PageReference::readHistory()
{
    m_history.clear();
    if (m_services.settings.readString(settings::recentFolder(1)).isEmpty())
        return;
    for (int n = 1; n <= settings::kRecentFolderCount; ++n)
        m_history.append(m_services.settings.readString(settings::recentFolder(n)));
}

TreeItem *PageReference::item() const
{
    return m_services.book.tree().item(m_key);
}

void PageReference::nameTyped(const QString &name)
{
    if (TreeItem *named = item())
        m_services.book.tree().setText(named, treestring::storableCaption(name));
}

std::optional<QString> PageReference::choosePage(const QString &historyBoxText)
{
    FileDialogRequest request;
    request.title = QStringLiteral("HTMLファイル選択");
    request.filter = QStringLiteral("HTMLﾌｧｲﾙ (*.htm *.html);;すべてのﾌｧｲﾙ (*.*)");
    request.initialFolder = historyBoxText.isEmpty() ? m_services.book.appPath() : historyBoxText;
    const std::optional<QString> chosen = m_services.dialogs.openFile(request);
    if (!chosen)
        return std::nullopt;

    const QString folder = pageFolder(*chosen);
    bool known = false;
    for (int n = 1; n <= settings::kRecentFolderCount && !known; ++n)
        known = m_services.settings.readString(settings::recentFolder(n)) == folder;
    if (!known) {
        // The oldest folder drops out; empty entries move down like the others.
        for (int n = settings::kRecentFolderCount - 1; n >= 1; --n)
            m_services.settings.write(settings::recentFolder(n + 1), m_services.settings.readString(settings::recentFolder(n)));
        m_services.settings.write(settings::recentFolder(1), folder);
    }
    readHistory();
    m_historyText = m_history.value(0);
    return chosen;
}

bool PageReference::checksPass(const QString &name, const QString &page)
{
    if (name.isEmpty()) {
        m_services.prompter.inform(PromptIcon::Exclamation, kWarningTitle, QStringLiteral("名前が入っていません"));
        return false;
    }
    if (m_mode == ReferenceMode::Change
        && m_services.prompter.ask(PromptButtons::OkCancel, PromptIcon::Information, QStringLiteral("ご注意"),
                           QStringLiteral("参照先を変更すると、テキスト（リンク先も全て）も削除されます。\n\nよろしいですか？"))
               != PromptAnswer::Ok)
        return false;
    if (page.isEmpty()) {
        m_services.prompter.inform(PromptIcon::Exclamation, kWarningTitle, QStringLiteral("ﾌｧｲﾙが選択されていません。"));
        return false;
    }
    if (!QFileInfo(page).isFile()) {
        m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙが見つかりません"),
                           page + QStringLiteral(" が見つかりません"));
        return false;
    }
    return true;
}

bool PageReference::accept(const QString &name, const QString &page)
{
    TreeItem *referred = item();
    if (!referred || !checksPass(name, page))
        return false;
    // The text shown (a new item's predecessor, or the old page's side text, which
    // then goes aside with the page) is kept first; a failure has been reported.
    if (!m_services.display.storeCurrentItem())
        return false;
    WorkingFolder &working = m_services.book.workingFolder();
    // The old page's side texts, splitter files and url file go: by the key rule, so
    // that a2 never takes a21's files. Set aside, an undo can bring them back.
    const int aside = m_mode == ReferenceMode::Change ? working.setAside(working.itemFiles(m_key)) : 0;
    if (!working.pageSettings().storePagePath(m_key, page)) {
        reportSaveFailure(m_services.prompter, working.urlFile(m_key));
        if (aside)
            std::ignore = working.deletions().bringBack(aside); // the old page stays as it was
        return false;
    }

    m_services.book.tree().setText(referred, treestring::storableCaption(name));
    m_services.book.markChanged();
    m_services.display.showNewPage(m_key, page);
    m_change = {m_key, m_rememberedCaption, referred->text(), aside};
    return true;
}

void PageReference::cancel()
{
    // A new item's page path stays that of the item still shown: the back button depends on it.
    if (m_mode == ReferenceMode::Change)
        if (TreeItem *named = item())
            m_services.book.tree().setText(named, m_rememberedCaption);
}

} // namespace kobin
