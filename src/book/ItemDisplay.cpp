#include "ItemDisplay.h"

#include "Arrangement.h"
#include "Book.h"
#include "CommandState.h"
#include "ItemKinds.h"
#include "NotePane.h"
#include "PageNames.h"
#include "PageView.h"
#include "Prompter.h"
#include "BookStore.h"
#include "WindowStatus.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <utility>

namespace kobin {

namespace {
const QString kNotFoundTitle = QStringLiteral("ﾌｧｲﾙが見つかりません");
} // namespace

ItemDisplay::ItemDisplay(Book &book, Views views, Prompter &prompter)
    : m_book(book), m_views(views), m_prompter(prompter)
{
}

QString ItemDisplay::bookFolderPath(const QString &fileName) const
{
    return QDir::toNativeSeparators(m_book.session().bookFolder() + fileName);
}

bool ItemDisplay::isShowingHomepage() const
{
    const TreeItem *shown = m_book.tree().item(m_book.session().currentKey);
    return shown && kindOf(*shown) == ItemKind::Homepage;
}

bool ItemDisplay::reportStoreFailure(const QString &file)
{
    reportSaveFailure(m_prompter, file);
    return false;
}

bool ItemDisplay::writeShownText(QString *failedFile)
{
    const BookSession &session = m_book.session();
    if (!m_book.tree().item(session.currentKey))
        return true; // the item shown so far is gone: nothing to keep
    const QString contentId = isShowingHomepage() ? session.pageTextName : session.currentKey;
    if (contentId.isEmpty())
        return true; // a homepage item whose page text was never named has nothing to store
    const QString text = m_book.workingFolder().textFile(contentId);
    if (m_views.note.save(text))
        return true;
    *failedFile = text;
    return false;
}

bool ItemDisplay::storeCurrentItem()
{
    leavePageSourceEditing(); // the side text, never a page's source, is what is kept
    QString failed;
    if (!writeShownText(&failed))
        return reportStoreFailure(failed);
    return !isShowingHomepage() || storeSplitters(m_book.workingFolder().path());
}

bool ItemDisplay::keepShownText()
{
    // A page's source is no note (the side text is in its file already), and a pane
    // being filled holds nothing of the user's yet.
    if (m_showingItem || m_book.session().loading || m_views.page.isSourceEditing())
        return true;
    QString failed;
    return writeShownText(&failed);
}

bool ItemDisplay::storeSplitters(const QString &folder)
{
    const QString &contentId = m_book.session().pageTextName;
    if (contentId.isEmpty())
        return true;
    QString failed;
    if (!WorkingFolder::storeSplits(folder, contentId, m_views.arrangement.stackedSplit(),
                                    m_views.arrangement.sideSplit(), &failed))
        return reportStoreFailure(failed);
    return true;
}

void ItemDisplay::loadNoteOrReport(const QString &key)
{
    const QString note = m_book.workingFolder().textFile(key);
    if (!QFileInfo::exists(note) || !m_views.note.load(note)) {
        m_prompter.inform(PromptIcon::None, kNotFoundTitle, QStringLiteral("ﾌｧｲﾙが見つかりません"));
        m_views.note.clear();
    }
}

void ItemDisplay::leavePageSourceEditing()
{
    if (m_views.page.isSourceEditing())
        m_views.page.leaveSourceEditing();
}

void ItemDisplay::showItem(TreeItem *item)
{
    BookSession &session = m_book.session();
    if (!item || item->key() == session.currentKey)
        return;
    ItemTree &tree = m_book.tree();
    if (m_showingItem) {
        // A click that arrives while an item is being shown (a message box is open) puts the selection back.
        tree.select(tree.item(session.currentKey));
        return;
    }
    show(item, true);
}

void ItemDisplay::reloadItem(TreeItem *item)
{
    if (item && !m_showingItem)
        show(item, false);
}

void ItemDisplay::show(TreeItem *item, bool storeFirst)
{
    BookSession &session = m_book.session();
    ItemTree &tree = m_book.tree();
    m_showingItem = true;
    session.loading = true;
    m_views.status.setStatusText(item->text());
    leavePageSourceEditing();

    // The text typed so far must be kept before anything else is loaded into the pane.
    if (storeFirst && !storeCurrentItem()) {
        tree.select(tree.item(session.currentKey));
        finish();
        return;
    }
    m_views.note.setReadOnly(false);
    const ItemKind kind = kindOf(*item);
    if (kind != ItemKind::Homepage)
        loadNoteOrReport(item->key());
    session.currentKey = item->key();
    if (kind != ItemKind::Homepage) {
        m_views.commands.update(kind);
        finish();
        return;
    }
    showHomepage(item);
}

void ItemDisplay::showHomepage(TreeItem *item)
{
    BookSession &session = m_book.session();
    const QString key = item->key();
    const std::optional<QString> page = resolvedPagePath(m_book.workingFolder().pagePath(key));
    if (!page) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙへのパスを書き込んだファイルが見つかりません。\n\n")
                              + bookFolderPath(WorkingFolder::urlFileName(key)));
        showMissingPage(item, QString());
        return;
    }
    const QString baseName = pageBaseName(*page);
    if (!QFileInfo(*page).isFile()) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙ\n\n") + *page
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        showMissingPage(item, baseName);
        return;
    }
    session.pagePath = *page;
    const QString contentId = adoptedPageTextName(key, baseName);
    restoreSplitters(contentId);
    m_views.commands.update(ItemKind::Homepage);
    session.pageTextName = contentId;
    loadPageTextOrReport();
    m_views.page.setShown(true);
    m_views.page.navigate(*page);
    finish();
}

QString ItemDisplay::adoptedPageTextName(const QString &key, const QString &baseName)
{
    const QString contentId = pageTextName(key, baseName);
    const QString earlier = runTogetherPageTextName(key, baseName);
    WorkingFolder &working = m_book.workingFolder();
    // A page's files named as earlier books named them are taken over under the
    // new name, unless the old name is another item's own note.
    if (contentId == earlier || m_book.tree().item(earlier) || QFileInfo::exists(working.textFile(contentId))
        || !QFileInfo::exists(working.textFile(earlier)))
        return contentId;
    QStringList taken;
    for (const QString &suffix : {QStringLiteral(".rtf"), QStringLiteral(".txt"), QStringLiteral("side.txt")}) {
        const QString from = working.path() + earlier + suffix;
        if (QFileInfo::exists(from) && QFile::copy(from, working.path() + contentId + suffix))
            taken << earlier + suffix;
    }
    // Set aside like a deleted item's files: the next save removes them from the book folder.
    working.setAside(taken);
    return contentId;
}

std::optional<QString> ItemDisplay::resolvedPagePath(const std::optional<QString> &page) const
{
    if (!page)
        return page;
    const BookSession &session = m_book.session();
    return resolvePagePath(*page, session.bookPath, session.appPath);
}

void ItemDisplay::loadPageTextOrReport()
{
    const QString &contentId = m_book.session().pageTextName;
    const QString pageText = m_book.workingFolder().textFile(contentId);
    if (!QFileInfo::exists(pageText) || !m_views.note.load(pageText)) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n") + bookFolderPath(WorkingFolder::textFileName(contentId))
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        m_views.note.clear();
    }
}

void ItemDisplay::showMissingPage(TreeItem *item, const QString &baseName)
{
    m_book.session().pageTextName = adoptedPageTextName(item->key(), baseName);
    loadPageTextOrReport();
    finish();
    m_views.status.setTreeEnabled(true);
    m_views.commands.update(ItemKind::Folder);
    m_views.commands.setChangePageReferenceEnabled(true); // so that the page can be chosen again
    m_views.arrangement.relayout();
}

namespace {
// A splitter position from a file, within the content area: a position far outside
// it would make a pane (and the browser's drawing surface) enormous.
float withinContent(std::optional<float> position, float size)
{
    const float extent = std::max(size, 0.0f);
    if (!position || !std::isfinite(*position))
        return extent / 2;
    return std::clamp(*position, 0.0f, extent);
}
} // namespace

void ItemDisplay::restoreSplitters(const QString &contentId)
{
    const WorkingFolder &working = m_book.workingFolder();
    Arrangement &arrangement = m_views.arrangement;
    arrangement.setStackedSplit(withinContent(working.stackedSplit(contentId), arrangement.contentHeight()));
    arrangement.setSideSplit(withinContent(working.sideSplit(contentId), arrangement.contentWidth()));
}

void ItemDisplay::finish()
{
    m_book.session().loading = false;
    m_showingItem = false;
}

void ItemDisplay::switchPageText(const QString &address)
{
    BookSession &session = m_book.session();
    const QString target = addressAsPath(address);
    m_views.status.setTreeEnabled(false);
    m_views.commands.setBackEnabled(QDir::cleanPath(target) != QDir::cleanPath(session.pagePath));
    if (target.contains(u'@')) {
        m_views.status.setTreeEnabled(true); // a mail address: the page and its text stay
        return;
    }
    leavePageSourceEditing();

    if (!session.pageTextName.isEmpty()) {
        const QString pageText = m_book.workingFolder().textFile(session.pageTextName);
        // A side text that cannot be kept stays in the pane, still attached to its own page.
        if (!m_views.note.save(pageText)) {
            reportStoreFailure(pageText);
            return;
        }
        if (!storeSplitters(m_book.workingFolder().path()))
            return;
    }
    session.loading = true;
    const TreeItem *selected = m_book.tree().selectedItem();
    const QString key = selected ? selected->key() : session.currentKey;
    const QString contentId = adoptedPageTextName(key, pageBaseName(address));
    m_views.note.clear();
    const QString pageText = m_book.workingFolder().textFile(contentId);
    if (QFileInfo::exists(pageText) && !m_views.note.load(pageText))
        m_views.note.clear();
    restoreSplitters(contentId);
    session.pageTextName = contentId;
    m_views.arrangement.relayout();
    session.currentPagePath = target;
    session.loading = false;
}

void ItemDisplay::showBookItem()
{
    BookSession &session = m_book.session();
    session.currentKey = Book::BookItemKey;
    session.pageTextName.clear();
    session.pagePath.clear();
    const bool wasLoading = std::exchange(session.loading, true); // start-up is loading all along
    m_views.note.clear();
    m_views.note.setReadOnly(!m_book.tree().item(Book::BookItemKey));
    const QString note = m_book.workingFolder().textFile(Book::BookItemKey);
    if (QFileInfo::exists(note) && !m_views.note.load(note))
        m_views.note.clear();
    session.loading = wasLoading;
    m_views.commands.update(ItemKind::Book);
    m_views.page.setShown(false);
    m_views.arrangement.relayout();
}

} // namespace kobin
