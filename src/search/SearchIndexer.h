#pragma once

#include "BookSources.h"
#include "WorkingFolder.h"

#include <QObject>
#include <QThread>
#include <atomic>
#include <vector>

namespace kobin::search {

// Keeps the open book's index up to date on a thread of its own, so that the
// window stays responsive while a large book is indexed. Requests are taken in
// order; a request for another book stops the update running for the last one.
class SearchIndexer : public QObject
{
    Q_OBJECT

public:
    // The book as it is when an update is asked for: the update reads files only.
    struct Book {
        QString indexPath;
        std::vector<IndexedItem> items;
        WorkingFolder folder;
        BookLocation location;
    };

    explicit SearchIndexer(QObject *parent = nullptr);
    ~SearchIndexer() override;

    // Brings the book's index up to date: what changed since the last update.
    void updateBook(Book book);
    // Throws the book's index away and builds it again (a search found it damaged).
    void rebuildBook(Book book);
    // Takes in one source now, after the updates asked for before it.
    void updateSource(const QString &indexPath, Source source);

    bool isBusy() const { return m_pending.load() > 0; }

signals:
    // How far the update of the index at indexPath has come.
    void progress(const QString &indexPath, int done, int total);
    // An update or a source taken in is done; unreadable files of the book
    // counted, and why the index could not be written when it could not.
    void updated(const QString &indexPath, int unreadable, const QString &failure);

private:
    void requestBook(Book book, bool rebuild);

    QThread m_thread;
    QObject *m_worker; // lives on m_thread
    std::atomic<int> m_pending{0};
    std::atomic<quint64> m_bookRequests{0};
};

} // namespace kobin::search
