#include "BookFixture.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

class TestBookCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;

    QString app(const QString &name = {}) const { return f->app(name); }

    // The program with the book "report" open: book file in docs/, book folder beside the program.
    QString reportCaption() const { return "BOOK - " + f->dir.path() + "/docs/report.iis"; }

    void openReport()
    {
        const QString path = f->dir.path() + "/docs/report.iis";
        f->book.setBookFile(path, "report");
        f->book.setOpened(path);
        treestring::buildTree(f->tree, u"|0\\Report=a1+root|a1\\Note=a2+richtxt|a1\\Web=a5+htmlfile|");
        f->tree.select(f->tree.item("a1"));
        writeText(f->working("a1.rtf"), "report note");
        QDir().mkpath(f->dir.path() + "/docs");
        QDir().mkpath(app("report"));
        f->note.text = "report note";
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        openReport();
    }

    void quittingAnUnchangedBookAsksNothingAndEmptiesTheWorkingFolder()
    {
        QVERIFY(f->bookCommands.closeRequest());
        QVERIFY(f->prompter.prompts.isEmpty());
        QVERIFY(QDir(f->working()).isEmpty());
    }

    void cancellingTheQuestionKeepsTheWindowAndTheWorkingFolder()
    {
        f->bookCommands.textChanged();
        QCOMPARE(f->book.caption(), reportCaption() + " （更新）");
        f->bookCommands.textChanged(); // the mark is appended once
        QVERIFY(f->book.caption().endsWith("（更新）") && !f->book.caption().endsWith("（更新） （更新）"));
        f->prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!f->bookCommands.closeRequest());
        QCOMPARE(f->prompter.prompts[0].title, QString("お知らせ"));
        QCOMPARE(f->prompter.prompts[0].text, QString("「 report.iis 」 の内容は変更されています。\n\n保存しますか？"));
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNoCancel);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Question);
        QVERIFY(QFile::exists(f->working() + "a1.rtf"));
    }

    void answeringYesSavesBeforeClosing()
    {
        f->note.text = "typed before quitting";
        f->bookCommands.textChanged();
        f->prompter.answers = {PromptAnswer::Yes};
        QVERIFY(f->bookCommands.closeRequest());
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("typed before quitting"));
        QVERIFY(readText(f->book.bookPath()).startsWith("|0\\Report=a1+root|"));
    }

    void newThenQuitAsksAboutTheNewBookAndOffersSaveAs()
    {
        f->bookCommands.newBook();
        QCOMPARE(f->book.caption(), QString("BOOK - 新規ブック （更新）"));
        QCOMPARE(f->tree.count(), 1);
        QCOMPARE(f->tree.item("a1")->text(), QString("新規ブック"));
        QVERIFY(f->book.bookPath().isEmpty());
        QVERIFY(QDir(f->working()).isEmpty());
        QCOMPARE(f->bookItemCommandsShown(), true);
        f->prompter.answers = {PromptAnswer::Yes};
        QVERIFY(!f->bookCommands.closeRequest()); // the save dialog was cancelled
        QVERIFY(f->prompter.prompts[0].text.startsWith("「 新規ブック.iis 」"));
        QCOMPARE(f->dialogs.requests.size(), 1);
        QCOMPARE(f->dialogs.requests[0].proposedName, QString("新規ファイル.iis"));
        QCOMPARE(f->dialogs.requests[0].title, QString("名前を付けて保存"));
        QCOMPARE(f->dialogs.requests[0].filter, QString("Kobinファイル (*.iis);;すべてのファイル (*.*)"));
    }

    void saveAsWarnsOnceAboutTheExtension()
    {
        f->dialogs.answers = {f->dir.path() + "/docs/plan.txt", f->dir.path() + "/docs/plan.doc"};
        f->bookCommands.saveAs();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text, QString("間違ったファイルを選択しています。"));
        QCOMPARE(f->book.bookPath(), f->dir.path() + "/docs/plan.doc");
        QCOMPARE(f->book.bookName(), QString("plan"));
        QVERIFY(QFile::exists(f->dir.path() + "/docs/plan.doc"));
        QVERIFY(QFile::exists(app("plan/a1.rtf")));
        QCOMPARE(f->book.caption(), "BOOK - " + f->dir.path() + "/docs/plan.doc");
        QCOMPARE(f->recent, QStringList({f->dir.path() + "/docs/plan.doc"}));
    }

    void saveAsRefusesNamesWithoutABookFolderOfTheirOwn()
    {
        f->dialogs.answers = {f->dir.path() + "/temp.iis", f->dir.path() + "/.iis", f->dir.path() + "/good.iis"};
        f->bookCommands.saveAs();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[0].title, QString("注意"));
        QCOMPARE(f->prompter.prompts[0].text, QString("この名前では保存できません。"));
        QCOMPARE(f->book.bookName(), QString("good"));
        QVERIFY(!QFile::exists(f->dir.path() + "/temp.iis"));
        QVERIFY(QFile::exists(app("good/a1.rtf")));
    }

    void saveAsRefusesTheWorkingFolder()
    {
        const QString linked = f->dir.path() + "/linked";
        QVERIFY(QFile::link(f->working(), linked));
        f->dialogs.answers = {f->working("mine.iis"), linked + "/mine.iis", f->dir.path() + "/good.iis"};
        f->bookCommands.saveAs();
        QCOMPARE(f->prompter.prompts.size(), 2);
        for (const FakePrompter::Prompt &prompt : f->prompter.prompts) {
            QCOMPARE(prompt.icon, PromptIcon::Exclamation);
            QCOMPARE(prompt.text, QString("作業用フォルダには保存できません。"));
        }
        QVERIFY(!QFile::exists(f->working("mine.iis")));
        QCOMPARE(f->book.bookPath(), f->dir.path() + "/good.iis");
    }

    void openingABookNamedLikeAnotherOfTheProgramFolderAsksFirst()
    {
        writeText(app("other.iis"), "|0\\Mine=a1+root|\r\n");
        writeText(app("other/a1.rtf"), "my note");
        const QString other = f->dir.path() + "/docs/other.iis";
        writeText(other, "|0\\Theirs=a1+root|\r\n");
        f->dialogs.answers = {other, other};
        f->prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNo);
        QCOMPARE(f->prompter.prompts[0].text,
                 "同じ名前のブック「other」のフォルダを使います。\n\n「 " + QDir::toNativeSeparators(app("other.iis"))
                     + " 」とメモを共有するため、一方を保存するともう一方のメモも変わります。\n\n開きますか？");
        QCOMPARE(f->book.bookName(), QString("report"));
        QCOMPARE(f->tree.item("a1")->text(), QString("Report"));

        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->book.bookPath(), other);
        QCOMPARE(f->tree.item("a1")->text(), QString("Theirs"));

        // The book of the program folder itself is its folder's owner: nothing to ask.
        f->dialogs.answers = {app("other.iis")};
        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->tree.item("a1")->text(), QString("Mine"));
    }

    void textThatBelongsToNoItemIsNeitherTakenNorMarked()
    {
        const QString loose = f->dir.path() + "/docs/loose.iis";
        writeText(loose, "|0\\Loose=a2+richtxt|\r\n"); // no book item
        f->dialogs.answers = {loose};
        f->bookCommands.openBook();
        QCOMPARE(f->book.bookPath(), loose);
        QVERIFY(f->note.readOnly);
        f->bookCommands.textChanged();
        QVERIFY(!f->book.isChanged());
        f->click("a2");
        QVERIFY(!f->note.readOnly);
        f->bookCommands.textChanged();
        QVERIFY(f->book.isChanged());
    }

    void aBookWithoutItemsIsNeverSavedAsSaved()
    {
        const QByteArray before = readText(f->book.bookPath());
        f->tree.clear();
        f->book.markChanged();
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(f->prompter.prompts[0].text, QString("項目が一つもないブックは保存できません。"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(readText(f->book.bookPath()), before);
    }

    void saveAsAsksBeforeUsingAnotherBooksFolder()
    {
        writeText(app("other/a1.rtf"), "the other book's note");
        f->dialogs.answers = {f->dir.path() + "/docs/other.iis", f->dir.path() + "/docs/other.iis"};
        f->prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        f->bookCommands.saveAs();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[0].text, QString("「 other 」のフォルダはすでにあります。\n\n上書きしますか？"));
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNo);
        QCOMPARE(readText(app("other/a1.rtf")), QByteArray("report note"));
    }

    void failedSaveKeepsTheBookChanged()
    {
        f->book.markChanged();
        f->status.status = "Report";
        QDir(app("report")).removeRecursively();
        writeText(app("report"), "a plain file where the book folder should be");
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QVERIFY(f->book.isChanged());
        QVERIFY(f->book.caption().endsWith(" （更新）"));
        QCOMPARE(f->status.status, QString("Report"));
        QVERIFY(f->recent.isEmpty());
    }

    void noteTooLargeToReadAgainIsNotWrittenAndSaysTheBound()
    {
        writeText(app("report/a1.rtf"), "the note saved last time");
        f->note.largestNote = 5;
        f->note.text = "longer than a note may be";
        f->book.markChanged();
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(f->working() + "a1.rtf")
                                                 + " 」\n\nは RTF にすると 256 MB を超えるため、保存できません。ほかの項目に分けてください。");
        QCOMPARE(readText(f->working("a1.rtf")), QByteArray("report note"));
        QVERIFY(f->book.isChanged());
        QVERIFY(!QFile::exists(f->book.bookPath()));
    }

    void noteThatCannotBeStoredStopsTheSave()
    {
        // The shown note cannot be written into the working folder (a full disk, a
        // folder removed under the program): saving must not go on without it.
        QFile::remove(f->working() + "a1.rtf");
        QDir().mkpath(f->working() + "a1.rtf");
        writeText(app("report/a1.rtf"), "the note saved last time");
        f->note.text = "typed and not yet stored";
        f->book.markChanged();
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(f->working() + "a1.rtf")
                                                 + " 」\n\nを保存できませんでした。");
        QVERIFY(f->book.isChanged());
        QVERIFY(f->book.caption().endsWith(" （更新）"));
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("the note saved last time"));
        QVERIFY(!QFile::exists(f->book.bookPath()));
        QVERIFY(f->recent.isEmpty());

        f->dialogs.answers = {f->dir.path() + "/docs/copy.iis"};
        f->bookCommands.saveAs();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[1].title, QString("保存できません"));
        QVERIFY(f->book.isChanged());
        QVERIFY(!QFile::exists(f->dir.path() + "/docs/copy.iis"));
    }

    void savingClearsTheMarkAndRemembersTheBook()
    {
        f->book.markChanged();
        f->status.status = "Report";
        f->bookCommands.save();
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->book.caption(), "BOOK - " + f->book.bookPath());
        QCOMPARE(f->status.status, QString("Report"));
        QCOMPARE(f->recent, QStringList({f->book.bookPath()}));
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("report note"));
    }

    void anotherBookOpenedForgetsTheDeletionsOfTheLast()
    {
        writeText(f->working("a2.rtf"), "report's second note");
        f->tree.select(f->tree.item("a2"));
        f->prompter.answers = {PromptAnswer::Yes};
        f->treeCommands.deleteItem();
        const QString plan = app("plan.iis");
        writeText(plan, "|0\\Plan=a1+root|a1\\Kept=a2+richtxt|\r\n");
        writeText(app("plan/a1.rtf"), "plan note");
        writeText(app("plan/a2.rtf"), "plan's second note");
        f->prompter.answers = {PromptAnswer::No}; // the report's changes are not saved
        f->bookCommands.openRecentBook(plan);
        QCOMPARE(f->book.bookName(), QString("plan"));

        f->bookCommands.save();
        QVERIFY(!f->book.isChanged());
        QCOMPARE(readText(app("plan/a2.rtf")), QByteArray("plan's second note"));
    }

    void openingReadsTheBookAndTypingMarksIt()
    {
        const QString other = f->dir.path() + "/docs/other.iis";
        writeText(other, "|0\\Other=a1+root|a1\\T=a2+richtxt|\r\n");
        writeText(app("other/a1.rtf"), "other note");
        f->dialogs.answers = {other};
        f->bookCommands.openBook();
        QCOMPARE(f->dialogs.requests[0].title, QString("ファイルを開く"));
        QCOMPARE(f->book.bookName(), QString("other"));
        QCOMPARE(f->note.text, QString("other note"));
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->book.caption(), "BOOK - " + other);
        QCOMPARE(f->tree.selectedItem()->key(), QString("a1"));
        QCOMPARE(f->recent, QStringList({other}));
        f->bookCommands.textChanged();
        QVERIFY(f->book.isChanged());
    }

    void openingRemovesWhatASaveCutShortLeft()
    {
        const QString other = f->dir.path() + "/docs/other.iis";
        writeText(other, "|0\\Other=a1+root|\r\n");
        writeText(other + ".kobin-part", "|0\\Other=a1+ro");
        writeText(app("other/a1.rtf"), "other note");
        writeText(app("other/a1.rtf.kobin-part"), "other no");
        writeText(app("other/a2.rtf.kobin-part"), "a new item's no");
        f->bookCommands.openRecentBook(other);
        QCOMPARE(f->book.bookName(), QString("other"));
        QCOMPARE(QDir(app("other")).entryList(QDir::Files), QStringList({"a1.rtf"}));
        QCOMPARE(QDir(f->dir.path() + "/docs").entryList(QDir::Files), QStringList({"other.iis"}));
        QVERIFY(QDir(f->working()).entryList(QDir::Files).isEmpty());
        QCOMPARE(f->note.text, QString("other note"));
    }

    void unreadableBookKeepsTheOpenOne()
    {
        f->dialogs.answers = {f->dir.path() + "/docs"}; // a folder cannot be read as a book
        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(f->book.bookName(), QString("report"));
        QCOMPARE(f->tree.item("a1")->text(), QString("Report"));
        QVERIFY(QFile::exists(f->working() + "a1.rtf"));
    }

    void fileThatIsNoBookLeavesTheOpenBookAsItWas()
    {
        // A text file given a book's name: one save over it would have left three bytes.
        const QString text = f->dir.path() + "/docs/text.iis";
        const QByteArray notes = "# Notes\r\n\r\nWhat the book holds, in plain text.\r\n";
        writeText(text, notes);
        writeText(app("text/a1.rtf"), "a folder of the same name");
        f->tree.select(f->tree.item("a2"));
        const QString shown = "|0\\Report=a1+root|a1\\Note=a2+richtxt|a1\\Web=a5+htmlfile|";
        const QString refused = "「 " + text + " 」\n\nはブックファイルとして読めません。";

        f->dialogs.answers = {text};
        f->bookCommands.openBook();
        f->bookCommands.openRecentBook(text);
        QCOMPARE(f->prompter.prompts.size(), 2);
        for (const auto &prompt : f->prompter.prompts) {
            QCOMPARE(prompt.icon, PromptIcon::Exclamation);
            QCOMPARE(prompt.title, QString("ﾌｧｲﾙを開けません"));
            QCOMPARE(prompt.text, refused);
        }
        QCOMPARE(treestring::fromTree(f->tree), shown);
        QCOMPARE(f->tree.selectedItem()->key(), QString("a2"));
        QCOMPARE(f->book.bookPath(), f->dir.path() + "/docs/report.iis");
        QCOMPARE(f->book.bookName(), QString("report"));
        QCOMPARE(f->book.caption(), reportCaption());
        QCOMPARE(readText(f->working("a1.rtf")), QByteArray("report note"));
        QCOMPARE(f->note.text, QString("report note"));
        QVERIFY(f->recent.isEmpty());

        f->bookCommands.textChanged();
        f->bookCommands.save();
        QCOMPARE(readText(text), notes);
        QVERIFY(readText(f->book.bookPath()).startsWith(shown.toUtf8()));
    }

    void damagedBookOpensWithWhatCanBeReadAndSaysHowMuchWasLeftOut()
    {
        const QString damaged = f->dir.path() + "/docs/damaged.iis";
        writeText(damaged, "|0\\Damaged=a1+root|a9\\Lost=a2+richtxt|a1\\Kept=a3+richtxt|a1\\Cut=a4+rich");
        writeText(app("damaged/a3.rtf"), "kept note");
        bool openWhenTold = false;
        f->prompter.duringPrompt = [&] { openWhenTold = f->book.bookPath() == damaged && f->status.treeExpanded; };
        f->dialogs.answers = {damaged};
        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].title, QString("注意"));
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + damaged + " 」\n\nの中に読めない項目が 2 個ありました。読めた項目だけを開きます。");
        QVERIFY(openWhenTold);
        QCOMPARE(treestring::fromTree(f->tree), QString("|0\\Damaged=a1+root|a1\\Kept=a3+richtxt|"));
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->recent, QStringList({damaged}));

        // Opened at start-up, the book says it too; a whole one says nothing.
        f->bookCommands.openAtStart(damaged, "damaged");
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[1].text, f->prompter.prompts[0].text);
        const QString whole = f->dir.path() + "/docs/whole.iis";
        writeText(whole, "|0\\Whole=a1+root|\r\n");
        f->bookCommands.openRecentBook(whole);
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->book.bookPath(), whole);
    }

    void damagedBookIsCopiedAsReadBeforeItIsFirstWrittenOver()
    {
        const QString damaged = f->dir.path() + "/docs/damaged.iis";
        const QByteArray asRead = "|0\\Damaged=a1+root|a1\\Kept=a3+richtxt|a1\\Cut=a4+rich";
        writeText(damaged, asRead);
        f->dialogs.answers = {damaged};
        f->bookCommands.openBook();
        f->bookCommands.textChanged();
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 1); // the records left out, nothing about the save
        QCOMPARE(readText(damaged + ".bak"), asRead);
        QCOMPARE(readText(damaged), QByteArray("|0\\Damaged=a1+root|a1\\Kept=a3+richtxt|\r\n"));

        // The copy is never written over: not by later saves, nor after the book is damaged again.
        f->tree.add("a1", Relationship::Child, "a5", "Added", "richtxt");
        f->bookCommands.save();
        writeText(damaged, "|0\\Damaged again=a1+root|a1\\Cut");
        f->bookCommands.openRecentBook(damaged);
        f->bookCommands.textChanged();
        f->bookCommands.save();
        QCOMPARE(readText(damaged + ".bak"), asRead);
        QCOMPARE(readText(damaged), QByteArray("|0\\Damaged again=a1+root|\r\n"));

        // Saved as another file, a damaged book leaves both without a copy: neither is the file read.
        const QString other = f->dir.path() + "/docs/other.iis";
        const QString elsewhere = f->dir.path() + "/docs/elsewhere.iis";
        writeText(other, "|0\\Other=a1+root|a1\\Cut");
        writeText(elsewhere, "|0\\Elsewhere=a1+root|\r\n");
        f->bookCommands.openRecentBook(other);
        f->dialogs.answers = {elsewhere};
        f->bookCommands.saveAs();
        f->bookCommands.save();
        QCOMPARE(readText(elsewhere), QByteArray("|0\\Other=a1+root|\r\n"));
        QVERIFY(!QFile::exists(other + ".bak"));
        QVERIFY(!QFile::exists(elsewhere + ".bak"));
    }

    void copyOfADamagedBookThatCannotBeWrittenStopsTheSave()
    {
        const QString damaged = f->dir.path() + "/docs/damaged.iis";
        const QByteArray asRead = "|0\\Damaged=a1+root|a1\\Cut";
        writeText(damaged, asRead);
        // A link into a folder that does not exist: no one can write there, not even root.
        QVERIFY(QFile::link(f->dir.path() + "/nowhere/damaged.iis.bak", damaged + ".bak"));
        f->dialogs.answers = {damaged};
        f->bookCommands.openBook();
        f->bookCommands.textChanged();
        f->bookCommands.save();
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[1].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[1].title, QString("保存できません"));
        QCOMPARE(f->prompter.prompts[1].text,
                 "「 " + QDir::toNativeSeparators(damaged + ".bak") + " 」\n\nを保存できませんでした。");
        QCOMPARE(readText(damaged), asRead);
        QVERIFY(f->book.isChanged());
    }

    void missingRecentBookIsReported()
    {
        const QString gone = f->dir.path() + "/gone.iis";
        f->bookCommands.openRecentBook(gone);
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text,
                 gone + "\n が見つかりません。\n\nもう一度確認してから実行して下さい。");
        QCOMPARE(f->book.bookName(), QString("report"));
    }

    void startUpOpensTheBookOrANewOne()
    {
        const QString other = f->dir.path() + "/docs/other.book.iis";
        writeText(other, "|0\\Other=a1+root|a1\\T=a2+richtxt|\r\n");
        writeText(app("remembered/a1.rtf"), "other note");
        writeText(f->working("left-over.rtf"), "from a run that crashed");
        f->bookCommands.openAtStart(other, "remembered");
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->book.bookName(), QString("remembered")); // the name kept with the book, not its file's
        QCOMPARE(f->book.caption(), "BOOK - " + other);
        QCOMPARE(f->note.text, QString("other note"));
        QCOMPARE(f->status.status, QString("Other"));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a1"));
        QVERIFY(f->status.treeExpanded);
        QVERIFY(!QFile::exists(f->working("left-over.rtf")));
        QVERIFY(f->bookItemCommandsShown());
        QVERIFY(f->recent.isEmpty());

        f->bookCommands.openAtStart(f->dir.path() + "/gone.iis", "gone");
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(f->prompter.prompts[0].text, f->dir.path() + "/gone.iis\n が見つかりません。");
        QCOMPARE(f->tree.count(), 1);
        QCOMPARE(f->tree.item("a1")->text(), QString("新規ブック"));
        QCOMPARE(f->book.caption(), QString("BOOK - 新規ブック")); // a new book at start-up holds no change
        QVERIFY(f->book.bookPath().isEmpty());
        QVERIFY(QDir(f->working()).isEmpty());
    }

    void bookFolderThatCannotBeReadIsNotOpened()
    {
        // Notes that cannot be read would show empty and be saved empty.
        const QString other = f->dir.path() + "/docs/other.iis";
        writeText(other, "|0\\Other=a1+root|a1\\T=a2+richtxt|\r\n");
        writeText(app("other"), "a file where the book folder belongs");
        f->dialogs.answers = {other};
        f->bookCommands.openBook();
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(app("other/")) + " 」\n\nを開けません。");
        QVERIFY(f->book.bookPath().isEmpty());
        QCOMPARE(f->tree.count(), 1);
        QVERIFY(f->recent.isEmpty());
    }

    void unchangedHomepageItemKeepsItsSplittersInTheBookFolder()
    {
        f->book.shown().setKey("a5");
        f->book.shown().setPageTextName("a5index");
        f->arrangement.stacked = 1234;
        f->arrangement.side = 4321;
        QCOMPARE(f->bookCommands.askSaveChanges(), 0);
        QCOMPARE(readText(app("report/a5index.txt")), QByteArray("1234\r\n"));
        QCOMPARE(readText(app("report/a5indexside.txt")), QByteArray("4321\r\n"));

        // A book never saved has no book folder to write into.
        f->book.startNew(false);
        f->tree.add("a1", Relationship::Child, "a5", "Web", "htmlfile");
        f->book.shown().setKey("a5");
        f->book.shown().setPageTextName("a5index");
        QCOMPARE(f->bookCommands.askSaveChanges(), 0);
        QVERIFY(!QFile::exists(app("a5index.txt")));
        QVERIFY(!QFile::exists(app("/a5index.txt")));
    }
};

QTEST_GUILESS_MAIN(TestBookCommands)
#include "tst_bookcommands.moc"
