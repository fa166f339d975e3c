#pragma once

#include "ItemTree.h"
#include "SearchIndex.h"
#include "SearchIndexer.h"

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

class QDockWidget;
class QLabel;

namespace kobin {
class Book;
class CommandRegistry;
class MainWindow;
} // namespace kobin

namespace kobin::search {

class FindBar;
class SearchPane;

// Search in the window: the find bar over the note or the page shown ("検索",
// "次を検索", "前を検索"), and the search in the whole book ("ブック内を検索")
// with its results pane, the index kept up to date in the background (progress
// in the status bar) as the book is opened, edited and its notes stored.
// Choosing a result shows its item as a click in the tree does, then marks the
// match in the note or the page.
class BookSearch : public QObject, private ItemTreeObserver
{
    Q_OBJECT

public:
    BookSearch(Book &book, MainWindow &window, QObject *parent = nullptr);
    ~BookSearch() override;

    void bindCommands(CommandRegistry &commands);
    // A note or side text was written to path: taken into the index at once.
    void noteStored(const QString &path);

    FindBar &findBar() { return *m_findBar; }
    SearchPane &pane() { return *m_pane; }
    QDockWidget &dock() { return *m_dock; }
    // The results shown, in order.
    const std::vector<SearchHit> &hits() const { return m_hits; }
    void choose(int row);
    // Whether the index is being brought up to date.
    bool isIndexing() const { return m_indexer.isBusy() || m_updateSoon.isActive(); }

signals:
    // The results pane shows the results of the query (for whoever waits on them).
    void resultsShown();
    // A chosen result's match is marked in the note or the page.
    void matchMarked();

private:
    void openFindBar();
    void findAgain(bool backward);
    void findInNote(bool backward, bool fromStart);
    void findInPage(bool backward);
    void openBookSearch();
    SearchIndexer::Book bookToIndex() const;
    void indexBook();
    QString indexPath() const;
    void runQuery();
    void showProgress(int done, int total);
    void indexUpdated(int unreadable, const QString &failure);
    void continueMarking();
    void awaitPage();
    void markMatch(const SearchHit &hit);
    QString pageNamed(const QString &baseName) const;

    // Any change of the tree: captions, moves and deletions reach the index soon.
    void itemAboutToBeAdded(TreeItem *, int) override {}
    void itemAdded(TreeItem *) override { m_updateSoon.start(); }
    void itemAboutToBeRemoved(TreeItem *) override {}
    void itemRemoved() override { m_updateSoon.start(); }
    void treeAboutToBeCleared() override {}
    void treeCleared() override { m_updateSoon.start(); }
    void itemChanged(TreeItem *) override { m_updateSoon.start(); }
    void selectionChanged(TreeItem *) override {}

    Book &m_book;
    MainWindow &m_window;
    SearchIndexer m_indexer;
    FindBar *m_findBar;
    SearchPane *m_pane;
    QDockWidget *m_dock;
    QLabel *m_progress;
    QTimer m_updateSoon;
    QTimer m_pageWait;
    std::vector<SearchHit> m_hits;
    int m_unreadable = 0;
    QString m_indexFailure; // why the last update could not write the index
    bool m_rebuildAsked = false; // the last query found the index damaged
    std::optional<SearchHit> m_marking; // a chosen result whose match is still to be marked
    bool m_navigatedForMark = false;
    QMetaObject::Connection m_pageLoaded;
};

} // namespace kobin::search
