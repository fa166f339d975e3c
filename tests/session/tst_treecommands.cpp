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

    // The book's content files as the program reads them, by name.
    QStringList workingFiles() const
    {
        QStringList names = f->book.workingFolder().readableContentFiles().value_or(QStringList());
        names.sort();
        return names;
    }
    QString shape() const { return treestring::fromTree(f->tree); }
    void select(const char *key) { f->tree.select(f->tree.item(key)); }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\First=a3+richtxt|"
                    u"a2\\Second=a4+richtxt|a2\\Third=a21+richtxt|a1\\Last=a5+richtxt|");
        select("a1");
        f->book.shown().setKey("a1");
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
        QCOMPARE(f->book.shown().key(), QString("a6"));
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
        QVERIFY(!f->page.shown);
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->treeCommands.history().count(), 0);
    }

    void cancellingANameBringsTheShownPageBack()
    {
        const QString page = f->dir.path() + "/web/index.html";
        writeText(page, "<html></html>");
        f->tree.add("a1", Relationship::Child, "a7", "Web", "htmlfile");
        writeText(f->working("a7url.txt"), QFile::encodeName(page) + "\r\n");
        f->click("a7");
        QVERIFY(f->page.shown);
        f->treeCommands.addItem(ItemKind::Text, Placement::Beside); // hides the page while naming; cancelled
        QCOMPARE(f->tree.selectedItem()->key(), QString("a7"));
        QVERIFY(f->page.shown);
    }

    void addingAHomepageNamesItAndShowsItsPage()
    {
        const QString page = f->dir.path() + "/web/tips.html";
        writeText(page, "<html></html>");
        f->click("a3");
        f->note.text = "typed into First";
        f->page.shown = true; // the page pane stays while a homepage item is named
        f->settings.write(settings::recentFolder(1), "/first/");
        f->settings.write(settings::recentFolder(2), "/second/");
        f->referrer.answers = {{"", ""}, {"Tips", page}};
        f->treeCommands.addItem(ItemKind::Homepage, Placement::Beside);
        QCOMPARE(f->referrer.openings.size(), 1);
        QCOMPARE(f->referrer.openings[0].mode, ReferenceMode::NewItem);
        QCOMPARE(f->referrer.openings[0].historyText, QString("/second/"));
        QCOMPARE(f->prompter.prompts.size(), 1); // the empty name
        QCOMPARE(f->note.typingResets, 1);
        TreeItem *added = f->tree.item("a6");
        QVERIFY(added);
        QCOMPARE(added->text(), QString("Tips"));
        QCOMPARE(added->image(), QString("htmlfile"));
        QCOMPARE(added->selectedImage(), QString("SelectedHtmlfile"));
        QCOMPARE(added->row(), 1); // directly after a3
        QCOMPARE(f->book.shown().key(), QString("a6"));
        QCOMPARE(readText(f->working("a3.rtf")), QByteArray("typed into First"));
        QCOMPARE(readText(f->working("a6url.txt")), QFile::encodeName(page) + "\r\n");
        QVERIFY(f->homepageCommandsShown());
        QVERIFY(f->page.shown);
        QCOMPARE(f->page.navigated, QStringList({page}));
        QCOMPARE(f->treeCommands.history().count(), 1);

        // Undone, the item's url file and side text leave with it; redone, they come back.
        f->note.text = "beside the tips";
        f->treeCommands.history().undo();
        QVERIFY(!f->tree.item("a6"));
        QVERIFY(!QFile::exists(f->working("a6url.txt")) && !QFile::exists(f->working("a6tips.rtf")));
        QCOMPARE(f->book.shown().key(), QString("a2"));
        f->treeCommands.history().redo();
        QCOMPARE(f->tree.item("a6")->text(), QString("Tips"));
        QCOMPARE(f->tree.item("a6")->row(), 1);
        QCOMPARE(readText(f->working("a6url.txt")), QFile::encodeName(page) + "\r\n");
        QCOMPARE(f->book.shown().key(), QString("a6"));
        QCOMPARE(f->note.text, QString("beside the tips"));
    }

    void cancellingAHomepageTakesItAwayAndCreatesNoFile()
    {
        f->click("a5");
        const QString before = shape();
        const QStringList files = workingFiles();
        f->page.shown = true;
        f->referrer.answers = {};
        f->treeCommands.addItem(ItemKind::Homepage, Placement::Child);
        QCOMPARE(f->referrer.openings.size(), 1);
        QVERIFY(f->referrer.openings[0].history.isEmpty());
        QCOMPARE(shape(), before);
        QCOMPARE(workingFiles(), files);
        QCOMPARE(f->tree.selectedItem()->key(), QString("a5"));
        QCOMPARE(f->book.shown().key(), QString("a5"));
        QVERIFY(f->page.shown);
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->treeCommands.history().count(), 0);
    }

    void aChangedPageCanBeTakenBackWithItsSideTexts()
    {
        const QString index = f->dir.path() + "/web/index.html";
        const QString next = f->dir.path() + "/web/next.html";
        writeText(index, "<html></html>");
        writeText(next, "<html></html>");
        treestring::buildTree(f->tree, u"|a1\\Web=a6+htmlfile|a1\\Near=a61+htmlfile|");
        for (const char *key : {"a6", "a61"}) {
            writeText(f->working(key + QString("url.txt")), QFile::encodeName(index) + "\r\n");
            writeText(f->working(key + QString("index.rtf")), QByteArray("index side text of ") + key);
        }
        writeText(f->working("a6linked.rtf"), "side text of a linked page");
        f->click("a6");
        f->note.text = "typed beside index";

        select("a3");
        f->treeCommands.changePageReference(); // not a homepage item: nothing
        QVERIFY(f->referrer.openings.isEmpty());

        select("a6");
        f->prompter.answers = {PromptAnswer::Ok};
        f->referrer.answers = {{"Renamed", next}};
        f->treeCommands.changePageReference();
        QCOMPARE(f->referrer.openings[0].mode, ReferenceMode::Change);
        QCOMPARE(f->referrer.openings[0].page, index);
        QCOMPARE(f->tree.item("a6")->text(), QString("Renamed"));
        QCOMPARE(readText(f->working("a6url.txt")), QFile::encodeName(next) + "\r\n");
        QVERIFY(!QFile::exists(f->working("a6index.rtf")) && !QFile::exists(f->working("a6linked.rtf")));
        QCOMPARE(f->treeCommands.history().count(), 1);
        f->note.text = "typed beside next";

        f->treeCommands.history().undo();
        QCOMPARE(f->tree.item("a6")->text(), QString("Web"));
        QCOMPARE(readText(f->working("a6url.txt")), QFile::encodeName(index) + "\r\n");
        QCOMPARE(readText(f->working("a6index.rtf")), QByteArray("typed beside index"));
        QCOMPARE(readText(f->working("a6linked.rtf")), QByteArray("side text of a linked page"));
        QVERIFY(!QFile::exists(f->working("a6next.rtf")));
        QCOMPARE(f->book.shown().pageTextName(), QString("a6index"));
        QCOMPARE(f->note.text, QString("typed beside index"));
        QCOMPARE(f->page.navigated.last(), index);

        f->treeCommands.history().redo();
        QCOMPARE(f->tree.item("a6")->text(), QString("Renamed"));
        QCOMPARE(readText(f->working("a6url.txt")), QFile::encodeName(next) + "\r\n");
        QVERIFY(!QFile::exists(f->working("a6index.rtf")));
        QCOMPARE(f->book.shown().pageTextName(), QString("a6next"));
        QCOMPARE(f->note.text, QString("typed beside next"));
        QCOMPARE(f->page.navigated.last(), next);
        // The item whose key only starts alike kept everything.
        QCOMPARE(readText(f->working("a61index.rtf")), QByteArray("index side text of a61"));
        QCOMPARE(readText(f->working("a61url.txt")), QFile::encodeName(index) + "\r\n");
    }

    void savingAfterAPageChangeTakesTheOtherPagesFilesFromTheBookFolder()
    {
        const QString index = f->dir.path() + "/web/index.html";
        const QString next = f->dir.path() + "/web/next.html";
        writeText(index, "<html></html>");
        writeText(next, "<html></html>");
        treestring::buildTree(f->tree, u"|a1\\Web=a6+htmlfile|");
        writeText(f->working("a6url.txt"), QFile::encodeName(index) + "\r\n");
        writeText(f->working("a6index.rtf"), "index side text");
        const QString book = f->book.bookFolder();
        QDir().mkpath(book);
        for (const char *name : {"a6url.txt", "a6index.rtf"})
            QVERIFY(QFile::copy(f->working(name), book + name));
        f->click("a6");

        f->prompter.answers = {PromptAnswer::Ok};
        f->referrer.answers = {{"Web", next}};
        f->treeCommands.changePageReference();
        f->bookCommands.save();
        QVERIFY(!QFile::exists(book + "a6index.rtf"));
        QVERIFY(QFile::exists(book + "a6next.rtf"));
        QCOMPARE(readText(book + "a6url.txt"), QFile::encodeName(next) + "\r\n");

        f->treeCommands.history().undo();
        f->bookCommands.save();
        QCOMPARE(readText(book + "a6index.rtf"), QByteArray("index side text"));
        QVERIFY(!QFile::exists(book + "a6next.rtf") && !QFile::exists(book + "a6nextside.txt"));
        QCOMPARE(readText(book + "a6url.txt"), QFile::encodeName(index) + "\r\n");
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
        QCOMPARE(f->book.shown().key(), QString("a1")); // moving shows nothing else
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
        QCOMPARE(f->book.shown().key(), QString("a5"));
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
        QCOMPARE(f->book.shown().key(), QString("a5")); // what the deletion showed, not the parent
    }

    void savingRemovesTheFilesOfDeletedItemsFromTheBookFolderAndNothingElse()
    {
        const QString book = f->book.bookFolder();
        QDir().mkpath(book);
        for (const QString &name : workingFiles())
            QVERIFY(QFile::copy(f->working(name), book + name));
        QVERIFY(QFile::remove(f->working("a5.rtf"))); // a note that never reached the working folder

        select("a21");
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        f->bookCommands.save();
        const QStringList withoutA21{"a1.rtf", "a2.rtf", "a3.rtf", "a4.rtf", "a5.rtf"};
        QCOMPARE(QDir(book).entryList(QDir::Files, QDir::Name), withoutA21);

        f->treeCommands.history().undo();
        f->bookCommands.save();
        QCOMPARE(QDir(book).entryList(QDir::Files, QDir::Name),
                 QStringList({"a1.rtf", "a2.rtf", "a21.rtf", "a21url.txt", "a3.rtf", "a4.rtf", "a5.rtf"}));
        QCOMPARE(readText(book + "a21url.txt"), QByteArray("note of a21url.txt"));

        f->treeCommands.history().redo();
        f->bookCommands.save();
        QCOMPARE(QDir(book).entryList(QDir::Files, QDir::Name), withoutA21);
        QCOMPARE(f->prompter.prompts.size(), 1); // only the question before the deletion
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
        QCOMPARE(f->book.shown().key(), QString("a5"));
        QCOMPARE(f->note.text, QString("note of a5.rtf"));

        select("a1"); // the toolbar's button refuses the book item as the Delete key does
        f->treeCommands.deleteItem();
        QCOMPARE(f->prompter.prompts.last().text, QString("ブックは削除できません。"));
    }

    // Web (a7, a homepage item) with Note (a8) after it; the Tree menu deletes Note,
    // chosen with the right button (selected, not shown) or shown.
    void deletingFromTheTreeMenuShowsThePageItemAsAPage_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<PromptAnswer>("answer");
        QTest::newRow("page shown, answered No") << "a7" << PromptAnswer::No;
        QTest::newRow("page shown, the neighbour chosen is the page item") << "a7" << PromptAnswer::Yes;
        QTest::newRow("the deleted item shown") << "a8" << PromptAnswer::Yes;
    }
    void deletingFromTheTreeMenuShowsThePageItemAsAPage()
    {
        QFETCH(QString, shown);
        QFETCH(PromptAnswer, answer);
        const QString page = f->dir.path() + "/web/index.html";
        writeText(page, "<html></html>");
        f->tree.add("a5", Relationship::Child, "a7", "Web", "htmlfile");
        f->tree.add("a7", Relationship::Next, "a8", "Note", "richtxt");
        writeText(f->working("a7url.txt"), QFile::encodeName(page) + "\r\n");
        writeText(f->working("a8.rtf"), "note of a8.rtf");
        f->treeCommands.bindCommands(f->commands);
        f->click(shown.toLatin1());
        select("a8");
        f->prompter.answers = {answer};
        f->commands.run(Command::DeleteItem);
        QCOMPARE(f->tree.item("a8") != nullptr, answer == PromptAnswer::No);
        QCOMPARE(f->book.shown().key(), QString("a7"));
        QVERIFY(f->homepageCommandsShown());
        QVERIFY(f->commands.isEnabled(Command::ChangePageReference, Surface::Menu));
        QVERIFY(f->page.shown);
        QCOMPARE(f->page.navigated.last(), page);
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
