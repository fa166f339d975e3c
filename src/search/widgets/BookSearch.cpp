#include "BookSearch.h"

#include "Book.h"
#include "BrowserPane.h"
#include "CommandRegistry.h"
#include "FindBar.h"
#include "ItemKinds.h"
#include "ItemTreeModel.h"
#include "MainWindow.h"
#include "PageLocator.h"
#include "PageNames.h"
#include "SearchPane.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "TreePane.h"

#include <QApplication>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>

namespace kobin::search {

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

bool isWithin(const QWidget *widget, const QWidget *ancestor)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == ancestor)
            return true;
    }
    return false;
}

QString placeText(const SearchHit &hit)
{
    if (hit.place == Place::Page)
        return placeName(hit.place) + QStringLiteral(" (") + QFileInfo(hit.page).fileName() + u')';
    return placeName(hit.place);
}

} // namespace

BookSearch::BookSearch(Book &book, MainWindow &window, QObject *parent)
    : QObject(parent), m_book(book), m_window(window)
{
    m_findBar = new FindBar(window.textPane());
    m_pane = new SearchPane;
    m_dock = new QDockWidget(QStringLiteral("ブック内を検索"), &window);
    m_dock->setObjectName(QStringLiteral("dockSearch"));
    m_dock->setWidget(m_pane);
    m_dock->setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    window.addDockWidget(Qt::BottomDockWidgetArea, m_dock);
    m_dock->hide();
    m_progress = new QLabel;
    m_progress->setObjectName(QStringLiteral("lblIndexProgress"));
    window.statusPanels()->addPermanentWidget(m_progress);
    m_progress->hide();

    m_updateSoon.setSingleShot(true);
    m_updateSoon.setInterval(kTreeSettleMs);
    connect(&m_updateSoon, &QTimer::timeout, this, &BookSearch::indexBook);
    m_pageWait.setSingleShot(true);
    m_pageWait.setInterval(kLongestPageWaitMs);
    connect(&m_pageWait, &QTimer::timeout, this, &BookSearch::continueMarking);
    m_book.tree().addObserver(this);

    connect(&m_book, &Book::replaced, this, [this] {
        m_findBar->close();
        m_hits.clear();
        m_pane->showRows({});
        m_pane->setFooter(QString());
        m_unreadable = 0;
        m_indexFailure.clear();
        m_updateSoon.start();
    });
    connect(&m_indexer, &SearchIndexer::progress, this, [this](const QString &path, int done, int total) {
        if (path == indexPath())
            showProgress(done, total);
    });
    connect(&m_indexer, &SearchIndexer::updated, this, [this](const QString &path, int unreadable, const QString &failure) {
        if (path == indexPath())
            indexUpdated(unreadable, failure);
    });
    connect(m_pane, &SearchPane::queryChanged, this, &BookSearch::runQuery);
    connect(m_pane, &SearchPane::rowChosen, this, &BookSearch::choose);
    connect(m_findBar, &FindBar::textEdited, this, [this] {
        if (m_findBar->target() == m_window.browserPane())
            findInPage(false);
        else
            findInNote(false, true);
    });
    connect(m_findBar, &FindBar::nextWanted, this, [this] { findAgain(false); });
    connect(m_findBar, &FindBar::previousWanted, this, [this] { findAgain(true); });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_window.textPane()->setExtraSelections({});
        m_window.browserPane()->findText(QString(), false, [](int, int) {});
    });
}

BookSearch::~BookSearch()
{
    m_book.tree().removeObserver(this);
}

void BookSearch::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::Find, [this] { openFindBar(); });
    commands.bind(Command::FindNext, [this] { findAgain(false); });
    commands.bind(Command::FindPrevious, [this] { findAgain(true); });
    commands.bind(Command::FindInBook, [this] { openBookSearch(); });
}

QString BookSearch::indexPath() const
{
    return SearchIndex::locationFor(m_book.bookPath());
}

SearchIndexer::Book BookSearch::bookToIndex() const
{
    return {indexPath(), indexedItems(m_book.tree()), m_book.workingFolder(), {m_book.bookPath(), m_book.appPath()}};
}

void BookSearch::indexBook()
{
    m_indexer.updateBook(bookToIndex());
}

void BookSearch::noteStored(const QString &path)
{
    const ItemTree &tree = m_book.tree();
    std::optional<Source> source = contentFileSource(QFileInfo(path).fileName(), path,
                                                     [&tree](const QString &key) -> std::optional<ItemKind> {
                                                         const TreeItem *item = tree.item(key);
                                                         return item ? std::optional<ItemKind>(kindOf(*item))
                                                                     : std::nullopt;
                                                     });
    if (source)
        m_indexer.updateSource(indexPath(), std::move(*source));
}

void BookSearch::showProgress(int done, int total)
{
    if (total < 50)
        return; // a few files are taken in at once: nothing worth showing
    m_progress->setText(QStringLiteral("検索の索引を作成中… %1%").arg(done * 100 / total));
    m_progress->show();
}

void BookSearch::indexUpdated(int unreadable, const QString &failure)
{
    m_unreadable = unreadable;
    m_indexFailure = failure;
    if (!m_indexer.isBusy())
        m_progress->hide();
    if (m_dock->isVisible() && !m_pane->query().trimmed().isEmpty())
        runQuery();
}

void BookSearch::openBookSearch()
{
    if (!m_dock->isVisible())
        m_window.resizeDocks({m_dock}, {m_window.height() / 3}, Qt::Vertical); // the panes keep most of the window
    m_dock->show();
    m_dock->raise();
    m_pane->focusQuery();
    if (!m_indexer.isBusy())
        indexBook(); // brings in whatever changed since
}

void BookSearch::runQuery()
{
    SearchIndex reader(indexPath(), SearchIndex::Role::Reader);
    SearchAnswer answer = reader.search(m_pane->query(), {m_pane->kana(), kShownResults});
    // Built again once; the query runs again when that is done. An index still
    // damaged then is not built again and again.
    if (answer.damaged && !m_rebuildAsked)
        m_indexer.rebuildBook(bookToIndex());
    m_rebuildAsked = answer.damaged;
    orderByTree(answer.hits, indexedItems(m_book.tree()));
    m_hits = std::move(answer.hits);
    std::vector<SearchPane::Row> rows;
    rows.reserve(m_hits.size());
    for (const SearchHit &hit : m_hits)
        rows.push_back({treePath(*m_book.tree().item(hit.key)), placeText(hit), hit.snippet, hit.marks});
    m_pane->showRows(rows);

    QStringList footer;
    if (answer.damaged) {
        footer << QStringLiteral("検索用の索引が壊れていたため、作り直しています。");
    } else if (!answer.indexError.isEmpty()) {
        footer << answer.indexError;
    } else if (!answer.message.isEmpty()) {
        footer << answer.message;
    } else if (!m_pane->query().trimmed().isEmpty()) {
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
    m_pane->setFooter(footer.join(QStringLiteral("　")));
    emit resultsShown();
}

void BookSearch::choose(int row)
{
    if (row < 0 || row >= static_cast<int>(m_hits.size()))
        return;
    const SearchHit hit = m_hits[static_cast<size_t>(row)];
    ItemTree &tree = m_book.tree();
    TreeItem *item = tree.item(hit.key);
    TreePane *pane = m_window.treePane();
    if (!item || !pane->isEnabled())
        return; // a page is loading: the tree takes no click now either
    const bool shownAlready = m_book.currentKey() == hit.key;
    tree.ensureVisible(item);
    const QModelIndex index = pane->itemModel().indexOf(item);
    pane->setCurrentIndex(index); // the same road as a click: the text shown so far is stored first
    pane->scrollTo(index);
    if (m_book.currentKey() != hit.key)
        return; // the item could not be shown (a note could not be stored)
    m_marking = hit;
    m_navigatedForMark = false;
    const std::optional<QString> page = m_book.workingFolder().pagePath(hit.key);
    const bool pageLoads = kindOf(*item) == ItemKind::Homepage && page
                           && QFileInfo(pagePathFor(*page, m_book.bookPath(), m_book.appPath())).isFile();
    if (!shownAlready && pageLoads)
        awaitPage();
    else
        continueMarking();
}

void BookSearch::awaitPage()
{
    disconnect(m_pageLoaded);
    m_pageLoaded = connect(m_window.browserPane(), &BrowserPane::loadFinished, this, [this] {
        disconnect(m_pageLoaded);
        m_pageWait.stop();
        continueMarking();
    });
    m_pageWait.start();
}

QString BookSearch::pageNamed(const QString &baseName) const
{
    const QDir folder(QFileInfo(m_book.pagePath()).absolutePath());
    for (const QString &name : folder.entryList({QStringLiteral("*.htm"), QStringLiteral("*.html")}, QDir::Files)) {
        if (pageBaseName(name) == baseName)
            return folder.filePath(name);
    }
    return QString();
}

void BookSearch::continueMarking()
{
    disconnect(m_pageLoaded);
    if (!m_marking || m_book.currentKey() != m_marking->key) {
        m_marking.reset();
        return;
    }
    const SearchHit hit = *m_marking;
    // A match in another page of the item, or in another page's side text: that page is opened first.
    QString otherPage;
    if (hit.place == Place::Page && !samePath(m_book.currentPagePath(), hit.page))
        otherPage = hit.page;
    else if (hit.place == Place::SideText && m_book.pageTextName() != pageTextName(hit.key, hit.page))
        otherPage = pageNamed(hit.page);
    if (!otherPage.isEmpty() && !m_navigatedForMark) {
        m_navigatedForMark = true;
        awaitPage();
        m_window.browserPane()->navigate(QUrl::fromLocalFile(otherPage));
        return;
    }
    m_marking.reset();
    markMatch(hit);
}

void BookSearch::markMatch(const SearchHit &hit)
{
    if (hit.place == Place::Caption) {
        m_findBar->close(); // the tree shows the item: nothing in the panes to mark
    } else {
        QWidget *pane = hit.place == Place::Page ? static_cast<QWidget *>(m_window.browserPane()) : m_window.textPane();
        if (!pane->isVisible())
            m_window.showArrangement(QStringLiteral("updown")); // a homepage item with one of its panes hidden
        m_findBar->setText(hit.matchedText);
        if (hit.place == Place::Page) {
            m_findBar->openOver(m_window.browserPane());
            findInPage(false);
        } else {
            m_findBar->openOver(m_window.textPane());
            m_window.textPane()->moveCursor(QTextCursor::Start);
            findInNote(false, true);
        }
    }
    emit matchMarked();
}

void BookSearch::openFindBar()
{
    BrowserPane *browser = m_window.browserPane();
    TextPane *text = m_window.textPane();
    const bool page = browser->isVisible() && browser->hasEngine() && isWithin(QApplication::focusWidget(), browser);
    if (!page) {
        const QString selected = text->textCursor().selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
            m_findBar->setText(selected);
    }
    m_findBar->openOver(page ? static_cast<QWidget *>(browser) : text);
}

void BookSearch::findAgain(bool backward)
{
    if (!m_findBar->isOpen() || m_findBar->text().isEmpty()) {
        openFindBar();
        return;
    }
    if (m_findBar->target() == m_window.browserPane())
        findInPage(backward);
    else
        findInNote(backward, false);
}

void BookSearch::findInNote(bool backward, bool fromHere)
{
    TextPane *edit = m_window.textPane();
    const std::vector<TextRange> ranges
        = findPhrase(edit->document()->toRawText(), m_findBar->text(), KanaMatching::Distinct, 100000);
    QList<QTextEdit::ExtraSelection> marks;
    for (const TextRange &range : ranges) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(edit->document());
        mark.cursor.setPosition(static_cast<int>(range.start));
        mark.cursor.setPosition(static_cast<int>(range.start + range.length), QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(0xff, 0xe2, 0x7a));
        marks.append(mark);
    }
    edit->setExtraSelections(marks);
    if (ranges.empty()) {
        m_findBar->showOutcome(0, 0);
        return;
    }
    // Typing stays on the match at the cursor; next and previous move from it, round the end.
    const qsizetype at = edit->textCursor().selectionStart();
    size_t chosen = 0;
    if (backward) {
        chosen = ranges.size() - 1;
        for (size_t i = ranges.size(); i > 0; --i) {
            if (ranges[i - 1].start < at) {
                chosen = i - 1;
                break;
            }
        }
    } else {
        for (size_t i = 0; i < ranges.size(); ++i) {
            if (fromHere ? ranges[i].start >= at : ranges[i].start > at) {
                chosen = i;
                break;
            }
        }
    }
    QTextCursor cursor(edit->document());
    cursor.setPosition(static_cast<int>(ranges[chosen].start));
    cursor.setPosition(static_cast<int>(ranges[chosen].start + ranges[chosen].length), QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    m_findBar->showOutcome(static_cast<int>(chosen) + 1, static_cast<int>(ranges.size()));
}

void BookSearch::findInPage(bool backward)
{
    QPointer<FindBar> bar = m_findBar;
    m_window.browserPane()->findText(m_findBar->text(), backward, [bar](int active, int total) {
        if (bar)
            bar->showOutcome(active, total);
    });
}

} // namespace kobin::search
