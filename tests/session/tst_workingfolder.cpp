#include "BookFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QtTest>
#include <sys/stat.h>

using namespace kobin;

// The working folder holds only what changed since the book was opened or saved;
// the book folder holds the rest. Each change is followed through a save and a
// new opening of the book, with the program's own commands.
class TestWorkingFolder : public QObject
{
    Q_OBJECT

    std::unique_ptr<BookFixture> f;
    QString m_bookFile;

    QString folder(const QString &name = {}) const { return f->app("book/") + name; }
    QStringList changedFiles() const { return QDir(f->working()).entryList({"*.rtf", "*.txt"}, QDir::Files, QDir::Name); }
    static ino_t fileNumber(const QString &path)
    {
        struct stat status {};
        return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : ino_t(0);
    }

    void reopen()
    {
        f->bookCommands.openRecentBook(m_bookFile);
        QCOMPARE(f->book.bookPath(), m_bookFile);
    }
    // What the text pane shows for the item after a click on it.
    QString noteShownFor(const char *key)
    {
        f->click(key);
        return f->note.text;
    }
    void type(const QString &text)
    {
        f->note.text = text;
        f->bookCommands.textChanged();
    }
    void deleteItem(const char *key)
    {
        f->tree.select(f->tree.item(key));
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        QVERIFY(!f->tree.item(key));
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        m_bookFile = f->app("book.iis");
        writeText(m_bookFile, "|0\\Book=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|a1\\Web=a4+htmlfile|\r\n");
        for (const char *key : {"a1", "a2", "a3"})
            writeText(folder(QString(key) + ".rtf"), QByteArray("saved ") + key);
        writeText(f->dir.path() + "/index.html", "<p>page</p>");
        writeText(folder("a4url.txt"), QFile::encodeName(f->dir.path() + "/index.html") + "\r\n");
        writeText(folder("a4index.rtf"), "beside the page");
        writeText(folder("a4index.txt"), "2000\r\n");
        writeText(folder("a4indexside.txt"), "3000\r\n");
        reopen();
    }

    void openingAndLookingCopyNothing()
    {
        QCOMPARE(noteShownFor("a2"), QString("saved a2"));
        QCOMPARE(noteShownFor("a3"), QString("saved a3"));
        QCOMPARE(noteShownFor("a4"), QString("beside the page"));
        QCOMPARE(noteShownFor("a1"), QString("saved a1"));
        QVERIFY(changedFiles().isEmpty());
        const ino_t unchanged = fileNumber(folder("a2.rtf"));
        f->bookCommands.save();
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(fileNumber(folder("a2.rtf")), unchanged);
    }

    void aNoteWrittenIsTheOnlyFileASaveWrites()
    {
        f->click("a2");
        type("typed into a2");
        f->click("a3");
        QCOMPARE(changedFiles(), QStringList({"a2.rtf"}));
        QCOMPARE(noteShownFor("a2"), QString("typed into a2"));
        const ino_t untouched = fileNumber(folder("a3.rtf"));
        f->bookCommands.save();
        QVERIFY(!f->book.isChanged());
        QVERIFY(changedFiles().isEmpty());
        QCOMPARE(readText(folder("a2.rtf")), QByteArray("typed into a2"));
        QCOMPARE(fileNumber(folder("a3.rtf")), untouched);
        reopen();
        QCOMPARE(noteShownFor("a2"), QString("typed into a2"));
        QCOMPARE(noteShownFor("a3"), QString("saved a3"));
    }

    void aNoteDeletedAndWrittenAgainIsTheNewOne()
    {
        deleteItem("a3");
        f->tree.select(f->tree.item("a1"));
        f->namer.names = {"Again"};
        f->treeCommands.addItem(ItemKind::Text, Placement::Child);
        QCOMPARE(f->book.shown().key(), QString("a3")); // the smallest free key
        QCOMPARE(f->note.text, QString()); // never the deleted item's note
        type("the new item's note");
        f->bookCommands.save();
        QCOMPARE(readText(folder("a3.rtf")), QByteArray("the new item's note"));
        reopen();
        QCOMPARE(noteShownFor("a3"), QString("the new item's note"));
    }

    void aDeletedItemIsGoneAfterASaveAndBackAfterAnUndo()
    {
        deleteItem("a2");
        f->bookCommands.save();
        QVERIFY(!QFile::exists(folder("a2.rtf")));
        // Taken back after the save: the note comes back with the item, and the next save keeps it.
        f->treeCommands.history().undo();
        QVERIFY(f->tree.item("a2"));
        QCOMPARE(noteShownFor("a2"), QString("saved a2"));
        f->bookCommands.save();
        QCOMPARE(readText(folder("a2.rtf")), QByteArray("saved a2"));
        reopen();
        QCOMPARE(noteShownFor("a2"), QString("saved a2"));
    }

    void aDeletionTakenBackBeforeASaveKeepsTheNote()
    {
        f->click("a2");
        type("typed, then the item deleted");
        f->click("a3");
        deleteItem("a2");
        QCOMPARE(f->book.workingFolder().deletions().files(), QStringList({"a2.rtf"}));
        f->treeCommands.history().undo();
        QVERIFY(f->book.workingFolder().deletions().files().isEmpty());
        f->bookCommands.save();
        reopen();
        QCOMPARE(noteShownFor("a2"), QString("typed, then the item deleted"));
    }

    void aChangedPageTakesItsOldFilesAlongAtTheSave()
    {
        f->click("a4");
        type("beside the old page");
        writeText(f->dir.path() + "/next.html", "<p>next</p>");
        f->referrer.answers = {{"Web", f->dir.path() + "/next.html"}};
        f->prompter.answers = {PromptAnswer::Ok};
        f->tree.select(f->tree.item("a4"));
        f->treeCommands.changePageReference();
        type("beside the new page");
        f->click("a1");
        f->bookCommands.save();
        QCOMPARE(QDir(folder()).entryList({"a4*"}, QDir::Files, QDir::Name),
                 QStringList({"a4next.rtf", "a4next.txt", "a4nextside.txt", "a4url.txt"}));
        QVERIFY(readText(folder("a4url.txt")).contains("next.html"));
        reopen();
        QCOMPARE(noteShownFor("a4"), QString("beside the new page"));
    }

    void aWorkingFolderThatHasGoneIsMadeAgainForTheNextWrite()
    {
        QVERIFY(QDir(f->working()).removeRecursively());
        f->click("a2");
        type("typed after the folder went");
        deleteItem("a3");
        f->bookCommands.save();
        for (const auto &prompt : f->prompter.prompts)
            QVERIFY2(prompt.title != "保存できません", qPrintable(prompt.text));
        QVERIFY(!f->book.isChanged());
        QCOMPARE(readText(folder("a2.rtf")), QByteArray("typed after the folder went"));
        QVERIFY(!QFile::exists(folder("a3.rtf")));

        // Gone while the program was closed: a new book has it back for its first note.
        QVERIFY(QDir(f->working()).removeRecursively());
        f->bookCommands.newBook();
        QVERIFY(QFileInfo(f->working()).isDir());
    }

    void aCrashLeavesTheChangesForTheNextStart()
    {
        f->click("a2");
        type("not yet saved");
        f->click("a3");
        deleteItem("a3");
        // What a program that ended unexpectedly leaves: the changes and the record of deletions.
        WorkingFolder resumed(f->working());
        resumed.resume(folder(), [](const QString &key) { return key != "a3"; });
        QCOMPARE(readText(resumed.readableFile("a2.rtf")), QByteArray("not yet saved"));
        QVERIFY(!QFile::exists(resumed.readableFile("a3.rtf")));
        QCOMPARE(resumed.deletions().files(), QStringList({"a3.rtf"}));
        QCOMPARE(resumed.readableContentFiles().value(), QStringList({"a1.rtf", "a2.rtf", "a4index.rtf", "a4index.txt", "a4indexside.txt", "a4url.txt"}));
    }

    void foldersAndLinksToThemAreNoContentFiles()
    {
        // Listed without a look at each file: a link is followed to tell, one leading nowhere counts as a file.
        QVERIFY(QDir().mkpath(folder("a7.rtf")));
        QVERIFY(QFile::link(folder("a7.rtf"), folder("a8.rtf")));
        QVERIFY(QFile::link(folder("a2.rtf"), folder("a9.rtf")));
        QVERIFY(QFile::link(folder("gone.rtf"), folder("a10.rtf")));
        QCOMPARE(ContentNames::filesIn(folder()),
                 QStringList({"a1.rtf", "a10.rtf", "a2.rtf", "a3.rtf", "a4index.rtf", "a9.rtf", "a4index.txt",
                              "a4indexside.txt", "a4url.txt"}));
    }

    void aRecordedDeletionOutsideTheFolderIsIgnoredAndTheSaveLeavesItsFile()
    {
        // The book folder is a link into a synced folder: "../" from it leads elsewhere than from here.
        const QString synced = f->dir.path() + "/synced/";
        QVERIFY(QDir().mkpath(synced));
        QVERIFY(QDir().rename(folder(), synced + "book"));
        QVERIFY(QFile::link(synced + "book", f->app("book")));
        writeText(synced + "x.rtf", "not the book's");
        deleteItem("a3");
        writeText(f->working("deleted-files.lst"), readText(f->working("deleted-files.lst")) + "../x.rtf\n");
        WorkingFolder &resumed = f->book.workingFolder();
        resumed.resume(folder(), [](const QString &key) { return key != "a3"; });
        QCOMPARE(resumed.deletions().files(), QStringList({"a3.rtf"}));
        f->bookCommands.save();
        QVERIFY(!QFile::exists(folder("a3.rtf")));
        QCOMPARE(readText(synced + "x.rtf"), QByteArray("not the book's"));
    }
};

QTEST_GUILESS_MAIN(TestWorkingFolder)
#include "tst_workingfolder.moc"
