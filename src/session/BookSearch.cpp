#include "BookSearch.h"

#include "Book.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "ItemDisplay.h"
#include "ItemKinds.h"
#include "Layout.h"
#include "MatchMarker.h"
#include "PageLocator.h"
#include "PageNames.h"
#include "PageView.h"
#include "SearchResults.h"
#include "WindowStatus.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

using search::Place;
using search::SearchHit;

namespace {

// Typing while an index is changed waits this long before the index follows the tree.
constexpr int kTreeSettleMs = 1500;
// A page that never says it has loaded is given this long before its match is marked anyway.
constexpr int kLongestPageWaitMs = 8000;
constexpr size_t kShownResults = 200;

bool samePath(const QString &a, const QString &b)
{
    return !a.isEmpty() && QDir::cleanPath(addressAsPath(a)) == QDir::cleanPath(addressAsPath(b));
}

QString placeText(const SearchHit &hit)
{
    if (hit.place == Place::Page)
        return placeName(hit.place) + QStringLiteral(" (") + QFileInfo(hit.page).fileName() + u')';
    return placeName(hit.place);
}

} // namespace

BookSearch::BookSearch(Book &book, ItemDisplay &display, Views views, QObject *parent)
    : QObject(parent), m_book(book), m_display(display), m_views(views)
{
    m_updateSoon.setSingleShot(true);
    m_updateSoon.setInterval(kTreeSettleMs);
    connect(&m_updateSoon, &QTimer::timeout, this, &BookSearch::indexBook);
    m_pageWait.setSingleShot(true);
    m_pageWait.setInterval(kLongestPageWaitMs);
    connect(&m_pageWait, &QTimer::timeout, this, &BookSearch::continueMarking);
    m_book.tree().addObserver(this);

    connect(&m_book, &Book::replaced, this, [this] {
        m_views.marker.unmark();
        m_hits.clear();
        m_views.results.showRows({});
        m_views.results.setFooter(QString());
        m_unreadable = 0;
        m_indexFailure.clear();
        m_updateSoon.start();
    });
    connect(&m_indexer, &search::SearchIndexer::progress, this, [this](const QString &path, int done, int total) {
        if (path == indexPath())
            showProgress(done, total);
    });
    connect(&m_indexer, &search::SearchIndexer::updated, this,
            [this](const QString &path, int unreadable, const QString &failure) {
                if (path == indexPath())
                    indexUpdated(unreadable, failure);
            });
}

BookSearch::~BookSearch()
{
    m_book.tree().removeObserver(this);
}

void BookSearch::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::FindInBook, [this] { open(); });
}

QString BookSearch::indexPath() const
{
    return search::SearchIndex::locationFor(m_book.bookPath());
}

search::SearchIndexer::Book BookSearch::bookToIndex() const
{
    return {indexPath(), search::indexedItems(m_book.tree()), m_book.workingFolder(),
            {m_book.bookPath(), m_book.appPath()}};
}

void BookSearch::indexBook()
{
    m_indexer.updateBook(bookToIndex());
}

void BookSearch::noteStored(const QString &path)
{
    const ItemTree &tree = m_book.tree();
    std::optional<search::Source> source
        = search::contentFileSource(QFileInfo(path).fileName(), path,
                                    [&tree](const QString &key) -> std::optional<ItemKind> {
                                        const TreeItem *item = tree.item(key);
                                        return item ? std::optional<ItemKind>(kindOf(*item)) : std::nullopt;
                                    });
    if (source)
        m_indexer.updateSource(indexPath(), std::move(*source));
}

void BookSearch::showProgress(int done, int total)
{
    if (total < 50)
        return; // a few files are taken in at once: nothing worth showing
    emit progressChanged(QStringLiteral("検索の索引を作成中… %1%").arg(done * 100 / total));
}

void BookSearch::indexUpdated(int unreadable, const QString &failure)
{
    m_unreadable = unreadable;
    m_indexFailure = failure;
    if (!m_indexer.isBusy())
        emit progressChanged(QString());
    if (m_views.results.isOpen() && !m_views.results.query().trimmed().isEmpty())
        runQuery();
}

void BookSearch::open()
{
    m_views.results.open();
    if (!m_indexer.isBusy())
        indexBook(); // brings in whatever changed since
}

void BookSearch::runQuery()
{
    SearchResults &results = m_views.results;
    search::SearchIndex reader(indexPath(), search::SearchIndex::Role::Reader);
    search::SearchAnswer answer = reader.search(results.query(), {results.kana(), kShownResults});
    // Built again once; the query runs again when that is done. An index still
    // damaged then is not built again and again.
    if (answer.damaged && !m_rebuildAsked)
        m_indexer.rebuildBook(bookToIndex());
    m_rebuildAsked = answer.damaged;
    search::orderByTree(answer.hits, search::indexedItems(m_book.tree()));
    m_hits = std::move(answer.hits);
    std::vector<SearchResults::Row> rows;
    rows.reserve(m_hits.size());
    for (const SearchHit &hit : m_hits)
        rows.push_back({search::treePath(*m_book.tree().item(hit.key)), placeText(hit), hit.snippet, hit.marks});
    results.showRows(rows);

    QStringList footer;
    if (answer.damaged) {
        footer << QStringLiteral("検索用の索引が壊れていたため、作り直しています。");
    } else if (!answer.indexError.isEmpty()) {
        footer << answer.indexError;
    } else if (!answer.message.isEmpty()) {
        footer << answer.message;
    } else if (!results.query().trimmed().isEmpty()) {
        if (m_hits.empty())
            footer << QStringLiteral("見つかりませんでした。");
        else
            footer << QStringLiteral("%1 件").arg(m_hits.size())
                          + (answer.more ? QStringLiteral("（最初の %1 件を表示しています）").arg(kShownResults) : QString());
    }
    if (m_unreadable > 0)
        footer << QStringLiteral("読めなかったファイル: %1").arg(m_unreadable);
    if (!m_indexFailure.isEmpty())
        footer << m_indexFailure;
    if (isIndexing())
        footer << QStringLiteral("索引を作成中です。結果はまだそろっていません。");
    results.setFooter(footer.join(QStringLiteral("　")));
}

void BookSearch::choose(int row)
{
    if (row < 0 || row >= static_cast<int>(m_hits.size()))
        return;
    const SearchHit hit = m_hits[static_cast<size_t>(row)];
    ItemTree &tree = m_book.tree();
    TreeItem *item = tree.item(hit.key);
    if (!item || !m_display.views().status.isTreeEnabled())
        return; // a page is loading: the tree takes no click now either
    const bool shownAlready = m_book.shown().key() == hit.key;
    tree.ensureVisible(item);
    tree.select(item);
    m_display.showItem(item); // as a click does: the text shown so far is stored first
    if (m_book.shown().key() != hit.key)
        return; // the item could not be shown (a note could not be stored)
    m_marking = Marking{hit};
    const std::optional<QString> page = m_book.workingFolder().pageSettings().pagePath(hit.key);
    const bool pageLoads = kindOf(*item) == ItemKind::Homepage && page
                           && QFileInfo(pagePathFor(*page, m_book.bookPath(), m_book.appPath())).isFile();
    if (!shownAlready && pageLoads)
        awaitPage();
    else
        continueMarking();
}

void BookSearch::pageLoaded()
{
    if (m_pageWait.isActive()) {
        m_pageWait.stop();
        continueMarking();
    }
}

void BookSearch::awaitPage()
{
    m_pageWait.start();
}

QString BookSearch::pageNamed(const QString &baseName) const
{
    const QDir folder(QFileInfo(m_book.shown().pagePath()).absolutePath());
    for (const QString &name : folder.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files)) {
        if (pageBaseName(name) == baseName)
            return folder.filePath(name);
    }
    return QString();
}

QString BookSearch::pageWithMatch(const SearchHit &hit) const
{
    if (hit.place == Place::Page && !samePath(m_book.shown().browserAddress(), hit.page))
        return hit.page;
    if (hit.place == Place::SideText && m_book.shown().pageTextName() != pageTextName(hit.key, hit.page))
        return pageNamed(hit.page);
    return QString(); // the match is in what the panes show
}

void BookSearch::continueMarking()
{
    m_pageWait.stop();
    if (!m_marking || m_book.shown().key() != m_marking->hit.key) {
        m_marking.reset();
        return;
    }
    // A match in another page of the item, or in another page's side text: that page is opened first.
    const QString otherPage = pageWithMatch(m_marking->hit);
    if (!otherPage.isEmpty() && !m_marking->otherPageAsked) {
        m_marking->otherPageAsked = true;
        awaitPage();
        m_display.views().page.navigate(otherPage);
        return;
    }
    const SearchHit hit = m_marking->hit;
    m_marking.reset();
    markMatch(hit);
}

void BookSearch::markMatch(const SearchHit &hit)
{
    if (hit.place == Place::Caption) {
        m_views.marker.unmark(); // the tree shows the item: nothing in the panes to mark
        return;
    }
    // A homepage item with the pane of the match hidden shows both.
    CommandState &tabs = m_display.views().commands;
    if (tabs.selectedTab() == (hit.place == Place::Page ? arrangement::Text : arrangement::Html))
        tabs.selectTab(arrangement::UpDown);
    if (hit.place == Place::Page)
        m_views.marker.markInPage(hit.matchedText);
    else
        m_views.marker.markInNote(hit.matchedText);
}

} // namespace kobin
