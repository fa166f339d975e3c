#include "BookFile.h"
#include "BookFixture.h"
#include "BookOrganizer.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

class TestBookOrganizer : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    std::unique_ptr<BookOrganizer> organizer;
    QString trash;

    QString app(const QString &name = {}) const { return f->app(name); }
    bool exists(const QString &name) const { return QFileInfo::exists(app(name)); }

    // A book kept in the program folder: its file and a book folder with one note.
    void keepBook(const QString &file, const QString &folder)
    {
        writeText(app(file), "|0\\Book=a1+root|\r\n");
        writeText(app(folder + "/a1.rtf"), "note of " + file.toUtf8());
    }

    void open(const QString &path)
    {
        f->book.setBookFile(path, bookNameFromPath(path));
        f->book.setOpened(path);
        treestring::buildTree(f->tree, u"|0\\Open=a1+root|a1\\Note=a2+richtxt|");
        f->tree.select(f->tree.item("a1"));
        writeText(f->working("a1.rtf"), "open note");
    }

    // A file where the trash's parent folder belongs: no trash can be set up.
    void takeTheTrashAway()
    {
        const QString data = f->dir.path() + "/home/data";
        QVERIFY(QDir(data).removeRecursively());
        writeText(data, "not a folder");
    }

    QStringList titles() const
    {
        QStringList shown;
        for (const FakePrompter::Prompt &prompt : f->prompter.prompts)
            shown << prompt.title;
        return shown;
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        trash = trashIn(f->dir.path());
        organizer = std::make_unique<BookOrganizer>(f->book, f->bookCommands, f->prompter);
        open(f->dir.path() + "/docs/report.iis");
    }

    void listsTheBookFilesDirectlyInTheProgramFolderByName()
    {
        QVERIFY(organizer->bookFiles().isEmpty()); // the working folder alone is there
        for (const char *name : {"b.iis", "A.iis", ".iis", "c.IIS", "notes.txt", "sub/x.iis", "back\\slash.iis"})
            writeText(app(name), "");
        QDir().mkpath(app("folder.iis"));
        writeText(f->dir.path() + "/elsewhere.iis", "");
        QCOMPARE(organizer->bookFiles(), QStringList({".iis", "A.iis", "b.iis", "c.IIS"}));
    }

    void deleteAsksAlsoWhenNothingIsTickedAndDeletesNothing()
    {
        QCOMPARE(organizer->deleteBooks({}, {}), QStringList());
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QCOMPARE(f->prompter.prompts[0].text, QString("本当に削除してもよろしいですか？"));
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::OkCancel);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::None);

        keepBook("a.iis", "a");
        f->prompter.prompts.clear();
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks({"a.iis"}, {}), QStringList({"a.iis"}));
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(exists("a.iis") && exists("a/a1.rtf"));
    }

    void deletesTickedBooksWithTheirFolders()
    {
        keepBook("a.iis", "a");
        keepBook("b.iis", "b");
        keepBook("c.iis", "c");
        writeText(app("c/a2url.txt"), "/pages/index.html\r\n");
        f->prompter.answers = {PromptAnswer::Ok};
        // Two ticked entries next to each other are both handled.
        QCOMPARE(organizer->deleteBooks(organizer->bookFiles(), {"b.iis", "c.iis"}), QStringList({"a.iis"}));
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(!exists("b.iis") && !exists("b") && !exists("c.iis") && !exists("c"));
        QVERIFY(exists("a.iis") && exists("a/a1.rtf"));
        QCOMPARE(organizer->bookFiles(), QStringList({"a.iis"}));
        // The book open elsewhere stays open as it was.
        QCOMPARE(f->book.caption(), "BOOK - " + f->book.bookPath());
        QCOMPARE(readText(f->working("a1.rtf")), QByteArray("open note"));
    }

    void cancelDeletesNothingAtAll()
    {
        keepBook("b.iis", "b");
        keepBook("report.iis", "report");
        f->prompter.answers = {PromptAnswer::Cancel};
        const QStringList entries = organizer->bookFiles();
        QCOMPARE(organizer->deleteBooks(entries, entries), entries);
        QCOMPARE(titles(), QStringList({"現在開いているBookの削除"}));
        QVERIFY(exists("b.iis") && exists("b/a1.rtf") && exists("report.iis") && exists("report/a1.rtf"));
        QCOMPARE(f->book.bookName(), QString("report"));

        f->prompter.prompts.clear();
        f->prompter.answers = {PromptAnswer::Cancel};
        QCOMPARE(organizer->deleteBooks(entries, {"b.iis"}), entries);
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(exists("b.iis") && exists("b/a1.rtf"));
    }

    void deletingTheOpenBookStartsANewBookWithoutAskingToSave_data()
    {
        QTest::addColumn<bool>("fileInProgramFolder");
        QTest::newRow("its file in the program folder") << true;
        QTest::newRow("its file elsewhere, its folder here") << false;
    }

    void deletingTheOpenBookStartsANewBookWithoutAskingToSave()
    {
        QFETCH(bool, fileInProgramFolder);
        keepBook("report.iis", "report");
        keepBook("other.iis", "other");
        if (fileInProgramFolder)
            open(app("report.iis"));
        f->book.markChanged();
        f->note.text = "open note";
        f->page.sourceEditing = true;
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks(organizer->bookFiles(), {"other.iis", "report.iis"}), QStringList());

        // Neither the plain question nor one to save the book.
        QCOMPARE(titles(), QStringList({"現在開いているBookの削除"}));
        const FakePrompter::Prompt &prompt = f->prompter.prompts[0];
        QCOMPARE(prompt.text, QString("「report」 は現在開いているBOOKですが、\n\n本当に削除してもよろしいですか？"));
        QCOMPARE(prompt.buttons, PromptButtons::OkCancel);
        QCOMPARE(prompt.icon, PromptIcon::None);
        QVERIFY(!exists("report.iis") && !exists("report") && !exists("other.iis") && !exists("other"));
        QCOMPARE(f->book.caption(), QString("BOOK - 新規ブック （更新）"));
        QVERIFY(f->book.isChanged());
        QVERIFY(f->book.bookPath().isEmpty() && f->book.bookName().isEmpty());
        QCOMPARE(f->tree.count(), 1);
        QVERIFY(QDir(f->working()).isEmpty());
        QVERIFY(!f->page.sourceEditing);
        QVERIFY(f->note.text.isEmpty());
    }

    void aBookFolderStaysWhileAnotherBookFileUsesIt()
    {
        keepBook("a.iis", "a");
        writeText(app("a.b.iis"), "");
        writeText(app("a.c.iis"), "");
        open(app("a.iis"));
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks(organizer->bookFiles(), {"a.b.iis"}), QStringList({"a.c.iis", "a.iis"}));
        // a.b.iis is not the open book a.iis, which stays open.
        QCOMPARE(titles(), QStringList({"Bookの削除", "Bookの整理"}));
        QCOMPARE(f->prompter.prompts[1].text, QString("「 a 」のフォルダは a.c.iis、a.iis も使っているので残しました。"));
        QCOMPARE(f->prompter.prompts[1].buttons, PromptButtons::Ok);
        QCOMPARE(f->prompter.prompts[1].icon, PromptIcon::Information);
        QVERIFY(!exists("a.b.iis"));
        QVERIFY(exists("a/a1.rtf"));
        QCOMPARE(f->book.bookPath(), app("a.iis"));

        // Deleted together, the books take their folder along, and nothing is said about it.
        f->prompter.prompts.clear();
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks({"a.c.iis", "a.iis"}, {"a.c.iis", "a.iis"}), QStringList());
        QCOMPARE(titles(), QStringList({"現在開いているBookの削除"}));
        QVERIFY(!exists("a") && !exists("a.iis") && !exists("a.c.iis"));
    }

    void aDottedNameUsesTheFolderBeforeItsFirstDot()
    {
        keepBook("a.b.iis", "a");
        writeText(app("a.b/a1.rtf"), "not this book's");
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks({"a.b.iis"}, {"a.b.iis"}), QStringList());
        QVERIFY(!exists("a.b.iis") && !exists("a"));
        QVERIFY(exists("a.b/a1.rtf"));
    }

    void aBookWithoutAFolderOfItsOwnDeletesOnlyItsFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("no name") << ".iis";
        QTest::newRow("no name before the dot") << ".x.iis";
        QTest::newRow("the working folder's name") << "temp.iis";
        QTest::newRow("the working folder's name in capitals") << "TEMP.iis";
    }

    void aBookWithoutAFolderOfItsOwnDeletesOnlyItsFile()
    {
        QFETCH(QString, file);
        writeText(app(file), "");
        writeText(app("kobin.qch"), "help");
        writeText(app("TEMP/notes.txt"), "not a book folder either");
        keepBook("sample.iis", "sample");
        // A new book has no name either: it is not the book being deleted.
        f->bookCommands.startNewBook(true);
        writeText(f->working("a1.rtf"), "typed into the new book");
        f->prompter.prompts.clear();
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks(organizer->bookFiles(), {file}), QStringList({"sample.iis"}));
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(!exists(file));
        QVERIFY(exists("kobin.qch") && exists("TEMP/notes.txt") && exists("sample.iis") && exists("sample/a1.rtf"));
        QCOMPARE(readText(f->working("a1.rtf")), QByteArray("typed into the new book"));
        QCOMPARE(f->book.caption(), QString("BOOK - 新規ブック （更新）"));
    }

    void namesThatAreNotBookFilesOfTheProgramFolderAreRefused()
    {
        writeText(f->dir.path() + "/outside.iis", "outside");
        writeText(f->dir.path() + "/outside/a1.rtf", "outside note");
        writeText(app("sub/x.iis"), "in a subfolder");
        writeText(app("kobin"), "the program");
        const QStringList entries = {"../outside.iis", "sub/x.iis", "kobin", "..\\outside.iis"};
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks(entries, entries), entries);
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(QFile::exists(f->dir.path() + "/outside.iis") && QFile::exists(f->dir.path() + "/outside/a1.rtf"));
        QVERIFY(exists("sub/x.iis") && exists("kobin"));
    }

    void whatCannotBeDeletedIsPassedOverSilently()
    {
        keepBook("b.iis", "b");
        writeText(app("b/pages/index.html"), "<html></html>");
        f->prompter.answers = {PromptAnswer::Ok};
        // gone.iis was deleted by someone else after the list was filled.
        QCOMPARE(organizer->deleteBooks({"b.iis", "gone.iis", "z.iis"}, {"b.iis", "gone.iis"}),
                 QStringList({"z.iis"}));
        QCOMPARE(titles(), QStringList({"Bookの削除"}));
        QVERIFY(!exists("b.iis") && !exists("b/a1.rtf"));
        // A subfolder is not the book's: it stays, and the folder with it.
        QVERIFY(exists("b/pages/index.html"));
    }

    void aLinkedBookFolderLosesOnlyTheLink_data()
    {
        QTest::addColumn<bool>("withTrash");
        QTest::newRow("into the trash") << true;
        QTest::newRow("deleted") << false;
    }

    void aLinkedBookFolderLosesOnlyTheLink()
    {
        QFETCH(bool, withTrash);
        if (!withTrash)
            takeTheTrashAway();
        writeText(app("c.iis"), "");
        writeText(f->dir.path() + "/elsewhere/a1.rtf", "kept elsewhere");
        QVERIFY(QFile::link(f->dir.path() + "/elsewhere", app("c")));
        f->prompter.answers = {PromptAnswer::Ok};
        QCOMPARE(organizer->deleteBooks({"c.iis"}, {"c.iis"}), QStringList());
        QVERIFY(!QFileInfo(app("c")).isSymLink() && !exists("c.iis"));
        QCOMPARE(readText(f->dir.path() + "/elsewhere/a1.rtf"), QByteArray("kept elsewhere"));
    }

    void deletedBooksGoToTheTrashWhereThereIsOne()
    {
        keepBook("b.iis", "b");
        f->prompter.answers = {PromptAnswer::Ok};
        organizer->deleteBooks({"b.iis"}, {"b.iis"});
        QVERIFY(!exists("b.iis") && !exists("b"));
        QCOMPARE(readText(trash + "b.iis"), QByteArray("|0\\Book=a1+root|\r\n"));
        QCOMPARE(readText(trash + "b/a1.rtf"), QByteArray("note of b.iis"));
    }

    void withoutATrashBooksAreDeleted()
    {
        takeTheTrashAway();
        keepBook("b.iis", "b");
        const QStringList before = QDir(f->dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        f->prompter.answers = {PromptAnswer::Ok};
        organizer->deleteBooks({"b.iis"}, {"b.iis"});
        QVERIFY(!exists("b.iis") && !exists("b"));
        // Nothing was moved anywhere else: not into a folder of the current one either.
        QCOMPARE(QDir(f->dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
        QVERIFY(!QFileInfo::exists("files/b.iis") && !QFileInfo::exists("files/b"));
    }
};

QTEST_GUILESS_MAIN(TestBookOrganizer)
#include "tst_bookorganizer.moc"
