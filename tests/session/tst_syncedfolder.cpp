#include "BookFileWatch.h"
#include "BookFixture.h"
#include "BookVersions.h"
#include "FileStamp.h"

#include <QSignalSpy>
#include <QtTest>
#include <cstdio>

using namespace kobin;

namespace {
const QByteArray kTree = "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n";
const QByteArray kTheirTree = "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|a1\\Tue=a3+richtxt|\r\n";

// As a sync tool brings another computer's file: written beside it, then renamed over it.
void writtenElsewhere(const QString &path, const QByteArray &bytes)
{
    writeText(path + ".sync-tmp", bytes);
    QCOMPARE(std::rename(QFile::encodeName(path + ".sync-tmp").constData(), QFile::encodeName(path).constData()), 0);
}

// The same bytes written again an hour later, as a sync tool may leave a file it did not change.
void touched(const QString &path)
{
    writtenElsewhere(path, readText(path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(3600), QFileDevice::FileModificationTime));
}

enum class Behind { Nothing, Note, SameNoteTouched, BookFile, SameBookFileTouched, DeletedNote };
} // namespace

class TestSyncedFolder : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;

    QString bookPath() const { return f->dir.path() + "/docs/diary.iis"; }
    QString note(const QString &name) const { return f->app("diary/" + name); }

    // What the user did before saving: typed into a2's note, deleted a2, or changed nothing of the notes.
    void edit(Behind behind)
    {
        if (behind == Behind::DeletedNote) {
            f->tree.select(f->tree.item("a2"));
            f->prompter.answers = {PromptAnswer::Yes};
            f->treeCommands.deleteItem();
            f->prompter.prompts.clear();
        } else if (behind == Behind::BookFile || behind == Behind::SameBookFileTouched) {
            f->book.markChanged();
        } else {
            f->note.text += ", mine";
            f->bookCommands.textChanged();
        }
    }

    void changeBehindTheBook(Behind behind)
    {
        switch (behind) {
        case Behind::Nothing:
            break;
        case Behind::Note:
        case Behind::DeletedNote:
            writtenElsewhere(note("a2.rtf"), "monday, theirs");
            break;
        case Behind::SameNoteTouched:
            touched(note("a2.rtf"));
            break;
        case Behind::BookFile:
            writtenElsewhere(bookPath(), kTheirTree);
            break;
        case Behind::SameBookFileTouched:
            touched(bookPath());
            break;
        }
    }

    QList<BookVersion> versions() const
    {
        return BookVersions(f->book.versionsFolder(), bookPath(), f->book.bookFolder()).list();
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->book.setVersionsFolder(f->dir.path() + "/versions");
        writeText(bookPath(), kTree);
        writeText(note("a1.rtf"), "book note");
        writeText(note("a2.rtf"), "monday");
        f->bookCommands.openRecentBook(bookPath());
        QCOMPARE(f->book.bookName(), QString("diary"));
        f->click("a2"); // the note is read from the book folder
        QCOMPARE(f->note.text, QString("monday"));
    }

    void aFileIsChangedWhenItsBytesAre_data()
    {
        QTest::addColumn<QByteArray>("theirs");
        QTest::addColumn<bool>("current");
        const QByteArray mine(100 * 1024, 'x'); // longer than one piece read at a time
        QTest::newRow("same bytes, new time") << mine << true;
        QTest::newRow("same size, first byte") << QByteArray(mine).replace(0, 1, "y") << false;
        QTest::newRow("same size, last byte") << QByteArray(mine).replace(mine.size() - 1, 1, "y") << false;
        QTest::newRow("shorter") << mine.chopped(1) << false;
    }

    void aFileIsChangedWhenItsBytesAre()
    {
        QFETCH(QByteArray, theirs);
        QFETCH(bool, current);
        const QString path = f->dir.path() + "/stamped";
        writeText(path, QByteArray(100 * 1024, 'x'));
        const FileStamp stamp = FileStamp::of(path);
        writtenElsewhere(path, theirs);
        QCOMPARE(stamp.isCurrent(), current);
    }

    void aSaveOverWhatAnotherProgramWroteAsksFirst_data()
    {
        QTest::addColumn<Behind>("behind");
        QTest::addColumn<QString>("named");
        QTest::newRow("note") << Behind::Note << "diary/a2.rtf";
        QTest::newRow("book file") << Behind::BookFile << "";
        QTest::newRow("note of a deleted item") << Behind::DeletedNote << "diary/a2.rtf";
    }

    void aSaveOverWhatAnotherProgramWroteAsksFirst()
    {
        QFETCH(Behind, behind);
        QFETCH(QString, named);
        const QString path = named.isEmpty() ? bookPath() : f->app(named);
        edit(behind);
        changeBehindTheBook(behind);
        const QByteArray theirs = readText(path);

        // No: nothing at all is written, and the changes wait for Save As.
        f->prompter.answers = {PromptAnswer::No};
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存"));
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + path + " 」\n\nは、開いた後で別のプログラムによって変更されています。上書きしますか？");
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNoDefaultNo);
        QVERIFY(f->book.isChanged());
        QCOMPARE(readText(path), theirs);
        QCOMPARE(readText(bookPath()), behind == Behind::BookFile ? kTheirTree : kTree);
        QVERIFY(versions().isEmpty());

        // Yes: written over, and what the other program wrote is kept as an earlier version.
        f->prompter.answers = {PromptAnswer::Yes};
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QVERIFY(!f->book.isChanged());
        QVERIFY(readText(path) != theirs);
        const QList<BookVersion> kept = versions();
        QCOMPARE(kept.size(), 1);
        const QString restored = f->dir.path() + "/restored/";
        const std::optional<QString> tree = BookVersions(f->book.versionsFolder(), bookPath(), f->book.bookFolder())
                                                .restore(kept[0], restored);
        QVERIFY(tree);
        QCOMPARE(named.isEmpty() ? readText(*tree) : readText(restored + "a2.rtf"), theirs);

        // The stamps are now those of the files just written (or removed): the next save asks nothing.
        if (behind == Behind::DeletedNote)
            f->treeCommands.history().undo(); // the note comes back to be written again
        else
            edit(behind);
        f->bookCommands.save();
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->prompter.prompts.size(), 2);
    }

    // Shown again, the note shows what the other program wrote; the save still asks
    // before writing over it, as the book had read something else.
    void aNoteChangedElsewhereAndShownAgainIsStillAskedAbout()
    {
        changeBehindTheBook(Behind::Note);
        f->click("a1");
        f->click("a2");
        QCOMPARE(f->note.text, QString("monday, theirs"));
        edit(Behind::Note);
        f->prompter.answers = {PromptAnswer::No};
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QVERIFY(f->prompter.prompts[0].text.startsWith("「 " + note("a2.rtf") + " 」"));
        QCOMPARE(readText(note("a2.rtf")), QByteArray("monday, theirs"));
    }

    void aFileWrittenWhileAQuestionIsOpenIsAskedAboutToo_data()
    {
        QTest::addColumn<QList<PromptAnswer>>("answers");
        QTest::newRow("no to the book file") << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::No};
        QTest::newRow("yes to both") << QList<PromptAnswer>{PromptAnswer::Yes, PromptAnswer::Yes};
    }

    void aFileWrittenWhileAQuestionIsOpenIsAskedAboutToo()
    {
        QFETCH(QList<PromptAnswer>, answers);
        edit(Behind::Note);
        changeBehindTheBook(Behind::Note);
        // While the note's question is open, another computer's book file arrives.
        f->prompter.duringPrompt = [&] { writtenElsewhere(bookPath(), kTheirTree); };
        f->prompter.answers = answers;
        f->bookCommands.save();

        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + note("a2.rtf") + " 」\n\nは、開いた後で別のプログラムによって変更されています。上書きしますか？");
        QCOMPARE(f->prompter.prompts[1].text,
                 "「 " + bookPath() + " 」\n\nは、開いた後で別のプログラムによって変更されています。上書きしますか？");
        if (answers[1] == PromptAnswer::No) {
            QCOMPARE(readText(bookPath()), kTheirTree);
            QCOMPARE(readText(note("a2.rtf")), QByteArray("monday, theirs"));
            QVERIFY(f->book.isChanged());
            return;
        }
        QCOMPARE(readText(bookPath()), kTree);
        // Their book file is kept as an earlier version.
        const QList<BookVersion> kept = versions();
        QCOMPARE(kept.size(), 1);
        const std::optional<QString> tree = BookVersions(f->book.versionsFolder(), bookPath(), f->book.bookFolder())
                                                .restore(kept[0], f->dir.path() + "/restored/");
        QVERIFY(tree);
        QCOMPARE(readText(*tree), kTheirTree);
    }

    void aSaveOverWhatItReadAsksNothing_data()
    {
        QTest::addColumn<Behind>("behind");
        QTest::addColumn<QString>("saveAs"); // "" saves in place
        QTest::newRow("nothing changed") << Behind::Nothing << "";
        QTest::newRow("note given a new time") << Behind::SameNoteTouched << "";
        QTest::newRow("book file given a new time") << Behind::SameBookFileTouched << "";
        QTest::newRow("note saved as another book") << Behind::Note << "/docs/copy.iis";
        QTest::newRow("book file saved as another book") << Behind::BookFile << "/docs/copy.iis";
        QTest::newRow("book file saved elsewhere by its name") << Behind::BookFile << "/elsewhere/diary.iis";
    }

    void aSaveOverWhatItReadAsksNothing()
    {
        QFETCH(Behind, behind);
        QFETCH(QString, saveAs);
        edit(behind);
        changeBehindTheBook(behind);
        if (saveAs.isEmpty()) {
            f->bookCommands.save();
        } else {
            QDir().mkpath(QFileInfo(f->dir.path() + saveAs).absolutePath());
            f->dialogs.answers = {f->dir.path() + saveAs};
            f->bookCommands.saveAs();
        }
        QVERIFY(f->prompter.prompts.isEmpty());
        QVERIFY(!f->book.isChanged());
        QVERIFY(readText(f->book.bookPath()).startsWith("|0\\Diary=a1+root|"));
    }

    // The book file changed on disk while the book is open, and the watch told so.
    void aChangedBookFileIsOfferedForReadingAgain()
    {
        writtenElsewhere(bookPath(), kTheirTree);
        f->prompter.answers = {PromptAnswer::No};
        f->bookCommands.bookFileTouched();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + bookPath() + " 」\n\nは、別のプログラムによって変更されました。読み直しますか？");
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNo);
        QVERIFY(!f->tree.item("a3"));

        // No keeps the open book and is not asked again about the same change...
        f->bookCommands.bookFileTouched();
        QCOMPARE(f->prompter.prompts.size(), 1);

        // ...but about the next one, and Yes reads the book as Open would.
        writtenElsewhere(bookPath(), kTheirTree + "\r\n");
        writtenElsewhere(note("a2.rtf"), "monday, theirs");
        f->prompter.answers = {PromptAnswer::Yes};
        f->bookCommands.bookFileTouched();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QVERIFY(f->tree.item("a3"));
        QVERIFY(!f->book.isChanged());

        // What was read again is what the book knows now.
        f->bookCommands.bookFileTouched();
        f->click("a2");
        QCOMPARE(f->note.text, QString("monday, theirs"));
        edit(Behind::Note);
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QVERIFY(!f->book.isChanged());
    }

    void noReadingAgainIsOfferedOverChangesOrAfterItsOwnSave()
    {
        f->book.markChanged();
        writtenElsewhere(bookPath(), kTheirTree);
        f->bookCommands.bookFileTouched();
        QVERIFY(f->prompter.prompts.isEmpty());

        // The save asks as for any file another program wrote; afterwards the book file is its own.
        f->prompter.answers = {PromptAnswer::Yes};
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        f->bookCommands.bookFileTouched();
        QCOMPARE(f->prompter.prompts.size(), 1);

        // A book file gone (a sync tool between two renames) is not offered either.
        QVERIFY(QFile::remove(bookPath()));
        f->bookCommands.bookFileTouched();
        QCOMPARE(f->prompter.prompts.size(), 1);
    }

    // A sync tool renames its file over the book file, which ends the watch of that
    // path; a change written in place after that is still seen, as is a book file
    // deleted and made again, and the watch goes with the book saved elsewhere.
    void theWatchSeesChangesAfterTheFileWasReplaced()
    {
        BookFileWatch watch(f->book);
        QSignalSpy touchedSpy(&watch, &BookFileWatch::touched);
        writtenElsewhere(bookPath(), kTheirTree);
        QVERIFY(touchedSpy.wait(20000)); // a bound for a busy machine, not a time the watch must keep
        const auto appendLine = [](const QString &path) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\r\n");
        };
        appendLine(bookPath());
        QVERIFY(touchedSpy.wait(20000));
        // Deleted, then made again (not renamed over it): the new file is watched too.
        QVERIFY(QFile::remove(bookPath()));
        QVERIFY(touchedSpy.wait(20000));
        writeText(bookPath(), kTheirTree);
        QVERIFY(touchedSpy.wait(20000));
        appendLine(bookPath());
        QVERIFY(touchedSpy.wait(20000));

        const QString elsewhere = f->dir.path() + "/elsewhere/diary.iis";
        QDir().mkpath(f->dir.path() + "/elsewhere");
        f->dialogs.answers = {elsewhere};
        f->bookCommands.saveAs();
        QCOMPARE(f->book.bookPath(), elsewhere);
        appendLine(elsewhere);
        QVERIFY(touchedSpy.wait(20000));
    }
};

QTEST_GUILESS_MAIN(TestSyncedFolder)
#include "tst_syncedfolder.moc"
