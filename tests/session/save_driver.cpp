// Opens the book of SaveKillBook.h through the program's own commands and edits
// and saves it, cycle after cycle, as a user would: for tst_savekill to kill at any
// moment. Tells each step on standard output at once, so that the test knows where
// it was: "opened", then per generation "saving N" and "saved N".
//
//   save_driver PROGRAM_FOLDER FIRST_GENERATION [CYCLES]   (no CYCLES: until killed)

#include "BookFixture.h"
#include "SaveKillBook.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <cstdio>
#include <cstdlib>

using namespace kobin;

namespace {

constexpr int ChangedNotes = 30;
constexpr int DeletedItems = 5;
constexpr int AddedItems = 6; // one more than deleted: a key never used before

void say(const QByteArray &line)
{
    std::fputs((line + '\n').constData(), stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const QString &why)
{
    std::fputs(qPrintable(QStringLiteral("driver failed: ") + why + u'\n'), stderr);
    std::exit(2);
}

TreeItem *anyItemButTheBook(BookFixture &f, QRandomGenerator &random)
{
    return f.tree.item(2 + static_cast<int>(random.bounded(static_cast<quint32>(f.tree.count() - 1))));
}

void runCycle(BookFixture &f, QRandomGenerator &random, int generation)
{
    for (int i = 0; i < ChangedNotes; ++i) {
        TreeItem *item = anyItemButTheBook(f, random);
        f.tree.select(item);
        f.display.showItem(item);
        f.note.text = QString::fromLatin1(savekill::noteText(item->key(), generation));
        f.bookCommands.textChanged();
    }
    for (int i = 0; i < DeletedItems; ++i) {
        f.tree.select(anyItemButTheBook(f, random));
        f.prompter.answers = {PromptAnswer::Yes};
        f.treeCommands.deleteItem();
    }
    for (int i = 0; i < AddedItems; ++i) {
        f.tree.select(f.tree.item(QStringLiteral("a1")));
        f.namer.names = {savekill::addedCaption(generation)};
        f.treeCommands.addItem(ItemKind::Text, Placement::Child);
        f.note.text = QString::fromLatin1(savekill::noteText(f.book.shown().key(), generation));
    }
    say("saving " + QByteArray::number(generation));
    f.bookCommands.save();
    for (const FakePrompter::Prompt &prompt : f.prompter.prompts) {
        if (prompt.title != QStringLiteral("項目の削除"))
            fail(prompt.title + QStringLiteral(": ") + prompt.text);
    }
    f.prompter.prompts.clear();
    if (f.book.isChanged())
        fail(QStringLiteral("the book is still changed after saving"));
    say("saved " + QByteArray::number(generation));
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList arguments = app.arguments();
    if (arguments.size() < 3)
        fail(QStringLiteral("usage: save_driver PROGRAM_FOLDER FIRST_GENERATION [CYCLES]"));
    const QString programFolder = arguments[1];
    const int firstGeneration = arguments[2].toInt();
    const int cycles = arguments.size() > 3 ? arguments[3].toInt() : 0;

    BookFixture f(programFolder);
    f.bookCommands.openRecentBook(savekill::bookFile(programFolder));
    if (f.book.bookName() != savekill::BookName || !f.prompter.prompts.isEmpty())
        fail(QStringLiteral("the book did not open"));
    say("opened");

    QRandomGenerator random(static_cast<quint32>(firstGeneration));
    for (int generation = firstGeneration; cycles == 0 || generation < firstGeneration + cycles; ++generation)
        runCycle(f, random, generation);
    return 0;
}
