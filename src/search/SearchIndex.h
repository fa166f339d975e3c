#pragma once

#include "BookSources.h"
#include "SearchText.h"
#include "Sqlite.h"

#include <QString>
#include <functional>
#include <vector>

class QLockFile;

namespace kobin::search {

struct SearchOptions {
    KanaMatching kana = KanaMatching::Distinct;
    size_t limit = 200; // results given at most
};

// One item part that holds every word of a query.
struct SearchHit {
    QString key;
    Place place = Place::Caption;
    QString page;        // the page path of a page; the page base name of a side text
    QString snippet;     // the text around the first match, on one line
    std::vector<TextRange> marks; // the matches within the snippet
    QString matchedText; // the first match as the original text has it
    TextRange match;     // where it is in the item part's text
};

struct SearchAnswer {
    std::vector<SearchHit> hits;
    bool more = false;  // there are matches beyond the limit
    QString message;    // why a query was not run
    bool damaged = false; // the index is damaged: it is to be built again
    QString indexError; // why the index could not be read otherwise
};

// Puts hits in the order of the items in the tree (an item's caption first,
// then its note, its pages and their side texts), and leaves out hits of items
// no longer in it.
void orderByTree(std::vector<SearchHit> &hits, const std::vector<IndexedItem> &items);

// Queries longer than this many characters are refused with a message.
constexpr qsizetype kMaxQueryLength = 256;

// The full-text index of one book: a cache that can be thrown away at any time,
// never part of the book. SQLite's FTS5 with the trigram tokenizer finds words
// of three characters or more; shorter ones are found by a scan of the stored
// text. Text is stored folded (see SearchText.h, katakana as hiragana), with the
// original text beside it for snippets and for matching kana exactly.
class SearchIndex
{
public:
    enum class Role { Writer, Reader };

    // A writer creates the file at its first update, and rebuilds it when it is
    // damaged or of another version; a reader only reads what a writer has
    // committed. The file and its folder are the user's alone.
    SearchIndex(const QString &path, Role role);

    // The index file of the book file bookPath in the user's cache folder; a new
    // book without a file shares one index, rebuilt whenever it is opened.
    static QString locationFor(const QString &bookPath);

    // Tells how far an update has come; false stops it (what is done stays).
    // While another program updates the same index, (0, 0) is told now and
    // then until it is done.
    using Progress = std::function<bool(int done, int total)>;

    // Brings the index up to date with sources: a file is read again only when
    // its size or time changed, and what is no longer a source is dropped. An
    // index found damaged is built again. False when stopped, or when the index
    // cannot be written (failure() says why).
    bool update(const std::vector<Source> &sources, const Progress &progress = {});
    // Throws the index away and builds it again (a search found it damaged).
    bool rebuild(const std::vector<Source> &sources, const Progress &progress = {});
    // Reads one source again now (a note just stored); false when another
    // program keeps the index long, or it cannot be written.
    bool updateSource(const Source &source);
    // Whether the index was found damaged since it was last built again.
    bool isDamaged() const { return m_db.damaged(); }
    QString failure() const { return m_failure; }

    SearchAnswer search(QStringView query, const SearchOptions &options);

    // How many files of the last update could not be read.
    int unreadableCount();

private:
    bool updateWith(const std::vector<Source> &sources, const Progress &progress, bool discard);
    bool lockForWriting(QLockFile &lock, const Progress &progress);
    bool openForWriting(bool discard);
    bool hasCurrentSchema();
    bool looksWhole();
    bool fail(const QString &failure);
    SearchAnswer find(QStringView query, const SearchOptions &options);
    bool createSchema();
    bool runUpdate(const std::vector<Source> &sources, const Progress &progress);
    struct Writes;
    bool store(Writes &writes, const Source &source, qint64 size, qint64 time, bool isNew);
    bool drop(Writes &writes, qint64 id);
    bool indexWords(Writes &writes);

    QString m_path;
    SqliteDatabase m_db;
    QString m_failure;
};

} // namespace kobin::search
