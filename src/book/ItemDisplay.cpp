#include "ItemDisplay.h"

#include "BookSession.h"
#include "BookView.h"
#include "Cp932.h"
#include "ImageKeys.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "PageNames.h"
#include "Prompter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace kobin {

namespace {

const QString kNotFoundTitle = QStringLiteral("ﾌｧｲﾙが見つかりません");

bool isHomepage(const TreeItem *item)
{
    return item && item->image() == images::HtmlFile;
}

} // namespace

ItemDisplay::ItemDisplay(BookSession &session, ItemTree &tree, BookView &view, Prompter &prompter)
    : m_session(session), m_tree(tree), m_view(view), m_prompter(prompter)
{
}

QString ItemDisplay::bookFolderPath(const QString &fileName) const
{
    return QDir::toNativeSeparators(m_session.bookFolder() + fileName);
}

void ItemDisplay::storeShownText()
{
    const TreeItem *shown = m_tree.item(m_session.currentKey);
    if (!shown)
        return; // the item shown so far is gone: nothing to keep
    const QString contentId = isHomepage(shown) ? m_session.pageTextName : m_session.currentKey;
    if (!contentId.isEmpty())
        m_view.saveText(m_session.workingFolder() + contentId + QStringLiteral(".rtf"));
}

void ItemDisplay::storeSplitters(const QString &folder)
{
    if (m_session.pageTextName.isEmpty())
        return;
    const QString base = folder + m_session.pageTextName;
    writeNumberFile(base + QStringLiteral(".txt"), m_view.stackedSplit());
    writeNumberFile(base + QStringLiteral("side.txt"), m_view.sideSplit());
}

void ItemDisplay::loadNoteOrReport(const QString &key)
{
    const QString note = m_session.workingFolder() + key + QStringLiteral(".rtf");
    if (!QFileInfo::exists(note) || !m_view.loadText(note)) {
        m_prompter.inform(PromptIcon::None, kNotFoundTitle, QStringLiteral("ﾌｧｲﾙが見つかりません"));
        m_view.clearText();
    }
}

void ItemDisplay::showItem(TreeItem *item)
{
    if (!item || item->key() == m_session.currentKey)
        return;
    if (m_showingItem) {
        // A click that arrives while an item is being shown puts the selection back.
        m_tree.select(m_tree.item(m_session.currentKey));
        m_view.processEvents();
        return;
    }
    m_showingItem = true;
    m_session.loading = true;
    m_view.setStatusText(item->text());
    if (m_view.isPageSourceEditing())
        m_view.leavePageSourceEditing();

    const bool wasHomepage = isHomepage(m_tree.item(m_session.currentKey));
    storeShownText();
    if (!isHomepage(item))
        loadNoteOrReport(item->key());
    if (wasHomepage)
        storeSplitters(m_session.workingFolder());
    m_session.currentKey = item->key();

    const QString &image = item->image();
    if (image == images::Root)
        m_view.updateCommandState(QStringLiteral("root"));
    else if (image == images::FolderOpen || image == images::FolderClosed || image == images::RichText)
        m_view.updateCommandState(QStringLiteral("f"));
    if (!isHomepage(item)) {
        finish();
        return;
    }
    showHomepage(item);
}

void ItemDisplay::showHomepage(TreeItem *item)
{
    const QString key = item->key();
    const QString urlFile = m_session.workingFolder() + key + QStringLiteral("url.txt");
    QFile url(urlFile);
    if (!url.open(QIODevice::ReadOnly)) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙへのパスを書き込んだファイルが見つかりません。\n\n")
                              + bookFolderPath(key + QStringLiteral("url.txt")));
        showMissingPage(item, QString());
        return;
    }
    const QString page = pagePathFromUrlFile(decodeSystemText(url.readAll()));
    const QString baseName = pageBaseName(page);
    if (!QFileInfo(page).isFile()) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙ\n\n") + page
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        showMissingPage(item, baseName);
        return;
    }
    m_session.pagePath = page;
    restoreSplitters(key + baseName);
    m_view.updateCommandState(QStringLiteral("html"));
    m_view.processEvents();
    m_session.pageTextName = key + baseName;
    loadPageTextOrReport();
    m_view.setBrowserShown(true);
    m_view.navigate(page);
    finish();
}

void ItemDisplay::loadPageTextOrReport()
{
    const QString pageText = m_session.workingFolder() + m_session.pageTextName + QStringLiteral(".rtf");
    if (!QFileInfo::exists(pageText) || !m_view.loadText(pageText)) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n") + bookFolderPath(m_session.pageTextName + QStringLiteral(".rtf"))
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        m_view.clearText();
    }
}

void ItemDisplay::showMissingPage(TreeItem *item, const QString &baseName)
{
    m_session.pageTextName = item->key() + baseName;
    loadPageTextOrReport();
    finish();
    m_view.setTreeEnabled(true);
    m_view.updateCommandState(QStringLiteral("f"));
    m_view.setChangeUrlEnabled(true); // so that the page can be chosen again
    m_view.sizeControls();
}

void ItemDisplay::restoreSplitters(const QString &contentId)
{
    const QString base = m_session.workingFolder() + contentId;
    m_view.setStackedSplit(readNumberFile(base + QStringLiteral(".txt")).value_or(m_view.contentHeight() / 2));
    m_view.setSideSplit(readNumberFile(base + QStringLiteral("side.txt")).value_or(m_view.contentWidth() / 2));
}

void ItemDisplay::finish()
{
    m_session.loading = false;
    m_showingItem = false;
}

void ItemDisplay::switchPageText(const QString &address)
{
    const QString target = addressAsPath(address);
    m_view.setTreeEnabled(false);
    m_view.setBackEnabled(QDir::cleanPath(target) != QDir::cleanPath(m_session.pagePath));
    if (target.contains(u'@')) {
        m_view.setTreeEnabled(true); // a mail address: the page and its text stay
        return;
    }
    if (m_view.isPageSourceEditing())
        m_view.leavePageSourceEditing();

    if (!m_session.pageTextName.isEmpty()) {
        m_view.saveText(m_session.workingFolder() + m_session.pageTextName + QStringLiteral(".rtf"));
        storeSplitters(m_session.workingFolder());
    }
    m_session.loading = true;
    const TreeItem *selected = m_tree.selectedItem();
    const QString key = selected ? selected->key() : m_session.currentKey;
    const QString contentId = key + pageBaseName(address);
    m_view.clearText();
    const QString pageText = m_session.workingFolder() + contentId + QStringLiteral(".rtf");
    if (QFileInfo::exists(pageText))
        m_view.loadText(pageText);
    restoreSplitters(contentId);
    m_session.pageTextName = contentId;
    m_view.sizeControls();
    m_session.currentPagePath = target;
    m_view.startPageTimer();
    m_session.loading = false;
}

} // namespace kobin
