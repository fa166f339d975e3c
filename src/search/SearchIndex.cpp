#include "SearchIndex.h"

#include "CandidateQuery.h"
#include "IndexDiff.h"
#include "IndexFiles.h"
#include "Snippet.h"
#include "SourceContent.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <QStandardPaths>
#include <algorithm>
#include <cstring>

namespace kobin::search {

namespace {

// Changes whenever what the index holds or how text is folded changes: an index
// of another version is rebuilt.
const QString kSchemaVersion = QStringLiteral("kobin-search-6");

// Changes are committed in batches, so that searches see an index being built
// grow, and a stopped update keeps what it did.
constexpr int kBatchSize = 2000;
// Text held back for FTS5 at most (characters), whatever the size of a batch.
constexpr qsizetype kMostHeldBack = 16 * 1024 * 1024;

// A single note stored waits no longer than this: the next update takes it in.
constexpr int kSourceLockWaitMs = 5000;

} // namespace

// The statements an update runs for each source, prepared once.
struct SearchIndex::Writes {
    explicit Writes(SqliteDatabase &db)
        : upsert(db, "INSERT INTO docs(source, size, time, digest, readable, key, place, page)"
                     " VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8) ON CONFLICT(source) DO UPDATE SET"
                     " size = excluded.size, time = excluded.time, digest = excluded.digest,"
                     " readable = excluded.readable, key = excluded.key, place = excluded.place,"
                     " page = excluded.page RETURNING id"),
          // Most text folds to itself: it is kept once.
          text(db, "INSERT OR REPLACE INTO texts(id, original, folded, alignments) VALUES(?1, ?2, nullif(?3, ?2), ?4)"),
          unindex(db, "DELETE FROM words WHERE rowid = ?1"),
          index(db, "INSERT INTO words(rowid, body) VALUES(?1, ?2)"),
          unstore(db, "DELETE FROM texts WHERE id = ?1"),
          remove(db, "DELETE FROM docs WHERE id = ?1")
    {
    }
    SqliteStatement upsert;
    SqliteStatement text;
    SqliteStatement unindex;
    SqliteStatement index;
    SqliteStatement unstore;
    SqliteStatement remove;

    // The trigrams of a source, held back until the other writes of a batch are
    // done: any other statement run while FTS5 holds trigrams not yet written
    // makes it write them (it takes a savepoint), a source at a time, several
    // times slower than a batch at once.
    struct Words {
        qint64 id;
        bool unindex;                // it was indexed before
        std::optional<QString> body; // nothing for a source that cannot be read
    };
    std::vector<Words> words;
    qsizetype heldBack = 0; // characters of text in words
};

namespace {

class Transaction
{
public:
    explicit Transaction(SqliteDatabase &db) : m_db(db) { m_db.exec("BEGIN IMMEDIATE"); }
    ~Transaction() { m_db.exec(m_db.failed() ? "ROLLBACK" : "COMMIT"); }
    bool renew() { return m_db.exec("COMMIT") && m_db.exec("BEGIN IMMEDIATE"); }

private:
    SqliteDatabase &m_db;
};

} // namespace

void orderByTree(std::vector<SearchHit> &hits, const std::vector<IndexedItem> &items)
{
    QHash<QString, int> order;
    for (const IndexedItem &item : items)
        order.insert(item.key, static_cast<int>(order.size()));
    hits.erase(std::remove_if(hits.begin(), hits.end(), [&order](const SearchHit &hit) { return !order.contains(hit.key); }),
               hits.end());
    std::stable_sort(hits.begin(), hits.end(), [&order](const SearchHit &a, const SearchHit &b) {
        const int first = order.value(a.key);
        const int second = order.value(b.key);
        return first != second ? first < second : int(a.place) < int(b.place);
    });
}

SearchIndex::SearchIndex(const QString &path, Role role) : m_path(path)
{
    // A file being made, of another version or damaged is not read: its writer builds it again.
    if (role == Role::Reader && QFileInfo::exists(path) && openIndex(m_db, path, SqliteDatabase::Access::ReadOnly)
        && !hasCurrentSchema())
        m_db.close();
}

QString SearchIndex::locationFor(const QString &bookPath)
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                           + QStringLiteral("/Kobin/search/");
    if (bookPath.isEmpty())
        return folder + QStringLiteral("new-book.sqlite");
    const QFileInfo info(bookPath);
    const QString identity = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    const QByteArray digest = QCryptographicHash::hash(identity.toUtf8(), QCryptographicHash::Sha1).toHex();
    return folder + info.completeBaseName().left(32) + u'-' + QString::fromLatin1(digest.left(16))
           + QStringLiteral(".sqlite");
}

bool SearchIndex::hasCurrentSchema()
{
    m_db.clearFailure();
    SqliteStatement version(m_db, "SELECT value FROM meta WHERE name = 'schema'");
    return version.next() && version.text(0) == kSchemaVersion && !m_db.failed();
}

bool SearchIndex::fail(const QString &failure)
{
    m_failure = failure;
    return false;
}

bool SearchIndex::lockForWriting(QLockFile &lock, const Progress &progress)
{
    QString failure;
    if (lockIndex(lock, m_path, [&progress] { return !progress || progress(0, 0); }, failure))
        return true;
    return failure.isEmpty() ? false : fail(failure);
}

bool SearchIndex::openForWriting(bool discard)
{
    const auto cannotMake = [this] {
        return fail(QStringLiteral("検索用の索引「 ") + QDir::toNativeSeparators(m_path) + QStringLiteral(" 」を作れません（")
                    + m_db.failureText() + QStringLiteral("）。"));
    };
    if (!m_db.isOpen()) {
        if (!openIndex(m_db, m_path, SqliteDatabase::Access::ReadWrite))
            return cannotMake();
        m_db.exec("PRAGMA synchronous = OFF"); // a cache: a crash costs a rebuild at most
        discard = discard || !looksWhole();
    }
    if (!discard && hasCurrentSchema())
        return true;
    // Damaged, of another version, or not an index at all: it is only a cache.
    // Emptied in place, a file another program reads stays the one it reads;
    // only a file SQLite cannot even empty is removed.
    if (!m_db.resetToEmpty()) {
        m_db.close();
        removeDatabaseFiles(m_path);
        if (!keepToUser(m_path) || !openIndex(m_db, m_path, SqliteDatabase::Access::ReadWrite))
            return cannotMake();
    }
    return createSchema() || cannotMake();
}

bool SearchIndex::looksWhole()
{
    // Damage that no query has come upon yet is looked for once. The sources and
    // their index are read through by every update (counted through the index,
    // then read), which meets any damage in them; the text and the trigrams, a
    // hundred times larger, are only entered at their roots, as reading them
    // through would cost a second for every 100,000 notes at each start. Damage
    // deeper in them is met by the search that reads it, and the index is built
    // again then.
    QList<QByteArray> tables;
    SqliteStatement names(m_db, "SELECT name FROM sqlite_schema WHERE type = 'table' AND rootpage > 0");
    while (names.next())
        tables.append(names.text(0).toUtf8().replace('"', "\"\""));
    for (const QByteArray &table : tables) {
        SqliteStatement first(m_db, ("SELECT 1 FROM \"" + table + "\" LIMIT 1").constData());
        first.next();
    }
    return !m_db.failed();
}

bool SearchIndex::createSchema()
{
    SqliteDatabase &db = m_db;
    // Made in one transaction: a reader sees no index or a whole one.
    if (!(db.exec("PRAGMA encoding = 'UTF-16le'") && db.exec("PRAGMA journal_mode = WAL") && db.exec("BEGIN IMMEDIATE")
          && db.exec("CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT NOT NULL)")
          // What tells which files to read again, apart from the text: an update reads it whole.
          && db.exec("CREATE TABLE docs(id INTEGER PRIMARY KEY, source TEXT NOT NULL UNIQUE, size INTEGER NOT NULL,"
                     " time INTEGER NOT NULL, digest INTEGER NOT NULL, readable INTEGER NOT NULL, key TEXT NOT NULL,"
                     " place INTEGER NOT NULL, page TEXT NOT NULL)")
          // folded is NULL where it is the original itself.
          && db.exec("CREATE TABLE texts(id INTEGER PRIMARY KEY, original TEXT NOT NULL, folded TEXT,"
                     " alignments BLOB NOT NULL)")
          && db.exec("CREATE VIRTUAL TABLE words USING fts5(body, tokenize = 'trigram case_sensitive 1',"
                     " detail = column)")
          && db.exec("CREATE VIRTUAL TABLE words_vocabulary USING fts5vocab(words, 'row')")))
        return false;
    SqliteStatement version(db, "INSERT INTO meta(name, value) VALUES('schema', ?1)");
    if (version.bind(1, kSchemaVersion).run() && db.exec("COMMIT"))
        return true;
    db.exec("ROLLBACK");
    return false;
}

bool SearchIndex::update(const std::vector<Source> &sources, const Progress &progress)
{
    return updateWith(sources, progress, false);
}

bool SearchIndex::rebuild(const std::vector<Source> &sources, const Progress &progress)
{
    return updateWith(sources, progress, true);
}

bool SearchIndex::updateWith(const std::vector<Source> &sources, const Progress &progress, bool discard)
{
    m_failure.clear();
    QLockFile lock(m_path + QStringLiteral(".lock"));
    if (!lockForWriting(lock, progress) || !openForWriting(discard || m_db.damaged()))
        return false;
    if (runUpdate(sources, progress))
        return true;
    if (m_db.damaged() && openForWriting(true) && runUpdate(sources, progress))
        return true;
    if (m_db.failed())
        fail(QStringLiteral("検索用の索引「 ") + QDir::toNativeSeparators(m_path) + QStringLiteral(" 」に書き込めません（")
             + m_db.failureText() + QStringLiteral("）。"));
    return false;
}

bool SearchIndex::runUpdate(const std::vector<Source> &sources, const Progress &progress)
{
    const std::optional<IndexDiff> diff = diffWithIndex(m_db, sources);
    if (!diff)
        return false;
    const int total = static_cast<int>(diff->changes.size() + diff->stale.size());
    int done = 0;
    Transaction transaction(m_db);
    Writes writes(m_db);
    for (const qint64 id : diff->stale) {
        if (!drop(writes, id))
            return false;
        ++done;
    }
    if (!indexWords(writes))
        return false;
    SqliteStatement restamp(m_db, "UPDATE docs SET time = ?2 WHERE id = ?1");
    for (const auto &[id, time] : diff->copied) {
        if (!restamp.bind(1, id).bind(2, time).run())
            return false;
    }
    for (const IndexDiff::Change &change : diff->changes) {
        if (!store(writes, *change.source, change.size, change.time, change.isNew))
            return false;
        if ((++done % kBatchSize == 0 || writes.heldBack > kMostHeldBack) && !(indexWords(writes) && transaction.renew()))
            return false;
        // Stopped, what is stored is indexed too, so that the next update need not read it again.
        if (progress && !progress(done, total)) {
            indexWords(writes); // failing, it has the batch rolled back
            return false;
        }
    }
    return indexWords(writes) && !m_db.failed();
}

bool SearchIndex::updateSource(const Source &source)
{
    QLockFile lock(m_path + QStringLiteral(".lock"));
    const QDeadlineTimer patience(kSourceLockWaitMs);
    if (!lockForWriting(lock, [&patience](int, int) { return !patience.hasExpired(); })
        || !openForWriting(m_db.damaged()))
        return false;
    const auto [size, time] = sourceStamp(source);
    Transaction transaction(m_db);
    Writes writes(m_db);
    return store(writes, source, size, time, false) && indexWords(writes);
}

bool SearchIndex::store(Writes &writes, const Source &source, qint64 size, qint64 time, bool isNew)
{
    const SourceContent content = readSource(source);
    const QString text = content.text.value_or(QString());
    // Folded once here, so that a query folds only itself.
    const StoredFold folded = foldForIndex(text);
    const QByteArrayView alignments(reinterpret_cast<const char *>(folded.alignments.data()),
                                    static_cast<qsizetype>(folded.alignments.size() * sizeof(qsizetype)));
    SqliteStatement &upsert = writes.upsert;
    upsert.reset();
    upsert.bind(1, source.id).bind(2, size).bind(3, time).bind(4, content.digest).bind(5, qint64(content.text ? 1 : 0));
    upsert.bind(6, source.key).bind(7, qint64(source.place)).bind(8, source.page);
    if (!upsert.next())
        return false;
    const qint64 id = upsert.integer(0);
    upsert.reset();
    if (!writes.text.bind(1, id).bind(2, text).bind(3, folded.text).bindBlob(4, alignments).run())
        return false;
    // A source never indexed before has nothing to take out (asking FTS5 to is a lookup per file).
    writes.words.push_back({id, !isNew, content.text ? std::optional(withKanaAsHiragana(folded.text)) : std::nullopt});
    writes.heldBack += text.size();
    return true;
}

bool SearchIndex::drop(Writes &writes, qint64 id)
{
    writes.words.push_back({id, true, std::nullopt});
    return writes.unstore.bind(1, id).run() && writes.remove.bind(1, id).run();
}

bool SearchIndex::indexWords(Writes &writes)
{
    for (const Writes::Words &words : writes.words) {
        if ((words.unindex && !writes.unindex.bind(1, words.id).run())
            || (words.body && !writes.index.bind(1, words.id).bind(2, *words.body).run()))
            return false;
    }
    writes.words.clear();
    writes.heldBack = 0;
    return true;
}

int SearchIndex::unreadableCount()
{
    SqliteStatement count(m_db, "SELECT count(*) FROM docs WHERE readable = 0");
    return count.next() ? static_cast<int>(count.integer(0)) : 0;
}

SearchAnswer SearchIndex::search(QStringView query, const SearchOptions &options)
{
    m_db.clearFailure();
    SearchAnswer answer = m_db.damaged() ? SearchAnswer() : find(query, options);
    if (m_db.damaged()) {
        answer = SearchAnswer();
        answer.damaged = true;
    } else if (m_db.failed()) {
        answer = SearchAnswer();
        answer.indexError = QStringLiteral("検索用の索引「 ") + QDir::toNativeSeparators(m_path)
                            + QStringLiteral(" 」を読めません（") + m_db.failureText() + QStringLiteral("）。");
    }
    return answer;
}

SearchAnswer SearchIndex::find(QStringView query, const SearchOptions &options)
{
    SearchAnswer answer;
    if (query.size() > kMaxQueryLength) {
        answer.message = QStringLiteral("検索する語が長すぎます。%1 文字までにしてください。").arg(kMaxQueryLength);
        return answer;
    }
    // The index holds katakana as hiragana: it finds every candidate, and the
    // original text tells which ones match kana exactly.
    const QStringList indexWords = queryWords(query, KanaMatching::Same);
    const QStringList words = queryWords(query, options.kana);
    if (words.isEmpty() || !m_db.isOpen())
        return answer;
    CandidateQuery candidates(m_db, indexWords);
    if (candidates.findsNothing())
        return answer;

    const bool tellKanaApart = options.kana == KanaMatching::Distinct && holdsKana(words.join(QString()));
    // Words without kana match the same in text with its katakana as hiragana or not.
    const bool kanaAsHiragana = options.kana == KanaMatching::Same && holdsKana(words.join(QString()));
    SqliteStatement doc(m_db, "SELECT key, place, page, original, ifnull(folded, original), alignments"
                              " FROM docs JOIN texts USING(id) WHERE id = ?1");
    std::vector<qsizetype> alignments;
    while (candidates.next()) {
        doc.reset();
        if (!doc.bind(1, candidates.id()).next())
            continue;
        const QString stored = doc.text(4);
        const QString folded = kanaAsHiragana ? withKanaAsHiragana(stored) : stored;
        // The index holds every word folded with kana as hiragana; only kana told
        // apart needs the text folded otherwise to say whether the item matches.
        if (tellKanaApart && !containsAll(folded, words))
            continue;
        const QString original = doc.text(3);
        const QByteArrayView places = doc.blob(5);
        alignments.resize(static_cast<size_t>(places.size()) / sizeof(qsizetype));
        std::memcpy(alignments.data(), places.data(), alignments.size() * sizeof(qsizetype));
        const std::optional<TextRange> firstMatch = firstOccurrence(original, folded, alignments, words, options.kana);
        if (!firstMatch)
            continue;
        if (answer.hits.size() == options.limit) {
            answer.more = true;
            break;
        }
        SearchHit hit;
        hit.key = doc.text(0);
        hit.place = static_cast<Place>(doc.integer(1));
        hit.page = doc.text(2);
        const TextRange first = *firstMatch;
        hit.match = first;
        hit.matchedText = original.mid(first.start, first.length);
        Snippet snippet = snippetAround(original, first, words, options.kana);
        hit.snippet = std::move(snippet.text);
        hit.marks = std::move(snippet.marks);
        answer.hits.push_back(std::move(hit));
    }
    return answer;
}

} // namespace kobin::search
