// Book figures: reading tree strings of growing length (more items, longer
// captions, records running into each other: the time per character stays the
// same), writing the tree string of 100,000 items, moving a sub-tree within such
// a book, and saving a book of 100,000 items with a note each: after one note
// changed, and after every note changed, compared with cp copying the same files.
// Run with TMPDIR on a tmpfs (/dev/shm) to measure the program rather than the disk.
#include "BookFile.h"
#include "Book.h"
#include "AtomicFile.h"
#include "BookStore.h"
#include "ItemTree.h"
#include "TreeEditor.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>

using namespace kobin;

namespace {

// A book of folders of ten items each, with Japanese captions, like a large real one.
QString largeTreeString(int items)
{
    QString s = QStringLiteral("|0\\大きな本=a1+root|");
    int folder = 1;
    for (int i = 2; i <= items; ++i) {
        if ((i - 2) % 10 == 0) {
            s += QStringLiteral("a1\\フォルダ%1=a%1+fclose|").arg(i);
            folder = i;
        } else {
            s += QStringLiteral("a%1\\ホームページの表題 %2=a%2+%3|")
                     .arg(folder)
                     .arg(i)
                     .arg(i % 3 ? QStringLiteral("richtxt") : QStringLiteral("htmlfile"));
        }
    }
    return s;
}

// Reads s into a new tree on each iteration; the complexity is figured per character.
void readEachIteration(benchmark::State &state, const QString &s)
{
    for (auto _ : state) {
        auto tree = std::make_unique<ItemTree>();
        benchmark::DoNotOptimize(treestring::buildTree(*tree, s));
        state.PauseTiming(); // freeing the tree is not part of reading it
        tree.reset();
        state.ResumeTiming();
    }
    state.SetComplexityN(s.size());
    state.SetLabel(QStringLiteral("%1 characters").arg(s.size()).toStdString());
}

void ReadTreeStringOfItems(benchmark::State &state)
{
    readEachIteration(state, largeTreeString(static_cast<int>(state.range(0))));
}
BENCHMARK(ReadTreeStringOfItems)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// One hundred items whose captions are each state.range(0) characters long.
void ReadLongCaptions(benchmark::State &state)
{
    const QString caption(static_cast<qsizetype>(state.range(0)), QChar(u'長'));
    QString s = QStringLiteral("|0\\長い表題の本=a1+root|");
    for (int i = 2; i <= 101; ++i)
        s += QStringLiteral("a1\\") + caption + QStringLiteral("=a%1+richtxt|").arg(i);
    readEachIteration(state, s);
}
BENCHMARK(ReadLongCaptions)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

// A damaged string whose every record's caption would run to the same far "=".
void ReadRecordsRunningIntoEachOther(benchmark::State &state)
{
    const int records = static_cast<int>(state.range(0));
    QString s = QStringLiteral("|0\\B=a1+root|");
    for (int i = 0; i < records; ++i)
        s += QStringLiteral("a1\\|");
    for (int i = 2; i < records + 2; ++i)
        s += QStringLiteral("=a%1+richtxt|").arg(i);
    readEachIteration(state, s);
}
BENCHMARK(ReadRecordsRunningIntoEachOther)
    ->RangeMultiplier(10)
    ->Range(1000, 1000000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);

void WriteTreeString100k(benchmark::State &state)
{
    ItemTree tree;
    treestring::buildTree(tree, largeTreeString(100000));
    for (auto _ : state)
        benchmark::DoNotOptimize(treestring::fromTree(tree));
}
BENCHMARK(WriteTreeString100k)->Unit(benchmark::kMillisecond);

void NextFreeKeyAfterDeletes(benchmark::State &state)
{
    ItemTree tree;
    treestring::buildTree(tree, largeTreeString(100000));
    int victim = 2;
    for (auto _ : state) {
        tree.remove(QStringLiteral("a%1").arg(victim + 1)); // an item without children
        tree.add("a1", Relationship::Child, tree.nextFreeKey(), "x", "richtxt");
        victim = (victim + 10) % 99000;
    }
}
BENCHMARK(NextFreeKeyAfterDeletes)->Unit(benchmark::kMicrosecond);

// One step of a folder holding 999 items (111 folders of eight texts each), down
// past its neighbour and back up on the next iteration, in a book of 100,000 items.
void MoveSubTree1kIn100k(benchmark::State &state)
{
    ItemTree tree;
    TreeEditor editor(tree);
    treestring::buildTree(tree, largeTreeString(100000));
    const QString moved = QStringLiteral("a100001");
    tree.add("a2", Relationship::Previous, moved, "動かすフォルダ", "fclose", "fopen");
    int key = 100002;
    for (int folder = 0; folder < 111; ++folder) {
        const QString folderKey = QStringLiteral("a%1").arg(key++);
        tree.add(moved, Relationship::Child, folderKey, QStringLiteral("フォルダ %1").arg(folder), "fclose", "fopen");
        for (int text = 0; text < 8; ++text)
            tree.add(folderKey, Relationship::Child, QStringLiteral("a%1").arg(key++), "テキスト", "richtxt");
    }

    bool down = true;
    for (auto _ : state) {
        benchmark::DoNotOptimize(editor.move(moved, down ? MoveDirection::Down : MoveDirection::Up));
        down = !down;
    }
    state.SetLabel(QStringLiteral("%1 items, %2 moved").arg(tree.count()).arg(key - 100001).toStdString());
}
BENCHMARK(MoveSubTree1kIn100k)->Unit(benchmark::kMillisecond);

constexpr int kSavedItems = 100000;

QByteArray noteOf(int key, int generation)
{
    return QByteArray("{\\rtf1\\ansi\\ansicpg932 note ") + QByteArray::number(key) + " version "
           + QByteArray::number(generation) + ' ' + QByteArray(1000, 'x') + "}";
}

bool writeNote(const QString &path, const QByteArray &note)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(note) == note.size();
}

// The save writes over whatever another program wrote.
bool saved(Book &book)
{
    return storeBook(book, [](const QString &) { return true; }).outcome == StoreResult::Outcome::Saved;
}

// A saved book of kSavedItems items, each with its note in the book folder, open
// as the program opens it; earlier versions are kept as the program keeps them.
struct SaveFixture {
    QTemporaryDir dir;
    Book book{dir.path() + u'/'};
    int generation = 0;

    QString bookFolder() const { return book.bookFolder(); }
    QString workingFolder() const { return book.workingFolder().path(); }

    SaveFixture()
    {
        book.setBookFile(dir.path() + QStringLiteral("/big.iis"), QStringLiteral("big"));
        book.setVersionsFolder(dir.path() + QStringLiteral("/versions/"));
        QDir().mkpath(bookFolder());
        for (int key = 1; key <= kSavedItems; ++key)
            writeNote(bookFolder() + QStringLiteral("a%1.rtf").arg(key), noteOf(key, 0));
        treestring::buildTree(book.tree(), largeTreeString(kSavedItems));
        std::ignore = book.workingFolder().startFrom(bookFolder());
    }

    // Stores notes from..to as the text pane stores a changed note.
    bool change(int from, int to)
    {
        ++generation;
        for (int key = from; key <= to; ++key) {
            if (!saveFileAtomically(book.workingFolder().textFile(QStringLiteral("a%1").arg(key)), noteOf(key, generation)))
                return false;
        }
        return true;
    }
};

void SaveAfterOneNoteChanged(benchmark::State &state)
{
    SaveFixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        const bool changed = fixture.change(5000, 5000);
        state.ResumeTiming();
        if (!changed || !saved(fixture.book))
            state.SkipWithError("the book could not be saved");
    }
    state.SetLabel("100,000 items");
}
BENCHMARK(SaveAfterOneNoteChanged)->Unit(benchmark::kMillisecond)->Iterations(20);

// The tree changed: its string is encoded again.
void SaveAfterOneCaptionChanged(benchmark::State &state)
{
    SaveFixture fixture;
    TreeItem *renamed = fixture.book.tree().item(QStringLiteral("a5000"));
    for (auto _ : state) {
        state.PauseTiming();
        fixture.book.tree().setText(renamed, QStringLiteral("表題 %1").arg(++fixture.generation));
        state.ResumeTiming();
        if (!saved(fixture.book))
            state.SkipWithError("the book could not be saved");
    }
    state.SetLabel("100,000 items");
}
BENCHMARK(SaveAfterOneCaptionChanged)->Unit(benchmark::kMillisecond)->Iterations(20);

void SaveAfterEveryNoteChanged(benchmark::State &state)
{
    SaveFixture fixture;
    for (auto _ : state) {
        state.PauseTiming();
        const bool changed = fixture.change(1, kSavedItems);
        state.ResumeTiming();
        if (!changed || !saved(fixture.book))
            state.SkipWithError("the book could not be saved");
    }
    state.SetLabel("100,000 notes");
}
BENCHMARK(SaveAfterEveryNoteChanged)->Unit(benchmark::kMillisecond)->Iterations(3);

void CpOfTheSameNotes(benchmark::State &state)
{
    SaveFixture fixture;
    const QString target = fixture.dir.path() + QStringLiteral("/cp-target");
    QDir().mkpath(target);
    const QString command = QStringLiteral("cp -r %1. %2").arg(fixture.bookFolder(), target);
    for (auto _ : state) {
        if (std::system(command.toLocal8Bit().constData()) != 0)
            state.SkipWithError("cp failed");
    }
    state.SetLabel("100,000 notes");
}
BENCHMARK(CpOfTheSameNotes)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
