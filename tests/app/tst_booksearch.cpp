#include "Book.h"
#include "BookSearch.h"
#include "CommandRegistry.h"
#include "DamagedIndex.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "FindBar.h"
#include "ItemTreeModel.h"
#include "KobinApp.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "SearchPane.h"
#include "Settings.h"
#include "TestFiles.h"
#include "ToolbarCustomizeDialog.h"
#include "ToolbarLayout.h"
#include "TextPane.h"
#include "TreePane.h"

#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

using namespace kobin;

// Search in the program as start-up puts it together.
class TestBookSearch : public QObject
{
    Q_OBJECT

public:
    // Before the application exists: the program's web engine plugin shares its OpenGL contexts.
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KobinApp> m_app;
    FakePrompter m_prompter;
    FakeFileDialogs m_dialogs;

    QString appPath() const { return m_dir->path() + "/app/"; }
    MainWindow &window() const { return m_app->window(); }
    BookSearch &bookSearch() const { return m_app->search(); }
    QDockWidget &dock() const { return *window().findChild<QDockWidget *>("dockSearch"); }
    search::SearchPane &pane() const { return *window().findChild<search::SearchPane *>(); }
    search::FindBar &findBar() const { return *window().findChild<search::FindBar *>(); }
    ItemTree &tree() const { return m_app->book().tree(); }

    void startWithBook()
    {
        writeText(appPath() + "zoo.iis", "|0\\Zoo=a1+root|a1\\Animals=a2+fclose|a2\\Kangaroos=a3+richtxt|"
                                        "a2\\Others=a4+richtxt|\r\n");
        writeText(appPath() + "zoo/a1.rtf", "{\\rtf1\\ansi The zoo\\par}");
        writeText(appPath() + "zoo/a2.rtf", "{\\rtf1\\ansi }");
        writeText(appPath() + "zoo/a3.rtf", "{\\rtf1\\ansi one kangaroo, two kangaroos\\par}");
        // Full-width "Ｋａｎｇａｒｏｏ" among other words.
        writeText(appPath() + "zoo/a4.rtf", "{\\rtf1\\ansi a \\u-213?\\u-191?\\u-178?\\u-185?\\u-191?\\u-174?"
                                           "\\u-177?\\u-177? and a wombat\\par}");
        auto settings = std::make_unique<Settings>(m_dir->filePath("Kobin.ini"), appPath());
        m_app = std::make_unique<KobinApp>(programFoldersAt(appPath()), std::move(settings), true, &m_prompter,
                                           &m_dialogs);
        m_app->start(appPath() + "zoo.iis");
    }

    // Types query into the results pane and waits for the index to have everything.
    void searchFor(const QString &query)
    {
        m_app->commands().run(Command::FindInBook);
        auto *edit = window().findChild<QLineEdit *>("txtSearchBook");
        QVERIFY(edit);
        edit->clear();
        QTest::keyClicks(edit, query);
        QTest::keyClick(edit, Qt::Key_Return);
        QTRY_VERIFY_WITH_TIMEOUT(!bookSearch().isIndexing(), 20000);
        pane().queryChanged();
    }

    QStringList rows() const
    {
        QStringList shown;
        QTreeWidget *results = pane().results();
        for (int i = 0; i < results->topLevelItemCount(); ++i)
            shown << results->topLevelItem(i)->text(0) + " | " + results->topLevelItem(i)->text(1);
        return shown;
    }

    QString footer() const { return window().findChild<QLabel *>("lblSearchFooter")->text(); }

    void showItem(const QString &key)
    {
        TreePane *pane = window().treePane();
        pane->setCurrentIndex(pane->itemModel().indexOf(tree().item(key)));
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = FakePrompter();
        m_dialogs = FakeFileDialogs();
    }

    void cleanup() { m_app.reset(); }

    void resultsShowEachItemAndChoosingOneSelectsTheMatch()
    {
        startWithBook();
        QVERIFY(!dock().isVisible());
        searchFor("KANGAROO");
        QVERIFY(dock().isVisible());
        QCOMPARE(rows(), QStringList({"Zoo ＞ Animals ＞ Kangaroos | 名前", "Zoo ＞ Animals ＞ Kangaroos | テキスト",
                                      "Zoo ＞ Animals ＞ Others | テキスト"}));
        QCOMPARE(footer(), QString("3 件"));
        QCOMPARE(pane().results()->topLevelItem(1)->text(2),
                 QString("one <b style=\"background-color:#ffe27a;color:#000\">kangaroo</b>, two "
                         "<b style=\"background-color:#ffe27a;color:#000\">kangaroo</b>s"));

        bookSearch().choose(2);
        QCOMPARE(m_app->book().shown().key(), QString("a4"));
        QCOMPARE(tree().selectedItem()->key(), QString("a4"));
        QCOMPARE(window().textPane()->textCursor().selectedText(), QString("Ｋａｎｇａｒｏｏ"));
        QVERIFY(findBar().isOpen());

        searchFor("nothing-like-this");
        QVERIFY(rows().isEmpty());
        QCOMPARE(footer(), QString("見つかりませんでした。"));
    }

    void whatIsTypedAndStoredIsFoundAtOnce()
    {
        startWithBook();
        showItem("a3");
        window().textPane()->setPlainText("a platypus now");
        showItem("a4"); // stores a3's note
        searchFor("platypus");
        QCOMPARE(rows(), QStringList({"Zoo ＞ Animals ＞ Kangaroos | テキスト"}));
        // A renamed item is found under its new name once the tree settles.
        tree().setText(tree().item("a4"), "Platypus house");
        QTRY_COMPARE_WITH_TIMEOUT(rows().size(), 2, 20000);
        QCOMPARE(rows().last(), QString("Zoo ＞ Animals ＞ Platypus house | 名前"));
    }

    void aDamagedIndexIsBuiltAgain()
    {
        startWithBook();
        searchFor("kangaroo");
        const QStringList found = rows();
        QCOMPARE(found.size(), 3);
        // Damaged in the text it keeps of each item, under the window's open index.
        QVERIFY(damageIndex(search::SearchIndex::locationFor(m_app->book().bookPath()), "words_content"));
        searchFor("kangaroo");
        QTRY_COMPARE_WITH_TIMEOUT(rows(), found, 20000);
        QCOMPARE(footer(), QString("3 件"));
    }

    void anIndexThatCannotBeMadeIsToldOf()
    {
        // A folder where the index file belongs.
        const QString index = search::SearchIndex::locationFor(appPath() + "zoo.iis");
        QVERIFY(QDir().mkpath(index));
        startWithBook();
        searchFor("kangaroo");
        QVERIFY(rows().isEmpty());
        QCOMPARE(footer(), "見つかりませんでした。　検索用の索引「 " + index + " 」を作れません（unable to open database file）。");
    }

    void theToolbarCanBeGivenTheSearchButton()
    {
        QVERIFY(!toolbarlayout::defaultLayout().contains("search"));
        ToolbarCustomizeDialog dialog(toolbarlayout::defaultLayout());
        const auto lists = dialog.findChildren<QListWidget *>();
        QStringList offered;
        for (int i = 0; i < lists.first()->count(); ++i)
            offered << lists.first()->item(i)->text();
        QCOMPARE(offered, QStringList({"区切り", "ブック内を検索", "ホームページ取り込み"}));
        QCOMPARE(toolbarlayout::fromText(toolbarlayout::toText({"save", "search"})), QStringList({"save", "search"}));
    }

    void theFindBarMovesThroughTheMatchesInTheNote()
    {
        startWithBook();
        showItem("a3");
        window().textPane()->setPlainText("one two One three ONE");
        window().textPane()->setFocus();
        m_app->commands().run(Command::Find);
        search::FindBar &bar = findBar();
        QVERIFY(bar.isOpen());
        QCOMPARE(bar.target(), window().textPane());
        auto *edit = bar.findChild<QLineEdit *>("txtFind");
        QTest::keyClicks(edit, "one");
        const auto selectionStart = [this] { return window().textPane()->textCursor().selectionStart(); };
        QCOMPARE(selectionStart(), 0);
        QCOMPARE(window().textPane()->extraSelections().size(), 3);
        m_app->commands().run(Command::FindNext);
        QCOMPARE(selectionStart(), 8);
        m_app->commands().run(Command::FindNext);
        QCOMPARE(selectionStart(), 18);
        m_app->commands().run(Command::FindNext); // round the end
        QCOMPARE(selectionStart(), 0);
        m_app->commands().run(Command::FindPrevious);
        QCOMPARE(selectionStart(), 18);
        QTest::keyClick(edit, Qt::Key_Return, Qt::ShiftModifier);
        QCOMPARE(selectionStart(), 8);
        QTest::keyClick(edit, Qt::Key_Escape);
        QVERIFY(!bar.isOpen());
        QVERIFY(window().textPane()->extraSelections().isEmpty());
        QCOMPARE(window().textPane()->toPlainText(), QString("one two One three ONE")); // nothing typed into the note
        QCOMPARE(window().textPane()->textCursor().selectedText(), QString("One")); // the match stays selected
        QTest::keyClicks(window().textPane(), "!");
        QCOMPARE(window().textPane()->toPlainText(), QString("one two One! three ONE")); // typed after it, not over it
    }

    // A match above the lines shown is scrolled into sight below the bar, not beside or under it.
    void theFindBarLeavesTheMatchInSight()
    {
        startWithBook();
        showItem("a3");
        window().show();
        TextPane *text = window().textPane();
        QStringList lines(200, "line");
        lines[120] = "zebra"; // its first letter found nowhere else
        text->setPlainText(lines.join('\n'));
        text->setFocus();
        text->moveCursor(QTextCursor::End); // found from here, round the end: the view scrolls up to it
        m_app->commands().run(Command::Find);
        QTest::keyClicks(findBar().findChild<QLineEdit *>("txtFind"), "zebra");
        QCOMPARE(text->textCursor().selectedText(), QString("zebra"));
        QTextCursor start = text->textCursor();
        start.setPosition(start.selectionStart());
        const QRect match = text->cursorRect(start).united(text->cursorRect()).translated(text->viewport()->pos());
        QVERIFY(text->rect().contains(match));
        QVERIFY(match.top() > findBar().geometry().bottom());
    }
};

QTEST_MAIN(TestBookSearch)
#include "tst_booksearch.moc"
