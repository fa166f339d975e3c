#pragma once

#include "ItemTree.h"
#include "SearchIndex.h"
#include "SearchIndexer.h"

#include <QObject>
#include <QTimer>
#include <optional>
#include <vector>

namespace kobin {

class Book;
class CommandRegistry;
class ItemDisplay;
class MatchMarker;
class SearchResults;

// The search in the whole book ("ブック内を検索"): the index kept up to date in
// the background as the book is opened, edited and its notes stored; the query
// run over it, its results in the order of the tree; and a chosen result shown
// as a click in the tree shows its item, then, when the match is in another page
// of the item or in that page's side text, that page, and then its match marked.
class BookSearch : public QObject, private ItemTreeObserver
{
    Q_OBJECT

public:
    struct Views {
        SearchResults &results;
        MatchMarker &marker;
    };

    // display shows the chosen items (and gives the page, the arrangement and the tree's state).
    BookSearch(Book &book, ItemDisplay &display, Views views, QObject *parent = nullptr);
    ~BookSearch() override;

    void bindCommands(CommandRegistry &commands);
    // Opens the results pane; the index takes in whatever changed since.
    void open();
    // The query or its options changed.
    void runQuery();
    // The results shown, in order.
    const std::vector<search::SearchHit> &hits() const { return m_hits; }
    void choose(int row);
    // The page pane has loaded a page (or given up on it).
    void pageLoaded();
    // A note or side text was written to path: taken into the index at once.
    void noteStored(const QString &path);
    // Whether the index is being brought up to date.
    bool isIndexing() const { return m_indexer.isBusy() || m_updateSoon.isActive(); }

signals:
    // How far the index has come ("検索の索引を作成中… 40%"); empty once it is up to date.
    void progressChanged(const QString &text);

private:
    QString indexPath() const;
    search::SearchIndexer::Book bookToIndex() const;
    void indexBook();
    void showProgress(int done, int total);
    void indexUpdated(int unreadable, const QString &failure);
    void awaitPage();
    void continueMarking();
    QString pageWithMatch(const search::SearchHit &hit) const;
    QString pageNamed(const QString &baseName) const;
    void markMatch(const search::SearchHit &hit);

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
    ItemDisplay &m_display;
    Views m_views;
    search::SearchIndexer m_indexer;
    QTimer m_updateSoon;
    std::vector<search::SearchHit> m_hits;
    int m_unreadable = 0;
    QString m_indexFailure; // why the last update could not write the index
    bool m_rebuildAsked = false; // the last query found the index damaged

    // A chosen result whose item shows a page that is loading: its match is
    // marked once the page has loaded (or after a while, if it never says so).
    struct Marking {
        search::SearchHit hit;
        bool otherPageAsked = false; // the page the match is in has been asked for
    };
    std::optional<Marking> m_marking;
    QTimer m_pageWait;
};

} // namespace kobin
