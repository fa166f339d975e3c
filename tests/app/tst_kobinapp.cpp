#include "Book.h"
#include "BrowserPane.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "ItemTreeModel.h"
#include "KobinApp.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "PaneAdapters.h"
#include "QtTranslations.h"
#include "Settings.h"
#include "ShellCommands.h"
#include "StatusPanels.h"
#include "TestFiles.h"
#include "TextPane.h"
#include "ToolbarCustomizeDialog.h"
#include "TreeCommands.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFileIconProvider>
#include <QLineEdit>
#include <QPushButton>
#include <QMenu>
#include <QMimeData>
#include <QTextCursor>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

using namespace kobin;

// The program as start-up puts it together, with scripted message boxes and file dialogs.
class TestKobinApp : public QObject
{
    Q_OBJECT

public:
    // Before the application exists: the program's web engine plugin shares its OpenGL contexts.
private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<KobinApp> m_app;
    Settings *m_settings = nullptr;
    FakePrompter m_prompter;
    FakeFileDialogs m_dialogs;
    QList<QColor> m_coloursToChoose; // what the colour dialog answers, in turn; cancelled when empty
    int m_colourDialogs = 0;

    QString appPath() const { return m_dir->path() + "/app/"; }
    MainWindow *window() const { return &m_app->window(); }
    ItemTree &tree() const { return m_app->book().tree(); }

    void startWith(const QString &commandLine)
    {
        m_app.reset();
        auto settings = std::make_unique<Settings>(m_dir->filePath("Kobin.ini"), appPath());
        m_settings = settings.get();
        m_app = std::make_unique<KobinApp>(programFoldersAt(appPath()), std::move(settings), true, &m_prompter,
                                           &m_dialogs,
                                           [this](const QColor &) -> std::optional<QColor> {
                                               ++m_colourDialogs;
                                               if (m_coloursToChoose.isEmpty())
                                                   return std::nullopt;
                                               return m_coloursToChoose.takeFirst();
                                           });
        m_app->start(commandLine);
    }

    // Adds a text item beside the chosen one, named in the item name dialog; returns where the dialog stood.
    QRect addTextItem(const QString &name)
    {
        QRect where;
        QTimer::singleShot(0, this, [&] {
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget())) {
                where = dialog->frameGeometry();
                dialog->findChild<QLineEdit *>()->setText(name);
                dialog->accept();
            }
        });
        m_app->commands().run(Command::NewTextBeside);
        return where;
    }

    void stop()
    {
        m_app->lifecycle().unload();
        m_settings->sync();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_prompter = FakePrompter();
        m_dialogs = FakeFileDialogs();
        writeText(appPath() + "sample.iis", "|0\\Sample=a1+root|a1\\Folder=a2+fclose|a2\\Page=a3+htmlfile|\r\n");
        writeText(appPath() + "sample/a1.rtf", "{\\rtf1\\ansi Book note\\par}");
        writeText(appPath() + "temp/left-over.rtf", "from a run that crashed");
    }

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
        m_app->book().setPageTextName("a1page");
        m_app->book().setCurrentPagePath(page);
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
        QCOMPARE(m_app->book().currentKey(), QString("a3"));
        window()->textPane()->setPlainText("two, edited");

        // A move takes the item out of the view and puts it back: that is no click on its neighbour.
        m_app->commands().run(Command::MoveUp);
        QCOMPARE(tree().item("a3")->row(), 0);
        QCOMPARE(m_app->book().currentKey(), QString("a3"));
        QCOMPARE(tree().selectedItem()->key(), QString("a3"));
        QCOMPARE(window()->textPane()->toPlainText(), QString("two, edited"));

        // Deleting the item shown shows its neighbour; nothing of the deleted item is written back.
        m_prompter.answers = {PromptAnswer::Yes};
        m_app->commands().run(Command::DeleteItemButton);
        QCOMPARE(m_app->book().currentKey(), QString("a2"));
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
        QCOMPARE(m_app->book().currentKey(), QString("a2"));
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
        QCOMPARE(m_app->book().currentKey(), QString("a4"));
        const QString kept = m_app->book().workingFolder().pagePath("a4").value_or(QString());
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
        QCOMPARE(m_app->book().currentKey(), QString("a1"));
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

    void coloursOfTheTextPane()
    {
        {
            Settings before(m_dir->filePath("Kobin.ini"), appPath());
            before.write(settings::colorName(1), "Warning");
            before.write(settings::customColor(1), QString::number(0x0000FF)); // red, in the low byte
        }
        startWith(QString());
        TextPane *text = window()->textPane();
        window()->setActivePane(Pane::Text);
        m_coloursToChoose = {QColor(0x12, 0x34, 0x56)};
        m_app->commands().run(Command::BackColor);
        QCOMPARE(text->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));
        m_app->lifecycle().unload();
        QCOMPARE(Settings(m_dir->filePath("Kobin.ini"), appPath()).readString(settings::TextBackColor),
                 QString::number(0x563412)); // red in the low byte, as the settings always held it

        window()->setActivePane(Pane::Tree); // chosen, but not applied
        m_coloursToChoose = {QColor(Qt::yellow)};
        m_app->commands().run(Command::BackColor);
        QCOMPARE(m_colourDialogs, 2);
        QCOMPARE(text->palette().color(QPalette::Base), QColor(0x12, 0x34, 0x56));

        // A named custom colour colours the selection whichever pane has the focus.
        text->setPlainText("colour me");
        text->selectAll();
        QVERIFY(window()->menuAction(customColorCommand(2))->isVisible());
        window()->menuAction(customColorCommand(2))->trigger();
        QCOMPARE(text->textCursor().charFormat().foreground().color(), QColor(Qt::red));
    }

    void theFontWindowSetsTheSelectionsFontSizeAndColour()
    {
        startWith(QString());
        TextPane *text = window()->textPane();
        text->setPlainText("font me");
        text->selectAll();
        window()->setActivePane(Pane::Text);
        m_app->commands().run(Command::Font);
        auto *fonts = window()->findChild<QWidget *>("frmFont");
        QVERIFY(fonts && fonts->isVisible());
        QVERIFY(window()->menuAction(Command::Font)->isChecked());
        QVERIFY(window()->buttonAction(Command::Font)->isChecked());

        auto *sizes = fonts->findChild<QComboBox *>("cmbSize");
        QCOMPARE(sizes->count(), 16);
        emit sizes->activated(sizes->findText("14"));
        QCOMPARE(text->textCursor().charFormat().fontPointSize(), 14.0);
        fonts->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(fonts));
        fonts->findChild<QPushButton *>("picColor1")->click();
        QCOMPARE(text->textCursor().charFormat().foreground().color(), QColor(255, 0, 0));
        QTRY_COMPARE(QApplication::focusWidget(), text); // typing goes on in the note

        window()->setActivePane(Pane::Tree); // with the tree focused, nothing is applied
        emit sizes->activated(sizes->findText("72"));
        QCOMPARE(text->textCursor().charFormat().fontPointSize(), 14.0);

        m_app->commands().run(Command::Font); // closes, and remembers where it stood
        QVERIFY(!window()->menuAction(Command::Font)->isChecked());
        QTRY_VERIFY(!window()->findChild<QWidget *>("frmFont"));
        m_app->lifecycle().unload();
        QVERIFY(Settings(m_dir->filePath("Kobin.ini"), appPath()).contains(settings::FontLeft));
    }

    void optionsNameTheCustomColoursOfTheEditMenu()
    {
        startWith(QString());
        m_app->commands().run(Command::Options);
        auto *dialog = window()->findChild<QDialog *>("frmOptions");
        QVERIFY(dialog && dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QString("ｵﾌﾟｼｮﾝ"));
        const auto field = [&](const char *name) { return dialog->findChild<QWidget *>(name); };

        qobject_cast<QLineEdit *>(field("txtColorName1"))->setText("Sky");
        m_coloursToChoose = {QColor(0x33, 0x66, 0x99)};
        qobject_cast<QPushButton *>(field("cmdSelectColor1"))->click();
        qobject_cast<QPushButton *>(field("cmdApply"))->click(); // applied; the dialog stays
        QVERIFY(dialog->isVisible());
        QVERIFY(window()->menuAction(customColorCommand(0))->isVisible());
        QVERIFY(window()->menuAction(customColorCommand(2))->isVisible());
        QCOMPARE(window()->menuAction(customColorCommand(2))->text(), QString("Sky"));
        QVERIFY(!window()->menuAction(customColorCommand(1))->isVisible());
        {
            Settings stored(m_dir->filePath("Kobin.ini"), appPath());
            QCOMPARE(stored.readString(settings::colorName(1)), QString("Sky"));
            QCOMPARE(stored.readString(settings::colorName(0)), QString());
            QCOMPARE(stored.readString(settings::customColor(1)), QString::number(0x996633));
            QCOMPARE(stored.readString(settings::customColor(0)), settings::kButtonFaceColor); // never named
        }

        // A change not applied is dropped by Cancel.
        qobject_cast<QLineEdit *>(field("txtColorName1"))->clear();
        qobject_cast<QPushButton *>(field("cmdCancel"))->click();
        QTRY_VERIFY(!window()->findChild<QDialog *>("frmOptions"));
        QVERIFY(window()->menuAction(customColorCommand(2))->isVisible());

        // Clearing every name hides the separator too; and the next start shows what was applied.
        m_app->commands().run(Command::Options);
        dialog = window()->findChild<QDialog *>("frmOptions");
        QCOMPARE(qobject_cast<QLineEdit *>(dialog->findChild<QWidget *>("txtColorName1"))->text(), QString("Sky"));
        qobject_cast<QLineEdit *>(dialog->findChild<QWidget *>("txtColorName1"))->clear();
        qobject_cast<QPushButton *>(dialog->findChild<QWidget *>("cmdOK"))->click();
        QVERIFY(!window()->menuAction(customColorCommand(0))->isVisible());
        QVERIFY(!window()->menuAction(customColorCommand(2))->isVisible());
    }

    // Qt's own texts in Japanese, those its catalogue leaves out too (the file dialog's type column).
    void qtsOwnTextsAreJapanese()
    {
        {
            const QtTranslations translations;
            QCOMPARE(QFileIconProvider().type(QFileInfo(m_dir->path())), QString("フォルダ"));
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("キャンセル"));
        }
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QString("Cancel")); // removed with it
    }

    void dialogsOpenInTheMiddleOfTheMainWindow()
    {
        startWith(QString());
        window()->setGeometry(10, 20, 700, 500); // well away from the screen's middle
        window()->show();
        const QPoint middle = window()->frameGeometry().center();
        // Placed before it has a frame: it is centred to within the frame's width.
        const auto centred = [&](const QRect &frame) { return (frame.center() - middle).manhattanLength() <= 4; };
        m_app->commands().run(Command::Options);
        auto *options = window()->findChild<QDialog *>("frmOptions");
        QVERIFY(options && options->isVisible());
        QVERIFY(centred(options->frameGeometry()));
        options->close();
        tree().select(tree().item("a2")); // the book item has no items beside it
        const QRect naming = addTextItem("Ideas");
        QVERIFY(!naming.isEmpty());
        QVERIFY(centred(naming));
        m_app->commands().run(Command::Font); // the font window too, the first time
        auto *fonts = window()->findChild<QWidget *>("frmFont");
        QVERIFY(fonts && centred(fonts->frameGeometry()));
    }

    void theStatusBarNamesTheItemChosenInTheTree()
    {
        writeText(m_dir->path() + "/docs/diary.iis", "|0\\Diary=a1+root|\r\n");
        startWith(QString());
        window()->show();
        const StatusPanels *status = window()->statusPanels();
        TreePane *pane = window()->treePane();
        pane->setFocus();
        pane->setCurrentIndex(pane->itemModel().indexOf(tree().item("a2")));
        QCOMPARE(status->text(), QString("Folder"));
        QTest::keyClick(pane, Qt::Key_F2);
        auto *editor = pane->findChild<QLineEdit *>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Plans");
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_COMPARE(status->text(), QString("Plans"));

        addTextItem("Ideas");
        QCOMPARE(status->text(), QString("Ideas"));

        m_prompter.answers = {PromptAnswer::No, PromptAnswer::No}; // the changes are let go
        m_app->commands().run(Command::FileNew);
        QCOMPARE(status->text(), QString("新規ブック"));
        m_dialogs.answers = {m_dir->path() + "/docs/diary.iis"};
        m_app->commands().run(Command::FileOpen);
        QCOMPARE(window()->windowTitle(), "BOOK - " + m_dir->path() + "/docs/diary.iis");
        QCOMPARE(status->text(), QString("Diary"));
    }

    void theTextPaneOffersTheEditMenu()
    {
        startWith(QString());
        QList<QAction *> shown;
        QTimer::singleShot(0, this, [&] {
            if (auto *menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())) {
                shown = menu->actions();
                menu->close();
            }
        });
        TextPane *text = window()->textPane();
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), text->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(text->viewport(), &event);
        const QMenu *edit = window()->findChild<QMenu *>("mnuEdit");
        QVERIFY(edit);
        QVERIFY(!edit->actions().isEmpty());
        for (QAction *action : edit->actions())
            QVERIFY2(shown.contains(action), qPrintable(action->text()));
    }

    void editMenuDeleteActsOnTheTextPaneOnly()
    {
        startWith(QString());
        TextPane *text = window()->textPane();
        text->setPlainText("keep this, drop that");
        QTextCursor cursor = text->textCursor();
        cursor.setPosition(10);
        cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
        text->setTextCursor(cursor);
        tree().select(tree().item("a2"));
        window()->setActivePane(Pane::Tree);
        window()->menuAction(Command::EditDelete)->trigger();
        QCOMPARE(tree().count(), 3); // never an item
        QCOMPARE(text->toPlainText(), QString("keep this, drop that"));
        window()->setActivePane(Pane::Text);
        window()->menuAction(Command::EditDelete)->trigger();
        QCOMPARE(text->toPlainText(), QString("keep this,"));
        QCOMPARE(tree().count(), 3);
    }

    void theBookOutlivesItsWindow()
    {
        Book book(appPath());
        book.startNew(false);
        CommandRegistry commands;
        CommandState state(commands);
        auto window = std::make_unique<MainWindow>(book.tree(), book.editor(), state);
        window->treePane()->expandAllItems();
        window.reset();
        // The tree pane has let go of the tree: changing it now reaches no view.
        QVERIFY(book.tree().add("a1", Relationship::Child, "a2", "After the window", "richtxt"));
        QCOMPARE(book.tree().count(), 2);
    }

    void viewTogglesHideAndShowTheirParts()
    {
        startWith(QString());
        window()->menuAction(Command::ViewTree)->trigger();
        QVERIFY(!window()->treePane()->isVisibleTo(window()));
        QVERIFY(!window()->menuAction(Command::ViewTree)->isChecked());
        QCOMPARE(window()->workspace()->lastLayout().tabStrip.left, 0.0f);
        window()->menuAction(Command::ViewToolbar)->trigger();
        QVERIFY(!window()->toolBar()->isVisibleTo(window()));
        window()->menuAction(Command::ViewTree)->trigger();
        QVERIFY(window()->treePane()->isVisibleTo(window()));
        QCOMPARE(window()->workspace()->lastLayout().tabStrip.left, 2030.0f);
    }

    void draggingTheTreeSplitterWithTheMouse()
    {
        startWith(QString());
        auto *grip = window()->workspace()->findChild<QWidget *>("imgSplitter");
        QVERIFY(grip);
        const TwipsScale scale = TwipsScale::of(window());
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QVERIFY(window()->workspace()->isDragging());
        QMouseEvent move(QEvent::MouseMove, QPointF(-grip->x() - 50, 10), grip->mapToGlobal(QPointF(-grip->x() - 50, 10)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grip, &move);
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QVERIFY(!window()->workspace()->isDragging());
        QCOMPARE(window()->workspace()->treeWidth(), 60.0f); // no narrower than 60 twips
        // Press and release without moving: the tree widens by the splitter's width.
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QCOMPARE(window()->workspace()->treeWidth(), 90.0f);
        Q_UNUSED(scale);
    }

    void activePaneFollowsTheFocus()
    {
        startWith(QString());
        window()->activateWindow();
        window()->treePane()->setFocus();
        QTRY_COMPARE(window()->activePane(), Pane::Tree);
        window()->textPane()->setFocus();
        QTRY_COMPARE(window()->activePane(), Pane::Text);
    }

    void customisedToolbarIsKeptAndRestored()
    {
        startWith(QString());
        QStringList saved;
        connect(window(), &MainWindow::toolbarLayoutChanged, this,
                [&](const QStringList &layout) { saved = layout; });
        ToolbarCustomizeDialog dialog(window()->toolbarLayout());
        connect(&dialog, &ToolbarCustomizeDialog::layoutChanged, window(), &MainWindow::setToolbarLayout);
        dialog.removeSelected(); // the leading separator
        dialog.removeSelected(); // "save"
        QCOMPARE(window()->toolbarLayout().first(), QString("-"));
        QVERIFY(!window()->toolbarLayout().contains("save"));
        QCOMPARE(saved, window()->toolbarLayout());
        QVERIFY(!window()->toolBar()->actions().contains(window()->buttonAction(Command::FileSave)));
        dialog.moveSelected(1);
        dialog.reset();
        QCOMPARE(window()->toolbarLayout().size(), 36);
    }

    void helpCommandsDoNothingWithoutTheHelpFile()
    {
        startWith(QString());
        ShellCommands commands(*window(), m_app->commands(), appPath(), [](const QUrl &) {});
        QVERIFY(!commands.showHelpContents());
        QVERIFY(!commands.showHelpSearch());
    }

    void helpOpensOnItsContentsAndItsKeywords()
    {
        QVERIFY(QFile::copy(KOBIN_HELP_FILE, appPath() + "kobin.qch"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->path() + "/cache"));
        startWith(QString());
        ShellCommands commands(*window(), m_app->commands(), appPath(), [](const QUrl &) {});
        QVERIFY(commands.showHelpContents());
        QTextBrowser *page = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            page = page ? page : top->findChild<QTextBrowser *>();
        QVERIFY(page);
        QVERIFY(page->toPlainText().contains("Kobin"));
        QVERIFY(commands.showHelpSearch());
        // Esc and Ctrl+W close it.
        for (const QKeyCombination keys : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
            QVERIFY(commands.showHelpContents());
            QWidget *help = page->window();
            help->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(help));
            QTest::keyClick(help, keys.key(), keys.keyboardModifiers());
            QVERIFY(!help->isVisible());
        }
    }

    void aPageThatNeverFinishesLoadingLocksTheTreeForABoundedTimeOnly()
    {
        startWith(QString());
        constexpr int longestLock = 200;
        MainWindowStatus status(*window(), longestLock);
        status.setTreeEnabled(false); // a page began to load and never reports its end
        QVERIFY(!window()->treePane()->isEnabled());
        // Well before the real bound, which a lock that ignored the one given would keep.
        QTRY_VERIFY_WITH_TIMEOUT(window()->treePane()->isEnabled(), MainWindowStatus::kLongestTreeLockMilliseconds / 2);
    }

    void closingTheWindowClosesEveryWindowOfTheProgram()
    {
        QVERIFY(QFile::copy(KOBIN_HELP_FILE, appPath() + "kobin.qch"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->path() + "/cache"));
        startWith(QString());
        window()->show();
        m_app->commands().run(Command::HelpContents);
        m_app->commands().run(Command::Font);
        const auto visibleWindows = [] {
            QStringList shown;
            for (QWidget *top : QApplication::topLevelWidgets())
                if (top->isVisible())
                    shown << top->objectName();
            return shown;
        };
        QVERIFY2(visibleWindows().size() == 3, qPrintable(visibleWindows().join(", ")));
        QVERIFY(window()->close());
        // Nothing is left to keep the program running once its window is gone.
        QCOMPARE(visibleWindows(), QStringList());
    }
};

QTEST_MAIN(TestKobinApp)
#include "tst_kobinapp.moc"
