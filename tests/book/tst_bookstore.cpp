#include "Book.h"
#include "BookStore.h"
#include "CapturedPages.h"
#include "WorkingFolder.h"
#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "SmallDisk.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <utime.h>

using namespace kobin;

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

// Saves the book, answering every question about overwriting with Yes; what was asked goes to *asked.
StoreResult store(Book &book, QStringList *asked = nullptr)
{
    return storeBook(book, [asked](const QString &path) {
        if (asked)
            asked->append(path);
        return true;
    });
}

bool saved(Book &book)
{
    return store(book).outcome == StoreResult::Outcome::Saved;
}

} // namespace

class TestBookStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Book> m_book;

    QString working() const { return m_book->workingFolder().path(); }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_book = std::make_unique<Book>(m_dir->path() + "/prog/");
        m_book->setBookFile(m_dir->path() + "/docs/report.final.iis", "report");
        QDir().mkpath(working());
        QDir().mkpath(m_dir->path() + "/docs");
        treestring::buildTree(m_book->tree(), u"|0\\Report=a1+root|a1\\Note=a2+richtxt|");
        QVERIFY(m_book->workingFolder().startFrom(m_book->bookFolder()));
    }

    // A test that made the working folder unreadable leaves nothing the temporary folder cannot remove.
    void cleanup() { QFile::setPermissions(working(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); }

    void saveMovesTheChangedFilesIntoTheBookFolderAndEmptiesTheWorkingFolder()
    {
        const QString working = this->working();
        writeText(working + "a1.rtf", "root note");
        writeText(working + "a2.rtf", "new note");
        writeText(working + "a5url.txt", "C:\\web\\index.html\r\n");
        writeText(working + "scratch.bak", "not content");
        const QString book = m_book->bookFolder();
        QDir().mkpath(book);
        writeText(book + "a2.rtf", "old note");
        writeText(book + "a3.rtf", "deleted item");
        writeText(book + "a3indexside.txt", "1200\r\n");
        writeText(book + "notes.doc", "the user's own file");

        QStringList asked;
        QCOMPARE(store(*m_book, &asked).outcome, StoreResult::Outcome::Saved);
        QVERIFY(asked.isEmpty());
        // Files the working folder lacks stay: nothing says they were deleted.
        QCOMPARE(filesIn(book),
                 QStringList({"a1.rtf", "a2.rtf", "a3.rtf", "a3indexside.txt", "a5url.txt", "notes.doc"}));
        QCOMPARE(readText(book + "a2.rtf"), QByteArray("new note"));
        QCOMPARE(readText(m_book->bookPath()), QByteArray("|0\\Report=a1+root|a1\\Note=a2+richtxt|\r\n"));
        QVERIFY(filesIn(working).isEmpty());
        QCOMPARE(m_book->workingFolder().readableFile("a2.rtf"), book + "a2.rtf");
    }

    void savedAsAnotherBookTheWholeBookIsCopiedAndTheOldFolderStays()
    {
        const QString oldFolder = m_book->bookFolder();
        writeText(oldFolder + "a1.rtf", "root note");
        writeText(oldFolder + "a2.rtf", "old note");
        writeText(oldFolder + "a3.rtf", "deleted item");
        writeText(working() + "a2.rtf", "new note");
        std::ignore = m_book->workingFolder().setAside({"a3.rtf"});
        m_book->setBookFile(m_dir->path() + "/docs/copy.iis", "copy");

        QVERIFY(saved(*m_book));
        const QString newFolder = m_book->bookFolder();
        QCOMPARE(filesIn(newFolder), QStringList({"a1.rtf", "a2.rtf"}));
        QCOMPARE(readText(newFolder + "a2.rtf"), QByteArray("new note"));
        QCOMPARE(filesIn(oldFolder), QStringList({"a1.rtf", "a2.rtf", "a3.rtf"}));
        QCOMPARE(readText(oldFolder + "a2.rtf"), QByteArray("old note"));
        // From now on the copy is the book read and written.
        QCOMPARE(m_book->workingFolder().readableFile("a1.rtf"), newFolder + "a1.rtf");
        QVERIFY(filesIn(working()).isEmpty());
    }

    void savedAsAnotherBookTheCapturedPagesGoAlong()
    {
        const QString oldFolder = m_book->bookFolder();
        const QString captured = oldFolder + "pages/20261209-101500-0000beef/";
        writeText(captured + "index.html", "<img src=index_files/a.png>");
        writeText(captured + "index_files/a.png", "png");
        writeText(oldFolder + "a2url.txt", (captured + "index.html\r\n").toUtf8());
        writeText(working() + "a3url.txt", (captured + "index_files/a.png\r\n").toUtf8());
        writeText(oldFolder + "a4url.txt", "C:\\web\\other.html\r\n");
        const QString capturedSinceSaved = oldFolder + "pages/20261209-101600-0000cafe/";
        writeText(capturedSinceSaved + "index.html", "new");
        writeText(working() + "a5url.txt", (capturedSinceSaved + "index.html\r\n").toUtf8());
        m_book->newCaptures().add(capturedSinceSaved);
        m_book->setBookFile(m_dir->path() + "/docs/copy.iis", "copy");

        QVERIFY(saved(*m_book));
        // The old book file never named the page captured since: only its copy stays.
        QVERIFY(!QFile::exists(capturedSinceSaved));
        QCOMPARE(readText(m_book->workingFolder().pageSettings().pagePath("a5").value()), QByteArray("new"));
        QVERIFY(QDir(oldFolder).removeRecursively());
        const WorkingFolder &folder = m_book->workingFolder();
        const QString page = folder.pageSettings().pagePath("a2").value();
        QCOMPARE(CapturedPages::captureFolderOf(page, m_book->bookFolder()).isEmpty(), false);
        QCOMPARE(readText(page), QByteArray("<img src=index_files/a.png>"));
        // Two items naming one captured page name one copy of it.
        QCOMPARE(folder.pageSettings().pagePath("a3").value(), QFileInfo(page).path() + "/index_files/a.png");
        QCOMPARE(readText(folder.pageSettings().pagePath("a3").value()), QByteArray("png"));
        QCOMPARE(folder.pageSettings().pagePath("a4").value(), QString("C:\\web\\other.html"));
    }

    void savedAsAnotherBookItsOtherPagesGoAlongWithTheirFiles()
    {
        const QString oldFolder = m_book->bookFolder();
        const QString newFolder = m_dir->path() + "/prog/copy/";
        writeText(oldFolder + "pages/welcome.html", "<img src=welcome_files/a.png><a href=tips.html>");
        writeText(oldFolder + "pages/welcome_files/a.png", "png");
        writeText(oldFolder + "pages/tips.html", "tips");
        writeText(oldFolder + "own.htm", "own");
        writeText(oldFolder + "pages/taken.html", "this book's");
        writeText(newFolder + "pages/taken.html", "the other book's");
        const auto urlFile = [&](const QString &key, const QString &page) {
            writeText(working() + key + "url.txt", (page + "\r\n").toUtf8());
        };
        urlFile("a2", oldFolder + "pages/welcome.html");
        urlFile("a3", oldFolder + "pages/tips.html");
        urlFile("a4", oldFolder + "own.htm");
        urlFile("a5", oldFolder + "pages/taken.html");
        urlFile("a6", oldFolder + "pages/welcome.html");
        m_book->setBookFile(m_dir->path() + "/docs/copy.iis", "copy");

        QVERIFY(saved(*m_book));
        QVERIFY(QDir(oldFolder).removeRecursively());
        const WorkingFolder &folder = m_book->workingFolder();
        // The same place: links between the pages there still lead from one to the other.
        QCOMPARE(folder.pageSettings().pagePath("a2").value(), newFolder + "pages/welcome.html");
        QCOMPARE(folder.pageSettings().pagePath("a6").value(), newFolder + "pages/welcome.html");
        QCOMPARE(readText(newFolder + "pages/welcome_files/a.png"), QByteArray("png"));
        QCOMPARE(folder.pageSettings().pagePath("a3").value(), newFolder + "pages/tips.html");
        QCOMPARE(readText(folder.pageSettings().pagePath("a4").value()), QByteArray("own"));
        // A place taken in the new book folder is never written over.
        QCOMPARE(readText(newFolder + "pages/taken.html"), QByteArray("the other book's"));
        const QString taken = folder.pageSettings().pagePath("a5").value();
        QVERIFY(!CapturedPages::captureFolderOf(taken, newFolder).isEmpty());
        QCOMPARE(readText(taken), QByteArray("this book's"));
    }

    void savedAsAnotherBookAPageThatCannotBeCopiedStopsTheSave()
    {
        const QString oldFolder = m_book->bookFolder();
        writeText(oldFolder + "pages/welcome.html", "<img src=welcome_files/a.png>");
        writeText(oldFolder + "pages/welcome_files/a.png", "png");
        writeText(oldFolder + "pages/welcome_files/b.png", QByteArray(64 * 1024, 'b'));
        writeText(working() + "a2url.txt", (oldFolder + "pages/welcome.html\r\n").toUtf8());
        m_book->setBookFile(m_dir->path() + "/docs/copy.iis", "copy");

        const StoreResult result = [&] {
            const FileSizeLimit limit(1024); // as a full disk would stop it
            return storeBook(*m_book, [](const QString &) { return true; });
        }();
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(result.failedPath, oldFolder + "pages/welcome_files/b.png");
        // Nothing half made: no page, no files folder, no book file.
        QVERIFY(!QFileInfo::exists(m_book->bookFolder() + "pages/welcome.html"));
        QVERIFY(!QFileInfo::exists(m_book->bookFolder() + "pages/welcome_files"));
        QVERIFY(!QFileInfo::exists(m_book->bookPath()));
    }

    void saveRemovesTheCapturedPagesNoItemNamesAnyMore()
    {
        treestring::buildTree(m_book->tree(), u"|0\\Report=a1+root|a1\\Kept=a3+htmlfile|a1\\New=a6+htmlfile|");
        WorkingFolder &working = m_book->workingFolder();
        const QString pages = m_book->bookFolder() + "pages/";
        for (const char *name : {"one", "shared", "replaced", "another-computers", "new-kept", "new-undone"})
            writeText(pages + name + "/index.html", "page");
        m_book->newCaptures().add(pages + "new-kept/");
        m_book->newCaptures().add(pages + "new-undone/");
        QVERIFY(working.pageSettings().storePagePath("a6", pages + "new-kept/index.html"));
        const auto urlFile = [&](const QString &key, const QString &page) {
            writeText(m_book->bookFolder() + key + "url.txt", (pages + page + "/index.html\r\n").toUtf8());
        };
        urlFile("a2", "one");
        urlFile("a3", "shared");
        urlFile("a4", "shared");
        urlFile("a5", "replaced");
        std::ignore = working.setAside({"a2url.txt", "a4url.txt"});
        std::ignore = working.setAside({"a5url.txt"});
        QVERIFY(working.pageSettings().storePagePath("a5", "C:\\web\\new.html"));

        QVERIFY(saved(*m_book));
        QCOMPARE(QDir(pages).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name),
                 QStringList({"another-computers", "new-kept", "shared"}));

        // A book left unsaved takes the pages captured since with it.
        writeText(pages + "left/index.html", "page");
        m_book->newCaptures().add(pages + "left/");
        m_book->startNew(false);
        QVERIFY(!QFile::exists(pages + "left"));
        QVERIFY(QFile::exists(pages + "new-kept"));
    }

    void saveRemovesFromTheBookFolderOnlyTheFilesDeletedSinceTheLastSave()
    {
        WorkingFolder &working = m_book->workingFolder();
        const QString book = m_book->bookFolder();
        for (const char *name : {"a1.rtf", "a2.rtf", "a2url.txt", "a4.rtf"}) {
            writeText(working.path() + name, QByteArray("note ") + name);
            writeText(book + name, QByteArray("saved ") + name);
        }
        writeText(book + "a3.rtf", "a note that never reached the working folder");
        std::ignore = working.setAside({"a2.rtf", "a2url.txt"});
        // Deleted, then written again as the note of a new item with the same key.
        std::ignore = working.setAside({"a4.rtf"});
        writeText(working.path() + "a4.rtf", "new item's note");
        // Deleted, and the deletion taken back.
        QVERIFY(working.deletions().bringBack(working.setAside({"a1.rtf"})));

        QVERIFY(saved(*m_book));
        QCOMPARE(filesIn(book), QStringList({"a1.rtf", "a3.rtf", "a4.rtf"}));
        QCOMPARE(readText(book + "a1.rtf"), QByteArray("note a1.rtf"));
        QCOMPARE(readText(book + "a3.rtf"), QByteArray("a note that never reached the working folder"));
        QCOMPARE(readText(book + "a4.rtf"), QByteArray("new item's note"));

        // Saved, the deletions are done: a file put back by hand stays.
        writeText(book + "a2.rtf", "put back by hand");
        QStringList asked;
        QCOMPARE(store(*m_book, &asked).outcome, StoreResult::Outcome::Saved);
        QCOMPARE(readText(book + "a2.rtf"), QByteArray("put back by hand"));
        QVERIFY(asked.isEmpty());
    }

    void eachSaveWritesTheTreeAsItIsThen_data()
    {
        QTest::addColumn<QString>("edit");
        for (const char *edit : {"rename", "add", "remove", "move"})
            QTest::newRow(edit) << QString(edit);
    }

    void eachSaveWritesTheTreeAsItIsThen()
    {
        QFETCH(QString, edit);
        ItemTree &tree = m_book->tree();
        QVERIFY(tree.add("a1", Relationship::Child, "a3", "Other", "richtxt"));
        const auto saved = [this] {
            return storeBook(*m_book, [](const QString &) { return true; }).outcome == StoreResult::Outcome::Saved;
        };
        QVERIFY(saved());
        TreeEditor &editor = m_book->editor();
        if (edit == "rename")
            QVERIFY(editor.rename("a2", "Renamed"));
        else if (edit == "add")
            QVERIFY(tree.add("a1", Relationship::Child, "a4", "Added", "richtxt"));
        else if (edit == "remove")
            QVERIFY(editor.remove("a3"));
        else
            QVERIFY(editor.move("a3", MoveDirection::Up));
        QVERIFY(saved());
        QCOMPARE(readText(m_book->bookPath()), treestring::fromTree(tree).toLatin1() + "\r\n");
    }

    void firstSaveCreatesTheBookFolder()
    {
        writeText(working() + "a1.rtf", "root note");
        QVERIFY(saved(*m_book));
        QCOMPARE(filesIn(m_book->bookFolder()), QStringList({"a1.rtf"}));
    }

    void failedCopyStopsBeforeDeletingAnything()
    {
        const QString book = m_book->bookFolder();
        QDir().mkpath(book);
        writeText(book + "a3.rtf", "a note only the book folder holds");
        writeText(working() + "a1.rtf", "root note");
        // A folder where the copy must go makes the copy fail.
        QDir().mkpath(book + "a1.rtf");
        const StoreResult result = store(*m_book);
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(readText(book + "a3.rtf"), QByteArray("a note only the book folder holds"));
        QVERIFY(!QFile::exists(m_book->bookPath())); // the tree comes only after every note
    }

    void aBookFileThatCannotBeWrittenFollowsTheNotesAndComesBeforeAnyRemoval()
    {
        m_book->setBookFile(m_dir->path() + "/docs/report.final.iis/inside.iis", m_book->bookName());
        writeText(m_dir->path() + "/docs/report.final.iis", "|0\\Old=a1+root|\r\n");
        const QString book = m_book->bookFolder();
        writeText(book + "a1.rtf", "old root note");
        writeText(book + "a2.rtf", "note of a deleted item");
        writeText(working() + "a1.rtf", "new root note");
        writeText(working() + "a2.rtf", "note of a deleted item");
        std::ignore = m_book->workingFolder().setAside({"a2.rtf"});

        const StoreResult result = store(*m_book);
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(result.failedPath, m_book->bookPath());
        QCOMPARE(readText(book + "a1.rtf"), QByteArray("new root note"));
        QCOMPARE(readText(book + "a2.rtf"), QByteArray("note of a deleted item")); // the old tree still names it
        QCOMPARE(m_book->workingFolder().deletions().files(), QStringList({"a2.rtf"})); // for the next save to remove

        m_book->setBookFile(m_dir->path() + "/docs/report.iis", m_book->bookName());
        QVERIFY(saved(*m_book));
        QCOMPARE(filesIn(book), QStringList({"a1.rtf"}));
    }

    void aFullDiskFailsTheSaveAndKeepsTheBook_data()
    {
        // A changed note is moved into its book folder, which takes no room; the
        // tree, or a book saved under another name, does.
        QTest::addColumn<QString>("savedAs");
        QTest::addColumn<QString>("failedFile");
        QTest::newRow("only the tree changed") << "report" << "report.iis";
        QTest::newRow("saved under another name") << "copy" << "prog/copy/a1.rtf";
    }

    void aFullDiskFailsTheSaveAndKeepsTheBook()
    {
        QFETCH(QString, savedAs);
        QFETCH(QString, failedFile);
        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("mounting a small disk to fill up needs root");
        Book book(disk.path("prog/"));
        book.setBookFile(disk.path("report.iis"), "report");
        treestring::buildTree(book.tree(), u"|0\\Report=a1+root|a1\\Note=a2+richtxt|");
        const QString folder = book.bookFolder();
        QVERIFY(book.workingFolder().startFrom(folder));
        writeText(book.bookPath(), "|0\\Report=a1+root|\r\n");
        writeText(folder + "a1.rtf", QByteArray(2048, 'n'));
        book.setBookFile(disk.path(savedAs + ".iis"), savedAs);
        disk.fill();

        const StoreResult result = store(book);
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(result.failedPath, disk.path(failedFile));
        QCOMPARE(readText(disk.path("report.iis")), QByteArray("|0\\Report=a1+root|\r\n"));
        QCOMPARE(readText(folder + "a1.rtf"), QByteArray(2048, 'n'));
        QCOMPARE(filesIn(disk.path()), QStringList({"filler", "report.iis"}));
    }

    void whatWritesCutShortLeftIsRemoved()
    {
        const QString book = m_book->bookFolder();
        const QString beside = m_dir->path() + "/docs/";
        writeText(book + "a1.rtf", "root note");
        writeText(book + "a1.rtf.kobin-part", "root no");
        writeText(book + "a9.rtf.kobin-part", "note of an item the tree never na");
        writeText(book + "a1.rtf.backup", "the user's own copy");
        writeText(m_book->bookPath() + ".kobin-part", "|0\\Report=a1+ro");
        writeText(beside + "other.iis.kobin-part", "another book's");
        // A capture a crash cut short a day ago; one another computer is writing now.
        const QString pages = CapturedPages::folderOf(book);
        writeText(pages + ".capturing-old/index.html", "half a pa");
        writeText(pages + ".capturing-now/index.html", "half a pa");
        const time_t twoDaysAgo = time(nullptr) - 2 * 24 * 3600;
        const struct utimbuf old = {twoDaysAgo, twoDaysAgo};
        QCOMPARE(utime(QFile::encodeName(pages + ".capturing-old").constData(), &old), 0);

        removeUnfinishedWrites(*m_book);
        QCOMPARE(filesIn(book), QStringList({"a1.rtf", "a1.rtf.backup"}));
        QCOMPARE(filesIn(beside), QStringList({"other.iis.kobin-part"}));
        QCOMPARE(QDir(pages).entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot), QStringList({".capturing-now"}));
    }

    void savedAsABookWhoseFolderHoldsANoteAlreadyThatNoteIsNotWrittenAgain()
    {
        writeText(m_book->bookFolder() + "a1.rtf", "root note");
        writeText(working() + "a2.rtf", "new note");
        m_book->setBookFile(m_dir->path() + "/docs/copy.iis", "copy");
        const QString copy = m_book->bookFolder();
        writeText(copy + "a1.rtf", "root note");
        writeText(copy + "a2.rtf", "old note");
        const auto fileNumber = [](const QString &path) {
            struct stat status {};
            return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_ino : ino_t(0);
        };
        const ino_t unchanged = fileNumber(copy + "a1.rtf");
        const ino_t changed = fileNumber(copy + "a2.rtf");
        QVERIFY(saved(*m_book));
        QCOMPARE(fileNumber(copy + "a1.rtf"), unchanged);
        QVERIFY(fileNumber(copy + "a2.rtf") != changed);
        QCOMPARE(readText(copy + "a2.rtf"), QByteArray("new note"));
    }

    void aReadOnlyNoteStopsTheSave()
    {
        const QString book = m_book->bookFolder();
        writeText(book + "a2.rtf", "made read-only by its owner");
        QVERIFY(QFile::setPermissions(book + "a2.rtf", QFile::ReadOwner));
        writeText(working() + "a2.rtf", "new note");
        const StoreResult result = store(*m_book);
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(result.failedPath, book + "a2.rtf");
        QCOMPARE(readText(book + "a2.rtf"), QByteArray("made read-only by its owner"));
        QCOMPARE(readText(m_book->workingFolder().readableFile("a2.rtf")), QByteArray("new note"));
        QVERIFY(QFile::setPermissions(book + "a2.rtf", QFile::ReadOwner | QFile::WriteOwner));
    }

    void aWorkingFolderGoneFromUnderTheProgramStopsTheSave_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("removed") << "removed";
        QTest::newRow("a file in its place") << "file";
        QTest::newRow("unreadable") << "unreadable";
    }

    void aWorkingFolderGoneFromUnderTheProgramStopsTheSave()
    {
        QFETCH(QString, how);
        const QString book = m_book->bookFolder();
        writeText(m_book->bookPath(), "|0\\Report=a1+root|a1\\Note=a2+richtxt|\r\n");
        writeText(book + "a1.rtf", "root note");
        writeText(book + "a2.rtf", "note");
        writeText(working() + "a1.rtf", "root note");
        QVERIFY(QDir(working()).removeRecursively());
        if (how == "file") {
            writeText(working().chopped(1), "a plain file");
        } else if (how == "unreadable") {
            QDir().mkpath(working());
            QVERIFY(QFile::setPermissions(working(), QFile::WriteOwner));
            if (QFileInfo(working()).isReadable())
                QSKIP("this user reads every folder whatever its permissions");
        }
        m_book->tree().setText(m_book->tree().item("a2"), "Renamed");

        const StoreResult result = store(*m_book);
        QCOMPARE(result.outcome, StoreResult::Outcome::Failed);
        QCOMPARE(result.failedPath, working());
        QCOMPARE(readText(m_book->bookPath()), QByteArray("|0\\Report=a1+root|a1\\Note=a2+richtxt|\r\n"));
        QCOMPARE(filesIn(book), QStringList({"a1.rtf", "a2.rtf"}));
    }

    void bookWithoutAFolderOfItsOwnIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("temp") << "temp";
    }

    void bookWithoutAFolderOfItsOwnIsRefused()
    {
        QFETCH(QString, name);
        m_book->setBookFile(m_book->bookPath(), name);
        writeText(working() + "a1.rtf", "root note");
        writeText(m_book->appPath() + "a9.rtf", "a file beside the program");
        QCOMPARE(store(*m_book).outcome, StoreResult::Outcome::Failed);
        QCOMPARE(filesIn(working()), QStringList({"a1.rtf"}));
        QCOMPARE(readText(m_book->appPath() + "a9.rtf"), QByteArray("a file beside the program"));
    }

    void openingCopiesNothingAndReadsFromTheBookFolder()
    {
        const QString book = m_book->bookFolder();
        writeText(book + "a1.rtf", "root");
        writeText(book + "a5index.txt", "2400\r\n");
        writeText(book + "picture.png", "binary");
        QDir(working()).removeRecursively();
        WorkingFolder &folder = m_book->workingFolder();
        QVERIFY(folder.startFrom(book));
        QVERIFY(filesIn(working()).isEmpty());
        QCOMPARE(folder.readableFile("a1.rtf"), book + "a1.rtf");
        QCOMPARE(folder.readableContentFiles().value(), QStringList({"a1.rtf", "a5index.txt"}));
        QCOMPARE(folder.pageSettings().stackedSplit("a5index").value(), 2400.0f);

        // Written here, the file is read from here; deleted, from nowhere.
        writeText(working() + "a1.rtf", "new root");
        QCOMPARE(folder.readableFile("a1.rtf"), working() + "a1.rtf");
        std::ignore = folder.setAside({"a5index.txt"});
        QVERIFY(!QFileInfo::exists(folder.readableFile("a5index.txt")));
        QVERIFY(!folder.pageSettings().stackedSplit("a5index"));
        QCOMPARE(folder.readableContentFiles().value(), QStringList({"a1.rtf"}));
    }

    void missingBookFolderLeavesTheWorkingFolderEmpty()
    {
        QVERIFY(m_book->workingFolder().startFrom(m_book->bookFolder()));
        QVERIFY(QDir(working()).exists());
        QVERIFY(filesIn(working()).isEmpty());
    }

    void startingABookLeavesNothingOfThePreviousOne()
    {
        const QString working = this->working();
        writeText(working + "a1.rtf", "previous book's root");
        writeText(working + "a2.rtf", "previous book's note");
        writeText(working + "a9url.txt", "previous page");
        writeText(working + "scratch.bin", "left by a crash");
        const QString book = m_book->bookFolder();
        writeText(book + "a1.rtf", "root");
        writeText(book + "a3.rtf", "third");
        writeText(book + "picture.png", "not content");
        QVERIFY(m_book->workingFolder().startFrom(m_book->bookFolder()));
        QVERIFY(filesIn(working).isEmpty());
        QCOMPARE(m_book->workingFolder().readableContentFiles().value(), QStringList({"a1.rtf", "a3.rtf"}));
        QCOMPARE(readText(m_book->workingFolder().readableFile("a1.rtf")), QByteArray("root"));
    }

    void emptyingTheWorkingFolderKeepsSubfolders()
    {
        writeText(working() + "a1.rtf", "x");
        writeText(working() + "other.bin", "x");
        QDir().mkpath(working() + "sub");
        QVERIFY(m_book->workingFolder().clear());
        QVERIFY(filesIn(working()).isEmpty());
        QVERIFY(QDir(working() + "sub").exists());
    }

    void splitterPositionsAreKeptPerPage()
    {
        QString failed;
        QVERIFY(PageSettings::storeSplits(working(), "a5index", 2400, 3512.5f, &failed));
        QCOMPARE(filesIn(working()), QStringList({"a5index.txt", "a5indexside.txt"}));
        QCOMPARE(readText(working() + "a5index.txt"), QByteArray("2400\r\n"));
        QCOMPARE(readText(working() + "a5indexside.txt"), QByteArray("3512.5\r\n"));
        QCOMPARE(m_book->workingFolder().pageSettings().sideSplit("a5index").value(), 3512.5f);
        QVERIFY(!m_book->workingFolder().pageSettings().stackedSplit("a5other"));

        QDir().mkpath(working() + "a6indexside.txt");
        QVERIFY(!m_book->workingFolder().pageSettings().storeSplits("a6index", 1, 2, &failed));
        QCOMPARE(failed, working() + "a6indexside.txt");

        // Positions as the book folder keeps them are not written again.
        writeText(m_book->bookFolder() + "a7index.txt", "100\r\n");
        writeText(m_book->bookFolder() + "a7indexside.txt", "200\r\n");
        QVERIFY(m_book->workingFolder().pageSettings().storeSplits("a7index", 100, 200));
        QVERIFY(!QFile::exists(working() + "a7index.txt"));
        QVERIFY(m_book->workingFolder().pageSettings().storeSplits("a7index", 100, 300));
        QCOMPARE(readText(working() + "a7indexside.txt"), QByteArray("300\r\n"));
    }

    void itemContentFilesFollowTheDigitRule()
    {
        // In either folder: the book's files are both together.
        const QString working = this->working();
        for (const char *name : {"a2.rtf", "a2url.txt", "a21.rtf", "a2", "b2.rtf"})
            writeText(working + name, "x");
        for (const char *name : {"a2.rtf", "a2index.rtf", "a2indexside.txt", "a200index.rtf", "a2.png"})
            writeText(m_book->bookFolder() + name, "x");
        QCOMPARE(m_book->workingFolder().itemFiles("a2"),
                 QStringList({"a2.rtf", "a2index.rtf", "a2indexside.txt", "a2url.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestBookStore)
#include "tst_bookstore.moc"
