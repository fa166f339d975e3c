#include "BookFixture.h"
#include "Cp932.h"
#include "CrashRecovery.h"

#include <QtTest>

using namespace kobin;

class TestCrashRecovery : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    std::unique_ptr<CrashRecovery> recovery;

    QString data() const { return f->dir.path() + "/data"; }
    QString bookPath() const { return f->dir.path() + "/docs/diary.iis"; }
    void makeRecovery()
    {
        recovery = std::make_unique<CrashRecovery>(
            CrashRecovery::Services{f->book, f->display, f->status, f->prompter}, data());
    }

    // The run that crashed: it had the diary open, a note typed, an item added.
    void leaveACrashedRun()
    {
        writeText(bookPath(), "|0\\Diary=a1+root|a1\\Monday=a2+richtxt|\r\n");
        writeText(f->app("kobin.running"), (bookPath() + "\ndiary\n").toUtf8());
        writeText(f->working("a1.rtf"), "book note");
        writeText(f->working("a2.rtf"), "typed before the crash");
        writeText(f->working("a3.rtf"), "a new item's note");
        writeText(f->working("recovery.iis"), "|0\\Diary=a1+root|a1\\Monday=a2+richtxt|a1\\Tuesday=a3+richtxt|\r\n");
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        makeRecovery();
    }
    void cleanup() { recovery.reset(); }

    void aRunningBookIsKeptWithoutMarkingIt()
    {
        f->openBook(u"|0\\Diary=a1+root|a1\\Monday=a2+richtxt|");
        f->click("a2");
        recovery->begin();
        QCOMPARE(readText(f->app("kobin.running")), (f->book.bookPath() + "\nbook\n").toUtf8());
        f->note.text = "typed";
        recovery->keepWork();
        QCOMPARE(readText(f->working("a2.rtf")), QByteArray("typed"));
        QVERIFY(!f->book.isChanged());
        QVERIFY(!QFile::exists(f->working("recovery.iis"))); // the book file holds the tree as it stands

        QVERIFY(f->tree.add("a1", Relationship::Child, "a3", "Tuesday", "richtxt"));
        f->book.markChanged(); // as every edit of the tree does
        recovery->keepWork();
        QCOMPARE(readText(f->working("recovery.iis")),
                 QByteArray("|0\\Diary=a1+root|a1\\Monday=a2+richtxt|a1\\Tuesday=a3+richtxt|\r\n"));

        recovery->finish();
        QVERIFY(!QFile::exists(f->app("kobin.running")));
        QVERIFY(!QFile::exists(f->working("recovery.iis")));
    }

    void typingIsKeptOnceItStops()
    {
        f->openBook(u"|0\\Diary=a1+root|a1\\Monday=a2+richtxt|");
        f->click("a2");
        recovery->begin();
        f->note.text = "typed, then a pause";
        recovery->textChanged();
        QTRY_COMPARE_WITH_TIMEOUT(readText(f->working("a2.rtf")), QByteArray("typed, then a pause"), 10000);
    }

    void aPaneFilledWhileLoadingIsNoTyping()
    {
        f->openBook(u"|0\\Diary=a1+root|a1\\Web=a2+htmlfile|");
        recovery->begin();
        {
            const Book::Loading loading(f->book);
            recovery->textChanged(); // the pane tells of every text put into it
        }
        f->display.showNewPage("a2", f->dir.path() + "/web/index.html"); // its side text starts empty
        QTest::qWait(CrashRecovery::kIdleMilliseconds + 500);
        QVERIFY(!QFile::exists(f->working("a2index.rtf")));
    }

    void thePageSourceIsNeverKeptAsANote()
    {
        f->openBook(u"|0\\Diary=a1+root|a1\\Monday=a2+richtxt|");
        f->click("a2");
        recovery->begin();
        f->page.sourceEditing = true;
        f->note.text = "<html>source</html>";
        recovery->keepWork();
        QVERIFY(readText(f->working("a2.rtf")) != QByteArray("<html>source</html>"));
        QVERIFY(f->page.sourceEditing);
    }

    void aDeletedItemLeavesTheTreeKeptBeforeItsFilesCountAsDeleted()
    {
        f->openBook(u"|0\\Diary=a1+root|a1\\Monday=a2+richtxt|a1\\Tuesday=a3+richtxt|");
        writeText(f->working("a2.rtf"), "Monday's note");
        f->click("a3");
        recovery->begin();
        f->tree.select(f->tree.item("a2"));
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        // No idle time passes: a crash now must not pair the old tree with the deletion.
        QCOMPARE(readText(f->working("deleted-files.lst")), QByteArray("a2.rtf\n"));
        QCOMPARE(readText(f->working("recovery.iis")), QByteArray("|0\\Diary=a1+root|a1\\Tuesday=a3+richtxt|\r\n"));
    }

    void anItemTheTreeKeptStillHoldsGetsItsDeletedFilesBack()
    {
        leaveACrashedRun();
        // Deleted after the tree was kept: the note typed went aside, its deletion was recorded.
        QFile::remove(f->working("a2.rtf"));
        writeText(f->app(".temp-aside/1/a2.rtf"), "typed before the crash");
        writeText(f->working("deleted-files.lst"), "a2.rtf\n");
        f->prompter.answers = {PromptAnswer::Yes};
        QVERIFY(recovery->recoverAtStart());
        f->click("a2");
        QCOMPARE(f->note.text, QString("typed before the crash"));
        QCOMPARE(f->prompter.prompts.size(), 1); // no note reported missing
        QVERIFY(f->book.workingFolder().deletions().files().isEmpty());
        QVERIFY(!QFile::exists(f->app(".temp-aside")));
    }

    void nothingToRecoverAsksNothing()
    {
        QVERIFY(!recovery->recoverAtStart());
        QVERIFY(f->prompter.prompts.isEmpty());
    }

    void yesOpensTheBookAsItWasWhenTheRunEnded()
    {
        leaveACrashedRun();
        f->prompter.answers = {PromptAnswer::Yes};
        QVERIFY(recovery->recoverAtStart());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f->prompter.prompts[0].text, QString("前回は正常に終了しませんでした。保存されていない変更を復元しますか？"));
        QCOMPARE(f->book.bookPath(), bookPath());
        QCOMPARE(f->book.bookName(), QString("diary"));
        QCOMPARE(f->tree.item("a3")->text(), QString("Tuesday"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(f->note.text, QString("book note"));
        f->click("a2");
        QCOMPARE(f->note.text, QString("typed before the crash"));
        // Nothing reaches the book until the user saves.
        QCOMPARE(readText(bookPath()), QByteArray("|0\\Diary=a1+root|a1\\Monday=a2+richtxt|\r\n"));
    }

    void yesForANewBookNeverSavedStartsItChanged()
    {
        writeText(f->app("kobin.running"), "\n\n");
        writeText(f->working("a1.rtf"), "new book's note");
        writeText(f->working("recovery.iis"), encodeSystemText(u"|0\\新規ブック=a1+root|a1\\Idea=a2+richtxt|\r\n"));
        f->prompter.answers = {PromptAnswer::Yes};
        QVERIFY(recovery->recoverAtStart());
        QVERIFY(f->book.bookPath().isEmpty());
        QVERIFY(f->tree.item("a2"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(f->note.text, QString("new book's note"));
    }

    void noSetsTheLeftoversAsideAndKeepsOnlyTheNewestFive()
    {
        for (int i = 1; i <= 5; ++i)
            writeText(data() + QString("/recovered/2026010%1-000000/a1.rtf").arg(i), "older");
        leaveACrashedRun();
        f->prompter.answers = {PromptAnswer::No};
        QVERIFY(!recovery->recoverAtStart());
        QVERIFY(!QFile::exists(f->app("kobin.running")));
        QVERIFY(QDir(f->working()).entryList(QDir::Files).isEmpty());
        const QStringList kept = QDir(data() + "/recovered").entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(kept.size(), 5);
        QVERIFY(!kept.contains("20260101-000000"));
        QCOMPARE(readText(data() + "/recovered/" + kept.last() + "/a2.rtf"), QByteArray("typed before the crash"));
        QVERIFY(QFile::exists(data() + "/recovered/" + kept.last() + "/recovery.iis"));
    }
};

QTEST_GUILESS_MAIN(TestCrashRecovery)
#include "tst_crashrecovery.moc"
