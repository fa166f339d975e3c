#include "BrowserPane.h"
#include "CommandState.h"
#include "ItemTreeModel.h"
#include "KobinAppFixture.h"
#include "PaneAdapters.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTextCursor>
#include <QtTest>

using namespace kobin;

// Starting and leaving the program, its commands, and the tree with the items it shows.
class TestKobinApp : public QObject, protected KobinAppFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { m_app.reset(); }

    void firstStartOpensTheSampleBook()
    {
        startWith(QString());
        QVERIFY(m_prompter.prompts.isEmpty());
        QCOMPARE(m_app->book().bookPath(), appPath() + "sample.iis");
        QCOMPARE(m_app->book().bookName(), QString("sample"));
        QCOMPARE(window()->windowTitle(), "BOOK - " + appPath() + "sample.iis");
        QCOMPARE(window()->textPane()->toPlainText(), QString("Book note"));
        QCOMPARE(window()->statusPanels()->text(), QString("Sample"));
        QCOMPARE(tree().selectedItem()->key(), QString("a1"));
        QVERIFY(tree().item("a2")->isExpanded());
        QVERIFY(!QFile::exists(appPath() + "temp/left-over.rtf"));
        QVERIFY(!QFile::exists(appPath() + "temp/a1.rtf")); // the note is read where the book keeps it
        QVERIFY(!m_app->book().isLoading());
        const TwipsScale scale = TwipsScale::of(window());
        QCOMPARE(window()->geometry(), scale.rect({300, 500, 11500, 7000}));
        QCOMPARE(window()->workspace()->treeWidth(), 2000.0f);
        QCOMPARE(window()->workspace()->tabKeys(), QStringList({"text"}));
    }

    void theBookNameComesFromTheBookFileNeverFromTheSettings()
    {
        writeText(m_dir->path() + "/docs/diary.iis", "|0\\Diary=a1+root|\r\n");
        writeText(m_dir->path() + "/victim/a1.rtf", "not the diary's");
        {
            Settings settings(m_dir->filePath("Kobin.ini"), appPath());
            settings.write(settings::Book, m_dir->path() + "/docs/diary.iis");
            settings.write(settings::BookName, "../victim");
        }
        startWith(QString());
        QCOMPARE(m_app->book().bookName(), QString("diary"));
        QCOMPARE(m_app->book().bookFolder(), appPath() + "diary/");
        QVERIFY(window()->textPane()->toPlainText().isEmpty());
    }

    void missingBookStartsANewOne()
    {
        startWith(m_dir->path() + "/elsewhere/my.book.iis");
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(m_prompter.prompts[0].text, m_dir->path() + "/elsewhere/my.book.iis\n が見つかりません。");
        QCOMPARE(m_app->book().bookPath(), QString());
        QCOMPARE(tree().count(), 1);
        QCOMPARE(tree().item("a1")->text(), QString("新規ブック"));
        QCOMPARE(window()->windowTitle(), QString("BOOK - 新規ブック"));
        // A new book leaves the remembered book alone at exit.
        m_settings->write(settings::Book, "/remembered.iis");
        stop();
        QCOMPARE(m_settings->readString(settings::Book), QString("/remembered.iis"));
    }

    void exitWritesEveryValueAndTheNextStartRestoresThem()
    {
        startWith(QString());
        window()->workspace()->sizeControls(2600, 3720, 1080);
        window()->menuAction(Command::ViewStatusBar)->trigger();
        QVERIFY(!window()->statusPanels()->isVisible());
        window()->showMaximized();
        stop();
        QCOMPARE(m_settings->readString(settings::WindowState), QString("2"));
        QCOMPARE(m_settings->readString(settings::TreeWidth), QString("2600"));
        QCOMPARE(m_settings->readString(settings::StatusBarVisible), QString("False"));
        QCOMPARE(m_settings->readString(settings::TreeVisible), QString("True"));
        QCOMPARE(m_settings->readString(settings::MainLeft), QString("300"));
        QCOMPARE(m_settings->readString(settings::MainWidth), QString("11500")); // not rounded through pixels
        QCOMPARE(m_settings->readString(settings::recentFile(1)), appPath() + "sample.iis");

        startWith(QString());
        QVERIFY(window()->isMaximized());
        QVERIFY(!window()->menuAction(Command::ViewStatusBar)->isChecked());
        QCOMPARE(window()->workspace()->treeWidth(), 2600.0f);
        QVERIFY(window()->menuAction(recentFileCommand(1))->isVisible());
        QCOMPARE(window()->menuAction(recentFileCommand(1))->text(), appPath() + "sample.iis");
        QVERIFY(!window()->menuAction(recentFileCommand(2))->isVisible());
    }

    void windowOffEveryScreenComesBackToTheFirstStartPlace()
    {
        {
            Settings before(m_dir->filePath("Kobin.ini"), appPath());
            before.write(settings::MainLeft, "100000");
            before.write(settings::MainTop, "hand-edited");
        }
        startWith(QString());
        const TwipsScale scale = TwipsScale::of(window());
        QCOMPARE(window()->geometry(), scale.rect({300, 500, 11500, 7000}));
    }

    void choosingAnItemWithTheKeyboardCountsAsAClick()
    {
        startWith(QString());
        QStringList clicked;
        connect(window()->treePane(), &TreePane::itemClicked, this,
                [&](TreeItem *item) { clicked << item->key(); });
        tree().select(tree().item("a2")); // by program: no click
        QVERIFY(clicked.isEmpty());
        QCOMPARE(window()->treePane()->currentIndex().data().toString(), QString("Folder"));
        window()->treePane()->setFocus();
        QTest::keyClick(window()->treePane(), Qt::Key_Down);
        QCOMPARE(clicked, QStringList({"a3"}));
        QCOMPARE(tree().selectedItem()->key(), QString("a3"));
    }

    void commandStateFollowsTheItemKind()
    {
        startWith(QString());
        QVERIFY(!window()->buttonAction(Command::MoveUp)->isEnabled());
        QVERIFY(!window()->menuAction(Command::NewHomepageBeside)->isEnabled());
        QVERIFY(window()->buttonAction(Command::NewChildFolder)->isEnabled());
        m_app->commandState().update(ItemKind::Homepage);
        QCOMPARE(window()->workspace()->tabKeys(), QStringList({"html", "text", "updown", "leftright"}));
        QCOMPARE(window()->workspace()->selectedTab(), QString("html"));
        QVERIFY(window()->browserPane()->isVisibleTo(window()));
        QVERIFY(!window()->textPane()->isVisibleTo(window()));
        QVERIFY(!window()->buttonAction(Command::Back)->isEnabled());
        QVERIFY(window()->menuAction(Command::Reload)->isEnabled());
        m_app->commandState().update(ItemKind::Folder);
        QCOMPARE(window()->workspace()->tabKeys(), QStringList({"text"}));
        QVERIFY(window()->textPane()->isVisibleTo(window()));
        QVERIFY(window()->buttonAction(Command::MoveUp)->isEnabled());
        QVERIFY(!window()->browserPane()->hasEngine()); // the web engine waits for a page
    }

    void pageSourceIsEditedInTheTextPaneAndSavedWithItsButton()
    {
        startWith(QString());
        const QString page = m_dir->path() + "/page.html";
        const QByteArray source = "<p>a\xC2\xA0" "b</p>\r\n<p>\xE6\x97\xA5\xE8\xA8\x98</p>\r\n"; // a no-break space, 日記
        writeText(page, source);
        m_app->book().shown().setPageTextName("a1page");
        m_app->book().shown().setBrowserAddress(page);
        window()->textPane()->setPlainText("side text");
        window()->resize(800, 600);
        m_app->commandState().update(ItemKind::Homepage);

        window()->buttonAction(Command::EditPageSource)->trigger();
        QVERIFY(window()->buttonAction(Command::EditPageSource)->isChecked());
        QVERIFY(window()->menuAction(Command::EditPageSource)->isChecked());
        QPushButton *save = window()->saveSourceButton();
        QVERIFY(save->isVisibleTo(window()));
        QCOMPARE(save->text(), QString("上書き保存"));
        QCOMPARE(save->geometry().right(), window()->workspace()->width() - 1);
        QCOMPARE(window()->textPane()->toPlainText(), QString::fromUtf8("<p>a b</p>\n<p>日記</p>\n"));

        QTextCursor cursor(window()->textPane()->document());
        cursor.movePosition(QTextCursor::End);
        cursor.insertText("<hr>");
        QTest::mouseClick(save, Qt::LeftButton);
        QCOMPARE(readText(page), source + "<hr>");
        QVERIFY(m_prompter.prompts.isEmpty());

        window()->menuAction(Command::EditPageSource)->trigger();
        QVERIFY(!save->isVisibleTo(window()));
        QVERIFY(!window()->buttonAction(Command::EditPageSource)->isChecked());
        QCOMPARE(window()->textPane()->toPlainText(), QString("side text"));
    }

    void toolbarButtonsRunTheirCommands()
    {
        startWith(QString());
        // The save button saves a book that has a file without asking for a name...
        window()->buttonAction(Command::FileSave)->trigger();
        QVERIFY(m_dialogs.requests.isEmpty());
        QVERIFY(QFile::exists(appPath() + "sample/a1.rtf"));
        // ...and asks for one for a book that has none.
        m_app->commands().run(Command::FileNew);
        window()->buttonAction(Command::FileSave)->trigger();
        QCOMPARE(m_dialogs.requests.size(), 1);
        QCOMPARE(m_dialogs.requests[0].title, QString("名前を付けて保存"));
    }

    void everyCommandIsBoundOrKnownToBeMissing()
    {
        // Commands whose areas are not built yet. Shrinks as they are; a command bound
        // meanwhile must leave this list.
        const QList<Command> notYet = {};
        // Separators of the menu arrays run nothing.
        const QList<Command> separators = {recentFileCommand(0), customColorCommand(0)};
        startWith(QString());
        for (const CommandRow &row : commandRows()) {
            const bool bound = m_app->commands().isBound(row.command);
            if (separators.contains(row.command))
                QVERIFY2(!bound, qPrintable(row.objectName));
            else if (notYet.contains(row.command))
                QVERIFY2(!bound, qPrintable(row.objectName + " is bound: take it off the list"));
            else
                QVERIFY2(bound, qPrintable(row.objectName + row.toolbarKey + " has no handler"));
        }
    }

    void treeEditsNeverShowAnotherItemByThemselves()
    {
        writeText(appPath() + "edit.iis", "|0\\B=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|\r\n");
        writeText(appPath() + "edit/a2.rtf", "{\\rtf1 one\\par}");
        writeText(appPath() + "edit/a3.rtf", "{\\rtf1 two\\par}");
        startWith(appPath() + "edit.iis");
        TreePane *pane = window()->treePane();
        pane->setCurrentIndex(pane->itemModel().indexOf(tree().item("a3"))); // the user's choice
        QCOMPARE(m_app->book().shown().key(), QString("a3"));
        window()->textPane()->setPlainText("two, edited");

        // A move takes the item out of the view and puts it back: that is no click on its neighbour.
        m_app->commands().run(Command::MoveUp);
        QCOMPARE(tree().item("a3")->row(), 0);
        QCOMPARE(m_app->book().shown().key(), QString("a3"));
        QCOMPARE(tree().selectedItem()->key(), QString("a3"));
        QCOMPARE(window()->textPane()->toPlainText(), QString("two, edited"));

        // Deleting the item shown shows its neighbour; nothing of the deleted item is written back.
        m_prompter.answers = {PromptAnswer::Yes};
        m_app->commands().run(Command::DeleteItemButton);
        QCOMPARE(m_app->book().shown().key(), QString("a2"));
        QCOMPARE(window()->textPane()->toPlainText(), QString("one"));
        QVERIFY(!QFile::exists(appPath() + "temp/a3.rtf"));
    }

    void draggingAnItemOntoAnotherInTheTree()
    {
        writeText(appPath() + "drag.iis", "|0\\B=a1+root|a1\\F=a2+fclose|a2\\Child=a3+richtxt|"
                                          "a1\\T=a4+richtxt|a1\\X=a5+richtxt|\r\n");
        startWith(appPath() + "drag.iis");
        TreePane *pane = window()->treePane();
        ItemTreeModel &model = pane->itemModel();
        // What the view does when the mouse carries a2 over an item and lets go there.
        const auto drop = [&](const char *dragged, const char *target) {
            std::unique_ptr<QMimeData> data(model.mimeData({model.indexOf(tree().item(dragged))}));
            const QPoint at = pane->visualRect(model.indexOf(tree().item(target))).center();
            QDragEnterEvent enter(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pane->viewport(), &enter);
            QDragMoveEvent move(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pane->viewport(), &move);
            QDropEvent dropped(at, Qt::MoveAction, data.get(), Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(pane->viewport(), &dropped);
        };

        drop("a2", "a3"); // onto its own child: refused
        QCOMPARE(tree().item("a2")->parent()->key(), QString("a1"));
        QVERIFY(!m_app->book().isChanged());

        drop("a2", "a4"); // onto a text item: its last child, with its own child along, and shown
        QCOMPARE(tree().item("a2")->parent()->key(), QString("a4"));
        QCOMPARE(tree().item("a3")->parent()->key(), QString("a2"));
        QCOMPARE(m_app->book().shown().key(), QString("a2"));
        QVERIFY(m_app->book().isChanged());
        QVERIFY(window()->windowTitle().endsWith(" （更新）"));

        drop("a5", "a1"); // onto the book item: its last child
        QCOMPARE(tree().item("a5")->row(), tree().item("a1")->childCount() - 1);

        window()->treePane()->setFocus();
        m_app->window().setActivePane(Pane::Tree);
        m_app->commands().run(Command::EditUndo);
        m_app->commands().run(Command::EditUndo);
        QCOMPARE(tree().item("a2")->parent()->key(), QString("a1"));
        QCOMPARE(tree().item("a2")->row(), 0);
        m_app->commands().run(Command::EditRedo);
        QCOMPARE(tree().item("a2")->parent()->key(), QString("a4"));
    }

    void aPageFileFromAFileManagerIsCopiedIntoTheBook()
    {
        const QString page = m_dir->path() + "/saved/News.html";
        writeText(page, "<html><img src=\"News_files/a.png\"></html>");
        writeText(m_dir->path() + "/saved/News_files/a.png", "png");
        startWith(QString());
        TreePane *pane = window()->treePane();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(page)});
        const QPoint at = pane->visualRect(pane->itemModel().indexOf(tree().item("a2"))).center();
        const Qt::DropActions offered = Qt::CopyAction | Qt::MoveAction;
        QDragEnterEvent enter(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &enter);
        QDragMoveEvent move(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &move);
        QDropEvent dropped(at, offered, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(pane->viewport(), &dropped);
        QCOMPARE(dropped.dropAction(), Qt::CopyAction);
        QCoreApplication::processEvents(); // taken in once the drop has ended
        const TreeItem *added = tree().item("a4");
        QVERIFY(added);
        QCOMPARE(added->text(), QString("News"));
        QCOMPARE(added->parent()->key(), QString("a2"));
        QCOMPARE(m_app->book().shown().key(), QString("a4"));
        const QString kept = m_app->book().workingFolder().pageSettings().pagePath("a4").value_or(QString());
        QVERIFY2(kept.startsWith(appPath() + "sample/pages/"), qPrintable(kept));
        QCOMPARE(readText(QFileInfo(kept).path() + "/News_files/a.png"), QByteArray("png"));
        QVERIFY(QFile::exists(page)); // the file manager's file stays
        QVERIFY(m_prompter.prompts.isEmpty());
    }

    void rightButtonOpensTheTreeMenuOnTheItemWithoutShowingIt()
    {
        startWith(QString());
        TreePane *pane = window()->treePane();
        QString shownMenu;
        QTimer::singleShot(0, this, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shownMenu = menu->objectName();
                menu->close();
            }
        });
        const QPoint at = pane->visualRect(pane->itemModel().indexOf(tree().item("a2"))).center();
        QTest::mousePress(pane->viewport(), Qt::RightButton, {}, at);
        QCOMPARE(shownMenu, QString("mnuTree"));
        QCOMPARE(tree().selectedItem()->key(), QString("a2"));
        QCOMPARE(m_app->book().shown().key(), QString("a1"));
    }

    void renamingInPlaceKeepsTheCaptionStorableAndMarksTheBook()
    {
        startWith(QString());
        TreePane *pane = window()->treePane();
        window()->show();
        pane->setFocus();
        pane->setCurrentIndex(pane->itemModel().indexOf(tree().item("a2")));
        QTest::keyClick(pane, Qt::Key_F2);
        auto *editor = pane->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Plan|2024");
        QCOMPARE(editor->text(), QString("Plan｜2024")); // as it is typed
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(tree().item("a2")->text(), QString("Plan｜2024")); // the view commits a moment later
        QVERIFY(m_app->book().isChanged());

        QTest::keyClick(pane, Qt::Key_F2); // an empty name keeps the one there was
        editor = pane->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->clear();
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!pane->findChild<QLineEdit *>() || !pane->findChild<QLineEdit *>()->isVisible());
        QCOMPARE(tree().item("a2")->text(), QString("Plan｜2024"));
    }

    void undoIsOfferedWhileTheFocusedPaneCanUndo()
    {
        writeText(appPath() + "undo.iis", "|0\\B=a1+root|a1\\One=a2+richtxt|a1\\Two=a3+richtxt|\r\n");
        startWith(appPath() + "undo.iis");
        window()->activateWindow();
        QAction *undoButton = window()->buttonAction(Command::EditUndo);
        TextPane *text = window()->textPane();
        text->setFocus();
        QTRY_COMPARE(window()->activePane(), Pane::Text);
        QVERIFY(!undoButton->isEnabled()); // a note just loaded has nothing to undo
        QTest::keyClicks(text, "typed");
        QVERIFY(undoButton->isEnabled());

        window()->treePane()->setFocus();
        QTRY_COMPARE(window()->activePane(), Pane::Tree);
        QVERIFY(!undoButton->isEnabled()); // the tree has no edit yet
        tree().select(tree().item("a3"));
        m_app->commands().run(Command::MoveUp);
        QVERIFY(undoButton->isEnabled());
        QVERIFY(!window()->menuAction(Command::EditRedo)->isEnabled());
        undoButton->trigger();
        QCOMPARE(tree().item("a3")->row(), 1);
        QVERIFY(!undoButton->isEnabled());
        QVERIFY(window()->menuAction(Command::EditRedo)->isEnabled());
    }

    // What decides whether a note shown must be written again.
    void theTextPaneKnowsWhetherItStillHoldsTheNoteLoaded()
    {
        TextPane pane;
        TextPaneNotes notes(pane);
        const QString first = m_dir->filePath("first.rtf");
        writeText(first, "{\\rtf1 first\\par}");
        const QString second = m_dir->filePath("second.rtf");
        writeText(second, "{\\rtf1 second\\par}");
        QCOMPARE(notes.load(first), NoteReading::Read);
        QVERIFY(notes.holdsFileText());
        QTest::keyClicks(&pane, "typed");
        QVERIFY(!notes.holdsFileText());

        QCOMPARE(notes.load(second), NoteReading::Read);
        QVERIFY(notes.holdsFileText());
        pane.selectAll();
        pane.setFontWeight(QFont::Bold); // a format alone is a change too
        QVERIFY(!notes.holdsFileText());

        QCOMPARE(notes.load(first), NoteReading::Read);
        QCOMPARE(notes.load(m_dir->filePath("missing.rtf")), NoteReading::Unreadable);
        writeText(m_dir->filePath("plain.rtf"), "plain text, no note");
        QCOMPARE(notes.load(m_dir->filePath("plain.rtf")), NoteReading::NotRtf);
        QVERIFY(notes.holdsFileText()); // still the first note, untouched
        notes.showPlainText("source");
        QVERIFY(!notes.holdsFileText());
    }
};

QTEST_MAIN(TestKobinApp)
#include "tst_kobinapp.moc"
