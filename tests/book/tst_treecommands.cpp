#include "BookFixture.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

class TestTreeCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;

    QStringList workingFiles() const { return QDir(f->working()).entryList(QDir::Files, QDir::Name); }
    QString shape() const { return treestring::fromTree(f->tree); }
    void select(const char *key) { f->tree.select(f->tree.item(key)); }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->session.bookName = "book";
        f->session.bookPath = f->dir.path() + "/book.iis";
        f->book.setOpened(f->session.bookPath);
        treestring::buildTree(f->tree, u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\First=a3+richtxt|"
                                       u"a2\\Second=a4+richtxt|a2\\Third=a21+richtxt|a1\\Last=a5+richtxt|");
        select("a1");
        f->session.currentKey = "a1";
        for (const char *name : {"a1.rtf", "a2.rtf", "a3.rtf", "a4.rtf", "a21.rtf", "a21url.txt", "a5.rtf"})
            writeText(f->working(name), QByteArray("note of ") + name);
        f->note.text = "note of a1.rtf";
    }

    void addedItemsTakeTheSmallestFreeKey()
    {
        f->tree.clear();
        treestring::buildTree(f->tree, u"|0\\Book=a1+root|");
        select("a1");
        f->namer.names = {"One"};
        f->treeCommands.addItem(ItemKind::Folder, Placement::Child);
        QVERIFY(f->tree.item("a2"));
        select("a1");
        f->namer.names = {"Two"};
        f->treeCommands.addItem(ItemKind::Text, Placement::Child);
        QCOMPARE(f->tree.item("a3")->text(), QString("Two"));
        QCOMPARE(f->tree.item("a3")->selectedImage(), QString("SelectedRichtxt"));
        QCOMPARE(f->tree.item("a2")->expandedImage(), QString("fopen"));
        f->treeCommands.history().undo(); // a3 goes
        f->treeCommands.history().undo(); // a2 goes
        select("a1");
        f->namer.names = {"Again"};
        f->treeCommands.addItem(ItemKind::Text, Placement::Child);
        QCOMPARE(f->tree.item("a2")->text(), QString("Again"));
    }

    void namingAnItemShowsItAsItIsTypedAndMakesItCurrent()
    {
        select("a3");
        f->note.text = "typed into the book item";
        f->namer.names = {"", "Notes|2024"};
        f->treeCommands.addItem(ItemKind::Text, Placement::Beside);
        // OK with no name: told, and the dialog stays.
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("注意"));
        QCOMPARE(f->prompter.prompts[0].text, QString("名前が入っていません"));
        QCOMPARE(f->namer.asked, 1);
        QCOMPARE(f->namer.typedSoFar.first(), QString("N"));
        TreeItem *added = f->tree.item("a6");
        QVERIFY(added);
        QCOMPARE(added->text(), QString("Notes｜2024")); // the tree string's delimiter, made storable
        QCOMPARE(added->parent()->key(), QString("a2"));
        QCOMPARE(added->row(), 1); // directly after a3, before a4
        QCOMPARE(f->session.currentKey, QString("a6"));
        QVERIFY(f->note.text.isEmpty());
        QCOMPARE(f->note.typingResets, 1);
        QCOMPARE(readText(f->working("a1.rtf")), QByteArray("typed into the book item"));
        QVERIFY(f->book.caption().endsWith(" （更新）"));
        QVERIFY(!f->bookItemCommandsShown());
    }

    void cancellingTheNameTakesTheItemAwayAgain()
    {
        const QString before = shape();
        select("a4");
        f->namer.typedThenCancelled = "Half|name";
        QStringList shownInTheTree;
        f->namer.afterKeystroke = [&] { shownInTheTree << f->tree.item("a6")->text(); };
        f->treeCommands.addItem(ItemKind::Folder, Placement::Child);
        QCOMPARE(shownInTheTree.size(), 9);
        QCOMPARE(shownInTheTree.first(), QString("H"));
        QCOMPARE(shownInTheTree.last(), QString("Half｜name"));
        QCOMPARE(shape(), before);
        QCOMPARE(f->tree.selectedItem()->key(), QString("a1")); // the item shown is selected again
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->treeCommands.history().count(), 0);
    }

    void movingFollowsTheFourCommands()
    {
        select("a4");
        f->treeCommands.move(MoveDirection::Up);
        QCOMPARE(f->tree.item("a4")->row(), 0);
        QVERIFY(f->book.isChanged());
        f->treeCommands.move(MoveDirection::Up); // first under its parent: nothing
        QCOMPARE(f->treeCommands.history().count(), 1);
        f->treeCommands.moveRight(); // no previous sibling: into the next one
        QCOMPARE(f->tree.item("a4")->parent()->key(), QString("a3"));
        f->treeCommands.move(MoveDirection::Left);
        QCOMPARE(f->tree.item("a4")->parent()->key(), QString("a2"));
        QCOMPARE(f->tree.item("a4")->row(), 1); // right after its former parent
        select("a2");
        f->treeCommands.move(MoveDirection::Left); // directly under the book item: nothing
        select("a1");
        f->treeCommands.move(MoveDirection::Down); // the book item never moves
        QCOMPARE(f->treeCommands.history().count(), 3);
        QCOMPARE(f->session.currentKey, QString("a1")); // moving shows nothing else
    }

    void deletingAskesFirstAndTakesTheSubTreeWithItsFiles()
    {
        select("a1");
        f->treeCommands.deleteKey();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("お知らせ"));
        QCOMPARE(f->prompter.prompts[0].text, QString("ブックは削除できません。"));

        select("a2");
        f->prompter.answers = {PromptAnswer::No};
        f->treeCommands.deleteItem();
        QCOMPARE(f->prompter.prompts[1].title, QString("項目の削除"));
        QCOMPARE(f->prompter.prompts[1].text, QString("「Folder」　を削除しても良いですか？"));
        QCOMPARE(f->prompter.prompts[1].buttons, PromptButtons::YesNo);
        QVERIFY(f->tree.item("a2"));
        QVERIFY(f->commands.isEnabled(Command::DeleteItemButton, Surface::Button));

        const QStringList before = workingFiles();
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        QVERIFY(!f->tree.item("a2") && !f->tree.item("a21"));
        QCOMPARE(workingFiles(), QStringList({"a1.rtf", "a5.rtf"}));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a5")); // no previous sibling: the next one
        QCOMPARE(f->session.currentKey, QString("a5"));
        QCOMPARE(f->note.text, QString("note of a5.rtf"));
        QVERIFY(f->book.caption().endsWith(" （更新）"));
        QVERIFY(f->commands.isEnabled(Command::DeleteItemButton, Surface::Button));

        // Undone, the folder comes back with its sub-tree and every file.
        f->treeCommands.history().undo();
        QCOMPARE(f->tree.item("a21")->parent()->key(), QString("a2"));
        QCOMPARE(workingFiles(), before);
        QCOMPARE(readText(f->working("a21url.txt")), QByteArray("note of a21url.txt"));
        f->treeCommands.history().redo();
        QVERIFY(!f->tree.item("a2"));
        QCOMPARE(workingFiles(), QStringList({"a1.rtf", "a5.rtf"}));
    }

    void deletingKeepsTheFilesOfKeysThatOnlyStartAlike()
    {
        select("a4"); // a2's files must not take a21's with them, nor a4's a21's
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        QVERIFY(QFile::exists(f->working("a21.rtf")));
        QVERIFY(!QFile::exists(f->working("a4.rtf")));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a3")); // the previous sibling

        // A deleted item that was shown: its unsaved text goes with it.
        f->click("a21");
        f->note.text = "typed, never stored";
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        QCOMPARE(f->tree.selectedItem()->key(), QString("a3"));
        QCOMPARE(readText(f->working("a3.rtf")), QByteArray("note of a3.rtf"));
        f->treeCommands.history().undo();
        QCOMPARE(readText(f->working("a21.rtf")), QByteArray("note of a21.rtf"));
    }

    void deletingAnOnlyChildShowsItsParent()
    {
        f->tree.add("a5", Relationship::Child, "a9", "Only", "richtxt");
        select("a9");
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        QCOMPARE(f->tree.selectedItem()->key(), QString("a5"));
        QCOMPARE(f->session.currentKey, QString("a5"));
        QCOMPARE(f->note.text, QString("note of a5.rtf"));

        select("a1"); // the toolbar's button refuses the book item as the Delete key does
        f->treeCommands.deleteItem();
        QCOMPARE(f->prompter.prompts.last().text, QString("ブックは削除できません。"));
    }

    void renamingInPlaceMarksTheBookAndCanBeUndone()
    {
        const std::optional<TreeEdit> renamed = f->book.editor().rename("a5", "New name");
        QVERIFY(renamed);
        f->treeCommands.treeEdited(*renamed);
        QVERIFY(f->book.isChanged());
        f->treeCommands.history().undo();
        QCOMPARE(f->tree.item("a5")->text(), QString("Last"));
    }

    void anotherBookForgetsTheEditsOfTheLast()
    {
        select("a4");
        f->treeCommands.move(MoveDirection::Up);
        QCOMPARE(f->treeCommands.history().count(), 1);
        f->prompter.answers = {PromptAnswer::No};
        f->bookCommands.newBook();
        QCOMPARE(f->treeCommands.history().count(), 0);
    }
};

QTEST_GUILESS_MAIN(TestTreeCommands)
#include "tst_treecommands.moc"
