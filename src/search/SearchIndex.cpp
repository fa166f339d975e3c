#include "SearchIndex.h"

#include "BoundedFile.h"
#include "ContentText.h"
#include "RichTextFiles.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QLockFile>
#include <utility>
#include <QStandardPaths>
#include <sqlite3.h>
#include <sys/stat.h>
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

// A snippet shows this many characters before the first match and after it.
constexpr qsizetype kSnippetBefore = 24;
constexpr qsizetype kSnippetAfter = 80;

// Another program's update of the same index (the window's, while kobin-cli
// searches) is waited for this long at a time between asking whether to go on.
constexpr int kLockPollMs = 100;
// A single note stored waits no longer than this: the next update takes it in.
constexpr int kSourceLockWaitMs = 5000;

constexpr QFileDevice::Permissions kUserOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr const char *kDatabaseSuffixes[] = {"", "-wal", "-shm", "-journal"};

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : kDatabaseSuffixes)
        QFile::remove(path + QLatin1String(suffix));
}

// The index holds the text of every note: its folder and its files are for the
// user alone, whatever the umask, and an index made before is tightened. The
// file is made here, empty, as SQLite gives its -wal and -shm files the mode of
// the database file.
bool keepToUser(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    constexpr QFileDevice::Permissions kFolderModes = kUserOnly | QFileDevice::ExeOwner;
    if (!QFileInfo(folder).isDir() && QDir().mkpath(QFileInfo(folder).absolutePath()))
        QDir().mkdir(folder, kFolderModes);
    if (!QFile::setPermissions(folder, kFolderModes))
        return false;
    if (!QFile::exists(path)) {
        QFile database(path);
        if (!database.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly) && !database.exists())
            return false;
    }
    for (const char *suffix : kDatabaseSuffixes) {
        const QString file = path + QLatin1String(suffix);
        if (QFile::exists(file) && !QFile::setPermissions(file, kUserOnly))
            return false;
    }
    return true;
}

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

// What a source holds, in short: a file written again with the same content (a
// book saved under another name, a note stored unchanged) has another time but
// the same content, and is not read again; a caption is told changed by it.
qint64 digestOf(QByteArrayView bytes)
{
    return static_cast<qint64>(qHashBits(bytes.data(), static_cast<size_t>(bytes.size())));
}

qint64 captionDigest(const QString &caption)
{
    return digestOf(QByteArrayView(reinterpret_cast<const char *>(caption.utf16()), caption.size() * 2));
}

// The bytes of a source's file, each kind of file within its own bound.
std::optional<QByteArray> readSourceFile(const Source &source)
{
    return readRegularFile(source.path, source.place == Place::Page ? kMaxPageFileSize : richtext::kMaxNoteFileSize);
}

// What a source holds: its text (nothing when it cannot be read) and its digest,
// the file read once for both.
struct SourceContent {
    std::optional<QString> text;
    qint64 digest = -1;
};

SourceContent readSource(const Source &source)
{
    if (source.place == Place::Caption)
        return {source.text, captionDigest(source.text)};
    const std::optional<QByteArray> bytes = readSourceFile(source);
    if (!bytes)
        return {};
    return {source.place == Place::Page ? visiblePageText(*bytes) : noteText(*bytes), digestOf(*bytes)};
}

qint64 fileDigest(const Source &source)
{
    const std::optional<QByteArray> bytes = readSourceFile(source);
    return bytes ? digestOf(*bytes) : -1;
}

// The file's size and time of change (in nanoseconds), -1 each when there is no
// such file. Asked of every file of the book at each update: one stat() each,
// without the conversions to local time that QFileInfo makes.
std::pair<qint64, qint64> fileStamp(const QString &path)
{
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0)
        return {-1, -1};
    return {static_cast<qint64>(status.st_size),
            static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + static_cast<qint64>(status.st_mtim.tv_nsec)};
}

// The trigrams (as the index keeps them) that narrow down the items holding
// words of three characters or more. The index keeps no positions (a fraction
// of the size, and far quicker to build and to query), so it gives the items
// that hold every trigram; the stored text then tells which hold the words. A
// few trigrams spread over the words narrow the items down as well as all would.
QStringList trigramsOf(const QStringList &words)
{
    constexpr qsizetype kMostTerms = 12;
    QStringList terms;
    for (const QString &word : words) {
        const QList<uint> characters = word.toUcs4();
        for (qsizetype i = 0; i + 3 <= characters.size(); ++i) {
            const QString term = QString::fromUcs4(reinterpret_cast<const char32_t *>(characters.constData() + i), 3);
            if (!terms.contains(term))
                terms.append(term);
        }
    }
    QStringList spread;
    const qsizetype count = std::min(terms.size(), kMostTerms);
    for (qsizetype i = 0; i < count; ++i)
        spread.append(terms[i * terms.size() / count]);
    return spread;
}

// The FTS5 query for trigrams: each a quoted term, quotes doubled, so that no
// word is read as query syntax.
QString matchExpression(const QStringList &trigrams)
{
    QStringList terms;
    for (QString term : trigrams) {
        term.replace(u'"', QStringLiteral("\"\""));
        terms.append(u'"' + term + u'"');
    }
    return terms.join(QStringLiteral(" AND "));
}

QString oneLine(QStringView text)
{
    QString line = text.toString();
    for (QChar &c : line) {
        if (c == u'\n' || c == u'\r' || c == u'\t' || c == QChar::ParagraphSeparator || c == QChar::LineSeparator)
            c = u' ';
    }
    return line;
}

// contains(text, word): whether text holds word, compared as the UTF-16 the
// index stores, without the conversion to UTF-8 that instr() makes of every row.
void containsFunction(sqlite3_context *context, int, sqlite3_value **values)
{
    const auto *text = static_cast<const QChar *>(sqlite3_value_text16(values[0]));
    const qsizetype textSize = sqlite3_value_bytes16(values[0]) / 2;
    const auto *word = static_cast<const QChar *>(sqlite3_value_text16(values[1]));
    const qsizetype wordSize = sqlite3_value_bytes16(values[1]) / 2;
    const bool found = text && word && QStringView(text, textSize).contains(QStringView(word, wordSize));
    sqlite3_result_int(context, found ? 1 : 0);
}

// Opens the index with the functions its queries use.
bool openIndex(SqliteDatabase &db, const QString &path, SqliteDatabase::Access access)
{
    return db.open(path, access)
           && db.check(sqlite3_create_function_v2(db.handle(), "contains", 2, SQLITE_UTF16 | SQLITE_DETERMINISTIC, nullptr,
                                                  containsFunction, nullptr, nullptr, nullptr));
}

// Never cuts a surrogate pair in two.
qsizetype characterStart(QStringView text, qsizetype at)
{
    return at > 0 && at < text.size() && text[at].isLowSurrogate() ? at - 1 : at;
}

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
    if (!keepToUser(m_path))
        return fail(QStringLiteral("検索用の索引のフォルダ「 ") + QDir::toNativeSeparators(QFileInfo(m_path).absolutePath())
                    + QStringLiteral(" 」を作れません。"));
    lock.setStaleLockTime(0); // only a dead owner makes a lock stale
    while (!lock.tryLock(kLockPollMs)) {
        if (lock.error() != QLockFile::LockFailedError)
            return fail(QStringLiteral("検索用の索引の鍵「 ") + QDir::toNativeSeparators(lock.fileName())
                        + QStringLiteral(" 」を作れません。"));
        if (progress && !progress(0, 0))
            return false;
    }
    return true;
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
    // What the index holds of each source, paired by going through both in order
    // and looking a source up by its id only where the order differs: an
    // unchanged book gives its sources in the order they were first indexed in.
    struct Known {
        qint64 id = -1; // not indexed yet
        qint64 size = -1;
        qint64 time = -1;
        qint64 digest = -1;
    };
    std::vector<Known> known(sources.size());
    std::vector<qint64> stale;
    QHash<QStringView, size_t> byId;  // each id's first source; made when first needed
    std::vector<bool> repeated;        // a source whose id an earlier one has
    const auto lookUp = [&](QStringView id) {
        if (repeated.empty() && !sources.empty()) {
            byId.reserve(static_cast<qsizetype>(sources.size()));
            repeated.resize(sources.size());
            for (size_t i = 0; i < sources.size(); ++i) {
                const auto it = byId.constFind(QStringView(sources[i].id));
                repeated[i] = it != byId.constEnd();
                if (!repeated[i])
                    byId.insert(QStringView(sources[i].id), i);
            }
        }
        return byId.value(id, sources.size());
    };
    {
        SqliteStatement all(m_db, "SELECT id, source, size, time, digest FROM docs ORDER BY id");
        size_t next = 0;
        while (all.next()) {
            const QStringView id = all.textView(1);
            const bool inOrder = next < sources.size() && sources[next].id == id && (repeated.empty() || !repeated[next]);
            const size_t at = inOrder ? next : lookUp(id);
            if (at == sources.size()) {
                stale.push_back(all.integer(0));
                continue;
            }
            known[at] = {all.integer(0), all.integer(2), all.integer(3), all.integer(4)};
            next = at + 1;
        }
        if (m_db.failed())
            return false;
    }

    struct Change {
        const Source *source;
        qint64 size;
        qint64 time;
        bool isNew;
    };
    std::vector<Change> changes;
    std::vector<std::pair<qint64, qint64>> copied; // id and new time of files copied unchanged
    for (size_t i = 0; i < sources.size(); ++i) {
        const Source &source = sources[i];
        const Known &file = known[i];
        if (file.id < 0 && lookUp(source.id) != i)
            continue; // given twice
        const auto [size, time] = source.place == Place::Caption ? std::pair<qint64, qint64>(-1, -1) : fileStamp(source.path);
        if (file.id < 0)
            changes.push_back({&source, size, time, true});
        else if (file.size != size || (source.place == Place::Caption && file.digest != captionDigest(source.text)))
            changes.push_back({&source, size, time, false});
        else if (file.time != time && file.digest == fileDigest(source))
            copied.emplace_back(file.id, time);
        else if (file.time != time)
            changes.push_back({&source, size, time, false});
    }

    const int total = static_cast<int>(changes.size() + stale.size());
    int done = 0;
    Transaction transaction(m_db);
    Writes writes(m_db);
    for (const qint64 id : stale) {
        if (!drop(writes, id))
            return false;
        ++done;
    }
    if (!indexWords(writes))
        return false;
    SqliteStatement restamp(m_db, "UPDATE docs SET time = ?2 WHERE id = ?1");
    for (const auto &[id, time] : copied) {
        if (!restamp.bind(1, id).bind(2, time).run())
            return false;
    }
    for (const Change &change : changes) {
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
    const auto [size, time] = source.place == Place::Caption ? std::pair<qint64, qint64>(-1, -1) : fileStamp(source.path);
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
    QStringList longWords;
    for (const QString &word : indexWords) {
        if (word.toUcs4().size() >= 3)
            longWords.append(word);
    }
    QStringList trigrams = trigramsOf(longWords);
    if (!trigrams.isEmpty()) {
        // A trigram in no item: nothing to read. Trigrams that are in most items
        // narrow nothing down: reading the stored text in order is quicker then.
        // Counted in the sources, a fraction of the size of the text FTS5 keeps.
        SqliteStatement items(m_db, "SELECT count(*) FROM docs WHERE readable = 1");
        const qint64 itemCount = items.next() ? items.integer(0) : 0;
        SqliteStatement vocabulary(m_db, "SELECT doc FROM words_vocabulary WHERE term = ?1");
        qint64 rarest = itemCount;
        for (const QString &trigram : trigrams) {
            vocabulary.reset();
            rarest = std::min(rarest, vocabulary.bind(1, trigram).next() ? vocabulary.integer(0) : 0);
        }
        if (rarest == 0)
            return answer;
        if (rarest * 2 > itemCount)
            trigrams.clear();
    }

    // Trigrams of words of three characters or more narrow the items down through
    // the index; every word is then looked for in the text the index stores
    // (FTS5's own table of it), which is all there is for shorter words.
    QByteArray sql = trigrams.isEmpty() ? "SELECT id FROM words_content WHERE 1"
                                        : "SELECT rowid FROM words WHERE words MATCH ?1";
    const QByteArray column = trigrams.isEmpty() ? "c0" : "body";
    for (int i = 0; i < indexWords.size(); ++i)
        sql += " AND contains(" + column + ", ?" + QByteArray::number(i + 2) + ")";
    SqliteStatement candidates(m_db, sql.constData());
    if (!trigrams.isEmpty())
        candidates.bind(1, matchExpression(trigrams));
    for (int i = 0; i < indexWords.size(); ++i)
        candidates.bind(i + 2, indexWords[i]);

    const bool tellKanaApart = options.kana == KanaMatching::Distinct && holdsKana(words.join(QString()));
    // Words without kana match the same in text with its katakana as hiragana or not.
    const bool kanaAsHiragana = options.kana == KanaMatching::Same && holdsKana(words.join(QString()));
    SqliteStatement doc(m_db, "SELECT key, place, page, original, ifnull(folded, original), alignments"
                              " FROM docs JOIN texts USING(id) WHERE id = ?1");
    std::vector<qsizetype> alignments;
    while (candidates.next()) {
        doc.reset();
        if (!doc.bind(1, candidates.integer(0)).next())
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
        const qsizetype from = characterStart(original, std::max<qsizetype>(0, first.start - kSnippetBefore));
        const qsizetype to = characterStart(original, std::min(original.size(), first.start + first.length + kSnippetAfter));
        const QString lead = from > 0 ? QStringLiteral("…") : QString();
        hit.snippet = lead + oneLine(QStringView(original).sliced(from, to - from))
                      + (to < original.size() ? QStringLiteral("…") : QString());
        const FoldedText around = foldWithOrigins(QStringView(original).sliced(from, to - from), options.kana);
        for (const TextRange &range : findWords(around, words, 64))
            hit.marks.push_back({range.start + lead.size(), range.length});
        answer.hits.push_back(std::move(hit));
    }
    return answer;
}

} // namespace kobin::search
