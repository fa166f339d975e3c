#include "ItemDisplay.h"

#include "Arrangement.h"
#include "Book.h"
#include "BookPrompts.h"
#include "CommandState.h"
#include "ContentNameCase.h"
#include "ItemKinds.h"
#include "NotePane.h"
#include "PageLocator.h"
#include "PageNames.h"
#include "PageView.h"
#include "Prompter.h"
#include "BookStore.h"
#include "AtomicFile.h"
#include "WindowStatus.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>
#include <algorithm>
#include <cmath>
#include <utility>

namespace kobin {

namespace {
} // namespace

ItemDisplay::ItemDisplay(Book &book, Views views, Prompter &prompter)
    : m_book(book), m_views(views), m_prompter(prompter)
{
}

QString ItemDisplay::bookFolderPath(const QString &fileName) const
{
    return QDir::toNativeSeparators(m_book.bookFolder() + fileName);
}

bool ItemDisplay::isShowingHomepage() const
{
    const TreeItem *shown = m_book.tree().item(m_book.shown().key());
    return shown && kindOf(*shown) == ItemKind::Homepage;
}

bool ItemDisplay::reportStoreFailure(const QString &file, NoteWriting why)
{
    reportSaveFailure(m_prompter, file, why);
    return false;
}

NoteWriting ItemDisplay::writeShownText(QString *failedFile)
{
    if (!m_book.tree().item(m_book.shown().key()))
        return NoteWriting::Written; // the item shown so far is gone: nothing to keep
    const QString contentId = isShowingHomepage() ? m_book.shown().pageTextName() : m_book.shown().key();
    // A page text never named, a note only looked at, or one kept unread has nothing to store.
    if (contentId.isEmpty() || m_views.note.holdsFileText() || m_keepsUnreadableNote)
        return NoteWriting::Written;
    const QString text = m_book.workingFolder().textFile(contentId);
    const NoteWriting written = m_views.note.save(text);
    if (written != NoteWriting::Written)
        *failedFile = text;
    return written;
}

bool ItemDisplay::storeCurrentItem()
{
    leavePageSourceEditing(); // the side text, never a page's source, is what is kept
    QString failed;
    if (const NoteWriting written = writeShownText(&failed); written != NoteWriting::Written)
        return reportStoreFailure(failed, written);
    return !isShowingHomepage() || storeSplittersHere();
}

bool ItemDisplay::keepShownText()
{
    // A page's source is no note (the side text is in its file already), and a pane
    // being filled holds nothing of the user's yet.
    if (m_book.isLoading() || m_views.page.isSourceEditing())
        return true;
    QString failed;
    return writeShownText(&failed) == NoteWriting::Written;
}

bool ItemDisplay::storeSplitters(const QString &folder)
{
    const QString &contentId = m_book.shown().pageTextName();
    if (contentId.isEmpty())
        return true;
    QString failed;
    if (!PageSettings::storeSplits(folder, contentId, m_views.arrangement.stackedSplit(),
                                   m_views.arrangement.sideSplit(), &failed))
        return reportStoreFailure(failed);
    return true;
}

bool ItemDisplay::storeSplittersHere()
{
    const QString &contentId = m_book.shown().pageTextName();
    QString failed;
    if (!contentId.isEmpty()
        && !m_book.workingFolder().pageSettings().storeSplits(contentId, m_views.arrangement.stackedSplit(),
                                                              m_views.arrangement.sideSplit(), &failed))
        return reportStoreFailure(failed);
    return true;
}

namespace {
QString whyUnread(NoteReading reading)
{
    switch (reading) {
    case NoteReading::TooLarge: return QStringLiteral("は大きすぎるため、読み込めません。");
    case NoteReading::NotRtf: return QStringLiteral("はリッチテキストではないため、読み込めません。");
    case NoteReading::NotRegularFile: return QStringLiteral("は通常のファイルではないため、読み込めません。");
    case NoteReading::Read:
    case NoteReading::Unreadable: break;
    }
    return QStringLiteral("を読み込めません。");
}
} // namespace

ItemDisplay::NoteLoad ItemDisplay::loadNote(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        m_views.note.clear();
        return NoteLoad::Missing;
    }
    const NoteReading reading = m_views.note.load(path);
    if (reading == NoteReading::Read)
        return NoteLoad::Loaded;
    m_views.note.clear();
    // An empty pane stored over the file would lose the note for good: only the user replaces it.
    const PromptAnswer answer = m_prompter.ask(
        PromptButtons::YesNoDefaultNo, PromptIcon::Exclamation, QStringLiteral("ﾌｧｲﾙを開けません"),
        QStringLiteral("「 ") + QDir::toNativeSeparators(path) + QStringLiteral(" 」\n\n") + whyUnread(reading)
            + QStringLiteral("ファイルはそのまま残します。\n\n空のテキストで置き換えますか？"));
    if (answer != PromptAnswer::Yes) {
        m_keepsUnreadableNote = true;
        m_views.note.setReadOnly(true);
    }
    return NoteLoad::Kept;
}

void ItemDisplay::allowTypingAgain()
{
    if (std::exchange(m_keepsUnreadableNote, false))
        m_views.note.setReadOnly(false);
}

void ItemDisplay::loadNoteOrReport(const QString &key)
{
    if (loadNote(m_book.workingFolder().readableTextFile(key)) == NoteLoad::Missing)
        m_prompter.inform(PromptIcon::None, kNotFoundTitle, QStringLiteral("ﾌｧｲﾙが見つかりません"));
}

void ItemDisplay::leavePageSourceEditing()
{
    if (m_views.page.isSourceEditing())
        m_views.page.leaveSourceEditing();
}

void ItemDisplay::showItem(TreeItem *item)
{
    if (!item || item->key() == m_book.shown().key())
        return;
    ItemTree &tree = m_book.tree();
    if (isShowingItem()) {
        // A click that arrives while an item is being shown (a message box is open) puts the selection back.
        tree.select(tree.item(m_book.shown().key()));
        return;
    }
    show(item, true);
}

void ItemDisplay::reloadItem(TreeItem *item)
{
    if (item && !isShowingItem())
        show(item, false);
}

void ItemDisplay::show(TreeItem *item, bool storeFirst)
{
    ItemTree &tree = m_book.tree();
    m_showing.emplace(m_book);
    const auto shown = qScopeGuard([this] { m_showing.reset(); });
    m_views.status.setStatusText(item->text());
    leavePageSourceEditing();

    // The text typed so far must be kept before anything else is loaded into the pane.
    if (storeFirst && !storeCurrentItem()) {
        tree.select(tree.item(m_book.shown().key()));
        return;
    }
    m_keepsUnreadableNote = false;
    m_views.note.setReadOnly(false);
    const ItemKind kind = kindOf(*item);
    if (kind != ItemKind::Homepage)
        loadNoteOrReport(item->key());
    m_book.shown().setKey(item->key());
    if (kind != ItemKind::Homepage) {
        m_views.commands.update(kind);
        return;
    }
    showHomepage(item);
}

void ItemDisplay::showHomepage(TreeItem *item)
{
    const QString key = item->key();
    const std::optional<QString> recorded = m_book.workingFolder().pageSettings().pagePath(key);
    std::optional<QString> page;
    if (recorded)
        page = pagePathFor(*recorded, m_book.bookPath(), m_book.appPath());
    if (page && !isPageFile(*page)) {
        if (std::optional<QString> found = relocatedPage(key, *recorded))
            page = std::move(found);
    }
    if (!page) {
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙへのパスを書き込んだファイルが見つかりません。\n\n")
                              + bookFolderPath(ContentNames::urlFileName(key)));
        showMissingPage(item, QString());
        return;
    }
    const QString baseName = pageBaseName(*page);
    if (!QFileInfo(*page).isFile()) {
        // A Windows path is shown as the url file holds it, not as taken from the program folder.
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("HTMLﾌｧｲﾙ\n\n") + (isWindowsPath(*recorded) ? *recorded : *page)
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
        showMissingPage(item, baseName);
        return;
    }
    m_book.shown().setPagePath(*page);
    const QString contentId = adoptedPageTextName(key, baseName);
    restoreSplitters(contentId);
    m_views.commands.update(ItemKind::Homepage);
    m_book.shown().setPageTextName(contentId);
    loadPageTextOrReport();
    m_views.page.setShown(true);
    m_views.page.navigate(*page);
}

QString ItemDisplay::adoptedPageTextName(const QString &key, const QString &baseName)
{
    const QString contentId = pageTextName(key, baseName);
    const QString earlier = runTogetherPageTextName(key, baseName);
    WorkingFolder &working = m_book.workingFolder();
    if (!QFileInfo::exists(working.readableTextFile(contentId)))
        adoptCaseVariantsOf(working, contentId); // written by a Windows tool with other capitals, perhaps
    // A page's files named as earlier books named them are taken over under the
    // new name, unless the old name is another item's own note.
    if (contentId == earlier || m_book.tree().item(earlier)
        || QFileInfo::exists(working.readableTextFile(contentId))
        || !QFileInfo::exists(working.readableTextFile(earlier)))
        return contentId;
    QStringList taken;
    for (const QString &suffix : {QStringLiteral(".rtf"), QStringLiteral(".txt"), QStringLiteral("side.txt")}) {
        const QString from = working.readableFile(earlier + suffix);
        if (QFileInfo::exists(from) && copyFileAtomically(from, working.path() + contentId + suffix))
            taken << earlier + suffix;
    }
    // Set aside like a deleted item's files: the next save removes them from the book folder.
    working.setAside(taken);
    return contentId;
}

std::optional<QString> ItemDisplay::relocatedPage(const QString &key, const QString &recordedPath)
{
    std::optional<QString> found = findPage(recordedPath, m_book.bookPath(), m_book.appPath(),
                                            m_pageFolderHistory ? m_pageFolderHistory() : QStringList());
    if (!found)
        return std::nullopt;
    // The url file takes the path found here; the book keeps it when it is saved.
    if (m_book.workingFolder().pageSettings().storePagePath(key, QDir::toNativeSeparators(*found)))
        m_book.markChanged();
    else
        reportStoreFailure(m_book.workingFolder().urlFile(key));
    return found;
}

void ItemDisplay::loadPageTextOrReport()
{
    const QString &contentId = m_book.shown().pageTextName();
    if (loadNote(m_book.workingFolder().readableTextFile(contentId)) == NoteLoad::Missing)
        m_prompter.inform(PromptIcon::Exclamation, kNotFoundTitle,
                          QStringLiteral("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n")
                              + bookFolderPath(ContentNames::textFileName(contentId))
                              + QStringLiteral("\n\nが見つかりません。移動または削除した可能性があります。"));
}

void ItemDisplay::showMissingPage(TreeItem *item, const QString &baseName)
{
    m_book.shown().setPageTextName(adoptedPageTextName(item->key(), baseName));
    loadPageTextOrReport();
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
    const PageSettings kept = m_book.workingFolder().pageSettings();
    Arrangement &arrangement = m_views.arrangement;
    arrangement.setStackedSplit(withinContent(kept.stackedSplit(contentId), arrangement.contentHeight()));
    arrangement.setSideSplit(withinContent(kept.sideSplit(contentId), arrangement.contentWidth()));
}

void ItemDisplay::switchPageText(const QString &address)
{
    const QString target = addressAsPath(address);
    m_views.status.setTreeEnabled(false);
    m_views.commands.setBackEnabled(QDir::cleanPath(target) != QDir::cleanPath(m_book.shown().pagePath()));
    if (target.contains(u'@')) {
        m_views.status.setTreeEnabled(true); // a mail address: the page and its text stay
        return;
    }
    leavePageSourceEditing();

    if (!m_book.shown().pageTextName().isEmpty()) {
        const QString pageText = m_book.workingFolder().textFile(m_book.shown().pageTextName());
        // A side text that cannot be kept stays in the pane, still attached to its own page.
        if (const NoteWriting written = m_keepsUnreadableNote ? NoteWriting::Written : m_views.note.save(pageText);
            written != NoteWriting::Written) {
            reportStoreFailure(pageText, written);
            return;
        }
        if (!storeSplittersHere())
            return;
    }
    allowTypingAgain();
    const Book::Loading loading(m_book);
    const TreeItem *selected = m_book.tree().selectedItem();
    const QString key = selected ? selected->key() : m_book.shown().key();
    const QString contentId = adoptedPageTextName(key, pageBaseName(address));
    std::ignore = loadNote(m_book.workingFolder().readableTextFile(contentId));
    restoreSplitters(contentId);
    m_book.shown().setPageTextName(contentId);
    m_views.arrangement.relayout();
    m_book.shown().setBrowserAddress(target);
}

void ItemDisplay::showNewPage(const QString &key, const QString &page)
{
    {
        const Book::Loading loading(m_book);
        m_views.note.clear(); // the pane now holds the new page's side text
    }
    m_book.shown().setPagePath(page);
    m_book.shown().setBrowserAddress(page);
    m_book.shown().setKey(key);
    m_book.shown().setPageTextName(pageTextName(key, pageBaseName(page)));
    m_views.arrangement.setStackedSplit(m_views.arrangement.contentHeight() / 2);
    m_views.arrangement.setSideSplit(m_views.arrangement.contentWidth() / 2);
    m_views.arrangement.relayout();
    m_views.commands.update(ItemKind::Homepage);
    m_views.page.setShown(true);
    m_views.page.navigate(page);
}

void ItemDisplay::showBookItem()
{
    m_book.shown().showNote(Book::BookItemKey);
    {
        const Book::Loading loading(m_book);
        m_keepsUnreadableNote = false;
        m_views.note.setReadOnly(!m_book.tree().item(Book::BookItemKey));
        std::ignore = loadNote(m_book.workingFolder().readableTextFile(Book::BookItemKey));
    }
    m_views.commands.update(ItemKind::Book);
    m_views.page.setShown(false);
    m_views.arrangement.relayout();
}

} // namespace kobin
