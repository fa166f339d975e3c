#include "SearchIndexer.h"

#include "SearchIndex.h"

#include <memory>
#include <optional>

namespace kobin::search {

namespace {

// Progress is told every so many files, not for each one.
constexpr int kProgressStep = 100;

// The writer of the index it was last asked about, on the indexing thread.
class IndexWorker : public QObject
{
public:
    // The book last asked for: an index found damaged as a note is taken in is built again from it.
    std::optional<SearchIndexer::Book> lastBook;

    SearchIndex &index(const QString &path)
    {
        if (!m_index || m_path != path) {
            m_index.reset();
            m_index = std::make_unique<SearchIndex>(path, SearchIndex::Role::Writer);
            m_path = path;
        }
        return *m_index;
    }

private:
    QString m_path;
    std::unique_ptr<SearchIndex> m_index;
};

} // namespace

SearchIndexer::SearchIndexer(QObject *parent) : QObject(parent), m_worker(new IndexWorker)
{
    m_thread.setObjectName(QStringLiteral("search index"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start(QThread::LowPriority);
}

SearchIndexer::~SearchIndexer()
{
    ++m_bookRequests; // stops an update under way at its next file
    m_thread.quit();
    m_thread.wait();
}

void SearchIndexer::updateBook(Book book)
{
    requestBook(std::move(book), false);
}

void SearchIndexer::rebuildBook(Book book)
{
    requestBook(std::move(book), true);
}

void SearchIndexer::requestBook(Book book, bool rebuild)
{
    const quint64 request = ++m_bookRequests;
    ++m_pending;
    auto *worker = static_cast<IndexWorker *>(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, worker, request, rebuild, book = std::move(book)] {
        SearchIndex &index = worker->index(book.indexPath);
        worker->lastBook = book;
        // A request for a later book makes this one moot.
        if (request == m_bookRequests.load()) {
            const std::vector<Source> sources = bookSources(book.items, book.folder, book.location);
            const SearchIndex::Progress tell = [this, request, &book](int done, int total) {
                if (total > 0 && (done % kProgressStep == 0 || done == total))
                    emit progress(book.indexPath, done, total);
                return request == m_bookRequests.load();
            };
            rebuild ? index.rebuild(sources, tell) : index.update(sources, tell);
        }
        --m_pending;
        emit updated(book.indexPath, index.unreadableCount(), index.failure());
    });
}

void SearchIndexer::updateSource(const QString &indexPath, Source source)
{
    ++m_pending;
    auto *worker = static_cast<IndexWorker *>(m_worker);
    QMetaObject::invokeMethod(m_worker, [this, worker, indexPath, source = std::move(source)] {
        SearchIndex &index = worker->index(indexPath);
        const Book *book = worker->lastBook && worker->lastBook->indexPath == indexPath ? &*worker->lastBook : nullptr;
        const quint64 request = m_bookRequests.load();
        if (!index.updateSource(source) && index.isDamaged() && book)
            index.rebuild(bookSources(book->items, book->folder, book->location),
                          [this, request](int, int) { return request == m_bookRequests.load(); });
        --m_pending;
        emit updated(indexPath, index.unreadableCount(), index.failure());
    });
}

} // namespace kobin::search
