#include "BookCommands.h"
#include "BookSession.h"
#include "BookStore.h"
#include "FakeBookView.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "TestFiles.h"
#include "ItemDisplay.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

namespace {

class ViewPane : public TextPaneFiles
{
public:
    explicit ViewPane(FakeBookView &view) : m_view(view) {}
    bool saveRichText(const QString &path) override { return m_view.saveText(path); }

private:
    FakeBookView &m_view;
};

} // namespace

class TestBookCommands : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    BookSession m_session;
    ItemTree m_tree;
    FakeBookView m_view;
    FakePrompter m_prompter;
    FakeFileDialogs m_dialogs;
    QStringList m_recent;
    std::unique_ptr<ViewPane> m_pane;
    std::unique_ptr<ItemDisplay> m_display;
    std::unique_ptr<BookCommands> m_commands;

    QString app(const QString &name = {}) const { return m_session.appPath + name; }

    // The program with the book "report" open: book file in docs/, book folder beside the program.
    void openReport()
    {
        m_session.bookPath = m_dir->path() + "/docs/report.iis";
        m_session.bookName = "report";
        m_session.caption = "BOOK - " + m_session.bookPath.toUpper();
        m_view.shownCaption = m_session.caption;
        treestring::buildTree(m_tree, u"|0\\Report=a1+root|a1\\Note=a2+richtxt|a1\\Web=a5+htmlfile|");
        m_tree.select(m_tree.item("a1"));
        writeText(m_session.workingFolder() + "a1.rtf", "report note");
        QDir().mkpath(m_dir->path() + "/docs");
        QDir().mkpath(app("report"));
        m_view.text = "report note";
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_session = BookSession();
        m_session.appPath = m_dir->path() + "/app/";
        QDir().mkpath(m_session.workingFolder());
        m_tree.clear();
        m_view = FakeBookView();
        m_prompter = FakePrompter();
        m_dialogs = FakeFileDialogs();
        m_recent.clear();
        m_pane = std::make_unique<ViewPane>(m_view);
        m_display = std::make_unique<ItemDisplay>(m_session, m_tree, m_view, m_prompter);
        m_commands = std::make_unique<BookCommands>(BookCommands::Services{
            m_session, m_tree, m_view, *m_pane, *m_display, m_prompter, m_dialogs,
            [this](const QString &path) { m_recent << path; }});
        openReport();
    }

    void quittingAnUnchangedBookAsksNothingAndEmptiesTheWorkingFolder()
    {
        QVERIFY(m_commands->closeRequest());
        QVERIFY(m_prompter.prompts.isEmpty());
        QVERIFY(QDir(m_session.workingFolder()).isEmpty());
    }

    void cancellingTheQuestionKeepsTheWindowAndTheWorkingFolder()
    {
        m_commands->textChanged();
        QCOMPARE(m_view.shownCaption, m_session.caption + " （更新）");
        m_commands->textChanged(); // the mark is appended once
        QVERIFY(m_view.shownCaption.endsWith("（更新）") && !m_view.shownCaption.endsWith("（更新） （更新）"));
        m_prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!m_commands->closeRequest());
        QCOMPARE(m_prompter.prompts[0].title, QString("お知らせ"));
        QCOMPARE(m_prompter.prompts[0].text, QString("「 report.iis 」 の内容は変更されています。\n\n保存しますか？"));
        QCOMPARE(m_prompter.prompts[0].buttons, PromptButtons::YesNoCancel);
        QCOMPARE(m_prompter.prompts[0].icon, PromptIcon::Question);
        QVERIFY(QFile::exists(m_session.workingFolder() + "a1.rtf"));
    }

    void answeringYesSavesBeforeClosing()
    {
        m_view.text = "typed before quitting";
        m_commands->textChanged();
        m_prompter.answers = {PromptAnswer::Yes};
        QVERIFY(m_commands->closeRequest());
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("typed before quitting"));
        QVERIFY(readText(m_session.bookPath).startsWith("|0\\Report=a1+root|"));
    }

    void newThenQuitAsksAboutTheNewBookAndOffersSaveAs()
    {
        m_commands->newBook();
        QCOMPARE(m_view.shownCaption, QString("BOOK - 新規ブック （更新）"));
        QCOMPARE(m_tree.count(), 1);
        QCOMPARE(m_tree.item("a1")->text(), QString("新規ブック"));
        QVERIFY(m_session.bookPath.isEmpty());
        QVERIFY(QDir(m_session.workingFolder()).isEmpty());
        QCOMPARE(m_view.kinds.last(), QString("root"));
        m_prompter.answers = {PromptAnswer::Yes};
        QVERIFY(!m_commands->closeRequest()); // the save dialog was cancelled
        QVERIFY(m_prompter.prompts[0].text.startsWith("「 新規ブック.iis 」"));
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(m_dialogs.requests[0].proposedName, QString("新規ファイル.iis"));
        QCOMPARE(m_dialogs.requests[0].title, QString("名前を付けて保存"));
        QCOMPARE(m_dialogs.requests[0].filter, QString("Kobinファイル (*.iis);;すべてのファイル (*.*)"));
    }

    void saveAsWarnsOnceAboutTheExtension()
    {
        m_dialogs.answers = {m_dir->path() + "/docs/plan.txt", m_dir->path() + "/docs/plan.doc"};
        m_commands->saveAs();
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].text, QString("間違ったファイルを選択しています。"));
        QCOMPARE(m_session.bookPath, m_dir->path() + "/docs/plan.doc");
        QCOMPARE(m_session.bookName, QString("plan"));
        QVERIFY(QFile::exists(m_dir->path() + "/docs/plan.doc"));
        QVERIFY(QFile::exists(app("plan/a1.rtf")));
        QCOMPARE(m_view.shownCaption, "BOOK - " + m_dir->path() + "/docs/plan.doc");
        QCOMPARE(m_recent, QStringList({m_dir->path() + "/docs/plan.doc"}));
    }

    void saveAsRefusesNamesWithoutABookFolderOfTheirOwn()
    {
        m_dialogs.answers = {m_dir->path() + "/temp.iis", m_dir->path() + "/.iis", m_dir->path() + "/good.iis"};
        m_commands->saveAs();
        QCOMPARE(m_prompter.prompts.size(), 2);
        QCOMPARE(m_prompter.prompts[0].title, QString("注意"));
        QCOMPARE(m_prompter.prompts[0].text, QString("この名前では保存できません。"));
        QCOMPARE(m_session.bookName, QString("good"));
        QVERIFY(!QFile::exists(m_dir->path() + "/temp.iis"));
        QVERIFY(QFile::exists(app("good/a1.rtf")));
    }

    void saveAsAsksBeforeUsingAnotherBooksFolder()
    {
        writeText(app("other/a1.rtf"), "the other book's note");
        m_dialogs.answers = {m_dir->path() + "/docs/other.iis", m_dir->path() + "/docs/other.iis"};
        m_prompter.answers = {PromptAnswer::No, PromptAnswer::Yes};
        m_commands->saveAs();
        QCOMPARE(m_prompter.prompts.size(), 2);
        QCOMPARE(m_prompter.prompts[0].text, QString("「 other 」のフォルダはすでにあります。\n\n上書きしますか？"));
        QCOMPARE(m_prompter.prompts[0].buttons, PromptButtons::YesNo);
        QCOMPARE(readText(app("other/a1.rtf")), QByteArray("report note"));
    }

    void failedSaveKeepsTheBookChanged()
    {
        m_commands->markChanged();
        m_view.status = "Report";
        QDir(app("report")).removeRecursively();
        writeText(app("report"), "a plain file where the book folder should be");
        m_commands->save();
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("保存できません"));
        QVERIFY(m_session.changed);
        QVERIFY(m_view.shownCaption.endsWith(" （更新）"));
        QCOMPARE(m_view.status, QString("Report"));
        QVERIFY(m_recent.isEmpty());
    }

    void noteThatCannotBeStoredStopsTheSave()
    {
        // The shown note cannot be written into the working folder (a full disk, a
        // folder removed under the program): saving must not go on without it.
        QFile::remove(m_session.workingFolder() + "a1.rtf");
        QDir().mkpath(m_session.workingFolder() + "a1.rtf");
        writeText(app("report/a1.rtf"), "the note saved last time");
        m_view.text = "typed and not yet stored";
        m_commands->markChanged();
        m_commands->save();
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(m_prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(m_session.workingFolder() + "a1.rtf")
                                                 + " 」\n\nを保存できませんでした。");
        QVERIFY(m_session.changed);
        QVERIFY(m_view.shownCaption.endsWith(" （更新）"));
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("the note saved last time"));
        QVERIFY(!QFile::exists(m_session.bookPath));
        QVERIFY(m_recent.isEmpty());

        m_dialogs.answers = {m_dir->path() + "/docs/copy.iis"};
        m_commands->saveAs();
        QCOMPARE(m_prompter.prompts.size(), 2);
        QCOMPARE(m_prompter.prompts[1].title, QString("保存できません"));
        QVERIFY(m_session.changed);
        QVERIFY(!QFile::exists(m_dir->path() + "/docs/copy.iis"));
    }

    void savingClearsTheMarkAndRemembersTheBook()
    {
        m_commands->markChanged();
        m_view.status = "Report";
        m_commands->save();
        QVERIFY(!m_session.changed);
        QCOMPARE(m_view.shownCaption, "BOOK - " + m_session.bookPath);
        QCOMPARE(m_view.status, QString("Report"));
        QCOMPARE(m_recent, QStringList({m_session.bookPath}));
        QCOMPARE(readText(app("report/a1.rtf")), QByteArray("report note"));
    }

    void openingReadsTheBookAndTypingMarksIt()
    {
        const QString other = m_dir->path() + "/docs/other.iis";
        writeText(other, "|0\\Other=a1+root|a1\\T=a2+richtxt|\r\n");
        writeText(app("other/a1.rtf"), "other note");
        m_dialogs.answers = {other};
        m_commands->openBook();
        QCOMPARE(m_dialogs.requests[0].title, QString("ファイルを開く"));
        QCOMPARE(m_session.bookName, QString("other"));
        QCOMPARE(m_view.text, QString("other note"));
        QVERIFY(!m_session.changed);
        QCOMPARE(m_view.shownCaption, "BOOK - " + other.toUpper());
        QCOMPARE(m_tree.selectedItem()->key(), QString("a1"));
        QCOMPARE(m_recent, QStringList({other}));
        m_commands->textChanged();
        QVERIFY(m_session.changed);
    }

    void unreadableBookKeepsTheOpenOne()
    {
        m_dialogs.answers = {m_dir->path() + "/docs"}; // a folder cannot be read as a book
        m_commands->openBook();
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(m_session.bookName, QString("report"));
        QCOMPARE(m_tree.item("a1")->text(), QString("Report"));
        QVERIFY(QFile::exists(m_session.workingFolder() + "a1.rtf"));
    }

    void missingRecentBookIsReported()
    {
        const QString gone = m_dir->path() + "/gone.iis";
        m_commands->openRecentBook(gone);
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].text,
                 gone + "\n が見つかりません。\n\nもう一度確認してから実行して下さい。");
        QCOMPARE(m_session.bookName, QString("report"));
    }

    void unchangedHomepageItemKeepsItsSplittersInTheBookFolder()
    {
        m_session.currentKey = "a5";
        m_session.pageTextName = "a5index";
        m_view.stacked = 1234;
        m_view.side = 4321;
        QCOMPARE(m_commands->askSaveChanges(), 0);
        QCOMPARE(readText(app("report/a5index.txt")), QByteArray("1234\r\n"));
        QCOMPARE(readText(app("report/a5indexside.txt")), QByteArray("4321\r\n"));

        // A book never saved has no book folder to write into.
        m_commands->newBook();
        m_session.changed = false;
        m_tree.add("a1", Relationship::Child, "a5", "Web", "htmlfile");
        m_session.currentKey = "a5";
        m_session.pageTextName = "a5index";
        QCOMPARE(m_commands->askSaveChanges(), 0);
        QVERIFY(!QFile::exists(app("a5index.txt")));
        QVERIFY(!QFile::exists(app("/a5index.txt")));
    }
};

QTEST_GUILESS_MAIN(TestBookCommands)
#include "tst_bookcommands.moc"
