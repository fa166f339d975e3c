// Search figures on a book of 10,000 items: 10,000 notes and side texts (about
// 20 MB of RTF) and 2,000 saved pages (about 100 MB of HTML). First indexing,
// bringing the index of the unchanged book up to date, queries of one to several
// words with the first 200 results, and taking in one stored note; and what the
// window's thread does before handing an update to the indexing thread.
#include "BookSources.h"
#include "GeneratedBook.h"
#include "SearchBookShape.h"
#include "SearchIndex.h"

#include <QDirIterator>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace kobin;
using namespace kobin::search;

namespace {

struct LargeBook {
    QTemporaryDir dir;
    std::unique_ptr<GeneratedBook> book;
    QString indexPath;
    qint64 rtfBytes = 0;
    qint64 htmlBytes = 0;

    LargeBook()
    {
        book = std::make_unique<GeneratedBook>(dir.path(), largeSearchBookShape());
        indexPath = dir.filePath(QStringLiteral("cache/index.sqlite"));
        for (QDirIterator it(dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            it.next();
            (it.fileName().endsWith(QLatin1String(".rtf")) ? rtfBytes : htmlBytes) += it.fileInfo().size();
        }
    }

    std::vector<Source> sources() const
    {
        return bookSources(indexedItems(book->tree), book->working, {QString(), dir.path() + u'/'});
    }
};

LargeBook &largeBook()
{
    static LargeBook book;
    return book;
}

// The index built once, for the benchmarks that need one.
SearchIndex &builtIndex()
{
    static const std::unique_ptr<SearchIndex> index = [] {
        auto built = std::make_unique<SearchIndex>(largeBook().indexPath, SearchIndex::Role::Writer);
        static_cast<void>(built->update(largeBook().sources()));
        return built;
    }();
    return *index;
}

void FirstIndexing(benchmark::State &state)
{
    LargeBook &large = largeBook();
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(large.indexPath + QStringLiteral(".first"));
        state.ResumeTiming();
        SearchIndex index(large.indexPath + QStringLiteral(".first"), SearchIndex::Role::Writer);
        benchmark::DoNotOptimize(index.update(large.sources()));
    }
    state.counters["RTF MB"] = double(large.rtfBytes) / 1e6;
    state.counters["HTML MB"] = double(large.htmlBytes) / 1e6;
    state.counters["items"] = large.book->tree.count();
}
BENCHMARK(FirstIndexing)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void ReopenUnchangedBook(benchmark::State &state)
{
    SearchIndex &index = builtIndex();
    for (auto _ : state) {
        // What opening the book does: the index file opened anew, every source looked at.
        SearchIndex reopened(largeBook().indexPath, SearchIndex::Role::Writer);
        benchmark::DoNotOptimize(reopened.update(largeBook().sources()));
    }
    benchmark::DoNotOptimize(index);
}
BENCHMARK(ReopenUnchangedBook)->Unit(benchmark::kMillisecond)->UseRealTime();

void Query(benchmark::State &state, const QString &query, KanaMatching kana)
{
    builtIndex();
    SearchIndex reader(largeBook().indexPath, SearchIndex::Role::Reader);
    size_t hits = 0;
    for (auto _ : state) {
        const SearchAnswer answer = reader.search(query, {kana, 200});
        hits = answer.hits.size();
        benchmark::DoNotOptimize(answer);
    }
    state.counters["results"] = double(hits);
}
BENCHMARK_CAPTURE(Query, one_kanji, QStringLiteral("猫"), KanaMatching::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, one_rare_character, QStringLiteral("鶴"), KanaMatching::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, two_kana_exact, QStringLiteral("ねこ"), KanaMatching::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, two_kana_either, QStringLiteral("ねこ"), KanaMatching::Same)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, three_kanji, QStringLiteral("図書館"), KanaMatching::Distinct)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, words_rare_together, QStringLiteral("ダイアリー 表計算本ｶﾞ software犬"), KanaMatching::Distinct)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Query, nowhere, QStringLiteral("kangaroo"), KanaMatching::Distinct)->Unit(benchmark::kMillisecond);

void StoreOneNote(benchmark::State &state)
{
    SearchIndex &index = builtIndex();
    GeneratedBook &book = *largeBook().book;
    const QString note = book.working.textFile(QStringLiteral("a3"));
    const Source source{SourceId{Place::Note, QStringLiteral("a3.rtf"), {}}.toString(), QStringLiteral("a3"), Place::Note, {}, note, {}};
    int round = 0;
    for (auto _ : state) {
        state.PauseTiming();
        book.writeNote(QStringLiteral("a3"), book.text(110) + QString::number(++round));
        state.ResumeTiming();
        benchmark::DoNotOptimize(index.updateSource(source));
    }
}
BENCHMARK(StoreOneNote)->Unit(benchmark::kMillisecond)->UseRealTime();

// What the window's thread does before an update: the items taken from the tree
// and the working folder copied; everything else happens on the indexing thread.
void SnapshotForIndexing(benchmark::State &state)
{
    GeneratedBook &book = *largeBook().book;
    for (auto _ : state) {
        std::vector<IndexedItem> items = indexedItems(book.tree);
        WorkingFolder folder = book.working;
        benchmark::DoNotOptimize(items);
        benchmark::DoNotOptimize(folder);
    }
}
BENCHMARK(SnapshotForIndexing)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv); // notes are read through QTextDocument, which needs fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
