#include "AtomicFile.h"
#include "BookFixture.h"
#include "EarlierVersions.h"

#include <QtTest>

using namespace kobin;

namespace {
struct FakeChooser : VersionChooser {
    std::optional<int> answer;
    QList<BookVersion> offered;
    std::optional<int> choose(const QList<BookVersion> &versions) override
    {
        offered = versions;
        return answer;
    }
};
} // namespace

class TestEarlierVersions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    FakeChooser chooser;
    std::unique_ptr<EarlierVersions> earlier;

    // The book was saved once more since "monday" was its note.
    void saveOnce()
    {
        BookVersions versions(f->book.versionsFolder(), f->book.bookPath(), f->book.bookFolder());
        QVERIFY(versions.begin());
        QVERIFY(versions.keep("a2.rtf"));
        QVERIFY(saveFileAtomically(f->book.bookFolder() + "a2.rtf", "monday, edited"));
        QVERIFY(saveFileAtomically(f->book.bookPath(), "|0\\Diary=a1+root|a1\\Monday=a2+richtxt|\r\n"));
        QVERIFY(versions.finish());
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->book.setVersionsFolder(f->dir.path() + "/versions");
        f->openBook(u"|0\\Diary=a1+root|a1\\Monday=a2+richtxt|"); // as it will be after the next save
        writeText(f->book.bookPath(), "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n");
        writeText(f->book.bookFolder() + "a1.rtf", "book note");
        writeText(f->book.bookFolder() + "a2.rtf", "monday");
        chooser = FakeChooser();
        earlier = std::make_unique<EarlierVersions>(
            EarlierVersions::Services{f->book, f->bookCommands, f->display, f->status, f->prompter, chooser});
        earlier->bindCommands(f->commands);
    }

    void aBookWithoutVersionsSaysSo()
    {
        f->commands.run(Command::OpenEarlierVersion);
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text, QString("このブックには以前の版がありません。"));
        QVERIFY(chooser.offered.isEmpty());
    }

    void theChosenVersionOpensAsANewBookAndTheBookStaysAsItIs()
    {
        saveOnce();
        chooser.answer = 0;
        f->commands.run(Command::OpenEarlierVersion);
        QCOMPARE(chooser.offered.size(), 1);
        QCOMPARE(chooser.offered[0].changedNotes, 1);
        QVERIFY(f->book.bookPath().isEmpty());
        QVERIFY(f->book.isChanged());
        QCOMPARE(f->tree.item("a2")->text(), QString("Mon"));
        QCOMPARE(f->note.text, QString("book note"));
        QVERIFY(f->status.treeExpanded);
        QCOMPARE(f->status.status, QString("Diary"));
        QCOMPARE(readText(f->working("a2.rtf")), QByteArray("monday"));
        QCOMPARE(readText(f->dir.path() + "/app/book/a2.rtf"), QByteArray("monday, edited"));
    }

    void eachSaveKeepsWhatItReplacesAndRemoves()
    {
        writeText(f->working("a1.rtf"), "book note");
        writeText(f->working("a2.rtf"), "monday, edited");
        writeText(f->working("a3.rtf"), "tuesday");
        QVERIFY(f->tree.add("a1", Relationship::Child, "a3", "Tuesday", "richtxt"));
        f->note.text = "book note"; // the book item is shown: its note is stored as the save begins
        f->bookCommands.save();
        QVERIFY(f->prompter.prompts.isEmpty());
        const BookVersions versions(f->book.versionsFolder(), f->book.bookPath(), f->book.bookFolder());
        const QList<BookVersion> list = versions.list();
        QCOMPARE(list.size(), 1);
        QCOMPARE(list[0].changedNotes, 2); // a2 replaced, a3 added; a1 unchanged
        const QString before = f->dir.path() + "/before/";
        const std::optional<QString> bookFile = versions.restore(list[0], before);
        QVERIFY(bookFile);
        QCOMPARE(readText(*bookFile), QByteArray("|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n"));
        QCOMPARE(QDir(before).entryList(QDir::Files), QStringList({"a1.rtf", "a2.rtf"}));
        QCOMPARE(readText(before + "a2.rtf"), QByteArray("monday"));
        // A save that changes nothing keeps no version.
        f->bookCommands.save();
        QCOMPARE(versions.list().size(), 1);
    }

    void cancellingOrKeepingTheOpenBookChangesNothing()
    {
        saveOnce();
        const QString path = f->book.bookPath();
        f->commands.run(Command::OpenEarlierVersion); // the chooser is cancelled
        QCOMPARE(f->book.bookPath(), path);

        chooser.answer = 0;
        f->book.markChanged();
        f->prompter.answers = {PromptAnswer::Cancel}; // "save the changes?"
        f->commands.run(Command::OpenEarlierVersion);
        QCOMPARE(f->book.bookPath(), path);
        QCOMPARE(f->tree.item("a2")->text(), QString("Monday"));
        QVERIFY(!QDir(f->app("version-staging")).exists());
    }
};

QTEST_GUILESS_MAIN(TestEarlierVersions)
#include "tst_earlierversions.moc"
