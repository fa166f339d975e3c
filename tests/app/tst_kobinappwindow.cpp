#include "CommandState.h"
#include "KobinAppFixture.h"
#include "PaneAdapters.h"
#include "QtTranslations.h"
#include "ShellCommands.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "ToolbarCustomizeDialog.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QAction>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFile>
#include <QFileIconProvider>
#include <QMenu>
#include <QPushButton>
#include <QTextBrowser>
#include <QTextCursor>
#include <QtTest>

using namespace kobin;

// The window: the text pane's colours and fonts, the options, menus, dialogs, the status bar,
// the panes' layout, the toolbar, help and closing.
class TestKobinAppWindow : public QObject, protected KobinAppFixture
{
    Q_OBJECT

private slots:
    void init() { setUp(); }
    void cleanup() { m_app.reset(); }

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

QTEST_MAIN(TestKobinAppWindow)
#include "tst_kobinappwindow.moc"
