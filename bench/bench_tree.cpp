// Tree edits in large books, as the user makes them through the tree commands:
// the tree, its Qt model and the content files included. Each edit is undone in
// the same iteration, so every iteration starts from the same book. Run with
// 10,000 and 100,000 items to see that the cost follows the edit, not the book.
#include "BookFixture.h"
#include "ItemTreeModel.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

using namespace kobin;

namespace {

// A book of `items` items: a2 is a folder holding 1,000 text items with notes,
// followed at the top level by plain text items.
struct LargeBook {
    BookFixture fixture;
    ItemTreeModel model{fixture.tree, fixture.book.editor(), [](const QString &) { return QIcon(); }};

    explicit LargeBook(int items)
    {
        ItemTree &tree = fixture.tree;
        tree.reserve(items);
        tree.add(nullptr, Relationship::Last, "a1", "Book", "root");
        tree.add("a1", Relationship::Child, "a2", "Folder", "fclose");
        const QByteArray note = "{\\rtf1 note}";
        for (int i = 3; i <= items; ++i) {
            const QString key = QStringLiteral("a%1").arg(i);
            tree.add(i <= 1002 ? QStringLiteral("a2") : QStringLiteral("a1"), Relationship::Child, key,
                     QStringLiteral("Item %1").arg(i), "richtxt");
            if (i <= 1002) {
                QFile file(fixture.working(key + ".rtf"));
                file.open(QIODevice::WriteOnly);
                file.write(note);
            }
        }
        fixture.book.shown().setKey("a1");
    }

    void selectFolder() { fixture.tree.select(fixture.tree.item("a2")); }
};

void AddAndUndo(benchmark::State &state)
{
    LargeBook book(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        book.fixture.tree.select(book.fixture.tree.item("a1"));
        book.fixture.namer.names = {"New"};
        book.fixture.treeCommands.addItem(ItemKind::Text, Placement::Child);
        book.fixture.treeCommands.history().undo();
    }
}

void MoveSubTreeAndUndo(benchmark::State &state)
{
    LargeBook book(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        book.selectFolder();
        book.fixture.treeCommands.move(MoveDirection::Down);
        book.fixture.treeCommands.history().undo();
    }
}

void DropSubTreeAndUndo(benchmark::State &state)
{
    LargeBook book(static_cast<int>(state.range(0)));
    const QString last = QStringLiteral("a%1").arg(state.range(0));
    for (auto _ : state) {
        const std::optional<TreeEdit> dropped = book.fixture.book.editor().dropOnto("a2", last);
        book.fixture.treeCommands.treeEdited(*dropped);
        book.fixture.treeCommands.history().undo();
    }
}

// Deleting a folder of 1,000 items with their notes, and undoing it, timed apart.
void DeleteSubTree(benchmark::State &state)
{
    LargeBook book(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        book.selectFolder();
        book.fixture.prompter.answers = {PromptAnswer::Yes};
        book.fixture.treeCommands.deleteItem();
        state.PauseTiming();
        book.fixture.treeCommands.history().undo();
        state.ResumeTiming();
    }
}

void UndoDeleteSubTree(benchmark::State &state)
{
    LargeBook book(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        book.selectFolder();
        book.fixture.prompter.answers = {PromptAnswer::Yes};
        book.fixture.treeCommands.deleteItem();
        state.ResumeTiming();
        book.fixture.treeCommands.history().undo();
    }
    if (!QFile::exists(book.fixture.working("a1002.rtf")))
        state.SkipWithError("the notes did not come back");
}

} // namespace

BENCHMARK(AddAndUndo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(MoveSubTreeAndUndo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(DropSubTreeAndUndo)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(DeleteSubTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(UndoDeleteSubTree)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
