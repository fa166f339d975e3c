#include "BookSession.h"
#include "BrowserPane.h"
#include "FakePrompter.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "Settings.h"
#include "ShellCommands.h"
#include "Splash.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "ToolbarCustomizeDialog.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolBar>
#include <QtTest>

using namespace kobin;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

} // namespace

class TestMainWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    BookSession m_session;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Settings> m_settings;
    FakePrompter m_prompter;

    QString appPath() const { return m_dir->path() + "/app/"; }

    void startWith(const QString &commandLine)
    {
        m_session = BookSession();
        m_session.appPath = appPath();
        m_window = std::make_unique<MainWindow>(m_session);
        Lifecycle lifecycle(*m_window, *m_settings, m_prompter);
        Splash splash;
        lifecycle.load(commandLine, splash);
    }

    void stop()
    {
        Lifecycle(*m_window, *m_settings, m_prompter).unload();
        m_window.reset();
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_settings = std::make_unique<Settings>(m_dir->filePath("Kobin.ini"), appPath());
        m_prompter = FakePrompter();
        writeBytes(appPath() + "sample.iis", "|0\\Sample=a1+root|a1\\Folder=a2+fclose|a2\\Page=a3+htmlfile|\r\n");
        writeBytes(appPath() + "sample/a1.rtf", "{\\rtf1\\ansi Book note\\par}");
        writeBytes(appPath() + "temp/left-over.rtf", "from a run that crashed");
    }

    void firstStartOpensTheSampleBook()
    {
        startWith(QString());
        QVERIFY(m_prompter.prompts.isEmpty());
        QCOMPARE(m_session.bookPath, appPath() + "sample.iis");
        QCOMPARE(m_session.bookName, QString("sample"));
        QCOMPARE(m_window->windowTitle(), QString("BOOK - ") + (appPath() + "sample.iis").toUpper());
        QCOMPARE(m_window->textPane()->toPlainText(), QString("Book note"));
        QCOMPARE(m_window->statusPanels()->text(), QString("Sample"));
        QCOMPARE(m_window->tree().selectedItem()->key(), QString("a1"));
        QVERIFY(m_window->tree().item("a2")->isExpanded());
        QVERIFY(!QFile::exists(appPath() + "temp/left-over.rtf"));
        QVERIFY(QFile::exists(appPath() + "temp/a1.rtf"));
        QVERIFY(!m_session.loading);
        const TwipsScale scale = TwipsScale::of(m_window.get());
        QCOMPARE(m_window->geometry(), scale.rect({300, 500, 11500, 7000}));
        QCOMPARE(m_window->workspace()->treeWidth(), 2000.0f);
        QCOMPARE(m_window->workspace()->tabKeys(), QStringList({"text"}));
    }

    void missingBookStartsANewOne()
    {
        startWith(m_dir->path() + "/elsewhere/my.book.iis");
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(m_prompter.prompts[0].text, m_dir->path() + "/elsewhere/my.book.iis\n が見つかりません。");
        QCOMPARE(m_session.bookPath, QString());
        QCOMPARE(m_window->tree().count(), 1);
        QCOMPARE(m_window->tree().item("a1")->text(), QString("新規ブック"));
        QCOMPARE(m_window->windowTitle(), QString("BOOK - 新規ブック"));
        // A new book leaves the remembered book alone at exit.
        m_settings->write(settings::Book, "/remembered.iis");
        stop();
        QCOMPARE(m_settings->readString(settings::Book), QString("/remembered.iis"));
    }

    void exitWritesEveryValueAndTheNextStartRestoresThem()
    {
        startWith(QString());
        m_window->workspace()->sizeControls(2600, 3720, 1080);
        m_window->menuAction("mnuViewStatusBar")->trigger();
        QVERIFY(!m_window->statusPanels()->isVisible());
        m_window->showMaximized();
        stop();
        QCOMPARE(m_settings->readString(settings::WindowState), QString("2"));
        QCOMPARE(m_settings->readString(settings::TreeWidth), QString("2600"));
        QCOMPARE(m_settings->readString(settings::StatusBarVisible), QString("False"));
        QCOMPARE(m_settings->readString(settings::TreeVisible), QString("True"));
        QCOMPARE(m_settings->readString(settings::MainLeft), QString("300"));
        QCOMPARE(m_settings->readString(settings::MainWidth), QString("11500")); // not rounded through pixels
        QCOMPARE(m_settings->readString(settings::recentFile(1)), appPath() + "sample.iis");

        startWith(QString());
        QVERIFY(m_window->isMaximized());
        QVERIFY(!m_window->menuAction("mnuViewStatusBar")->isChecked());
        QCOMPARE(m_window->workspace()->treeWidth(), 2600.0f);
        QVERIFY(m_window->menuAction("mnuRecentFile(1)")->isVisible());
        QCOMPARE(m_window->menuAction("mnuRecentFile(1)")->text(), appPath() + "sample.iis");
        QVERIFY(!m_window->menuAction("mnuRecentFile(2)")->isVisible());
    }

    void windowOffEveryScreenComesBackToTheFirstStartPlace()
    {
        m_settings->write(settings::MainLeft, "100000");
        m_settings->write(settings::MainTop, "hand-edited");
        startWith(QString());
        const TwipsScale scale = TwipsScale::of(m_window.get());
        QCOMPARE(m_window->geometry(), scale.rect({300, 500, 11500, 7000}));
    }

    void choosingAnItemWithTheKeyboardCountsAsAClick()
    {
        startWith(QString());
        QStringList clicked;
        connect(m_window->treePane(), &TreePane::itemClicked, this,
                [&](TreeItem *item) { clicked << item->key(); });
        m_window->tree().select(m_window->tree().item("a2")); // by program: no click
        QVERIFY(clicked.isEmpty());
        QCOMPARE(m_window->treePane()->currentIndex().data().toString(), QString("Folder"));
        m_window->treePane()->setFocus();
        QTest::keyClick(m_window->treePane(), Qt::Key_Down);
        QCOMPARE(clicked, QStringList({"a3"}));
        QCOMPARE(m_window->tree().selectedItem()->key(), QString("a3"));
    }

    void commandStateFollowsTheItemKind()
    {
        startWith(QString());
        QVERIFY(!m_window->buttonAction("up")->isEnabled());
        QVERIFY(!m_window->menuAction("mnuEqualHtml")->isEnabled());
        QVERIFY(m_window->buttonAction("newfolder")->isEnabled());
        m_window->updateCommandState("html");
        QCOMPARE(m_window->workspace()->tabKeys(), QStringList({"html", "text", "updown", "leftright"}));
        QCOMPARE(m_window->workspace()->selectedTab(), QString("html"));
        QVERIFY(m_window->browserPane()->isVisibleTo(m_window.get()));
        QVERIFY(!m_window->textPane()->isVisibleTo(m_window.get()));
        QVERIFY(!m_window->buttonAction("back")->isEnabled());
        QVERIFY(m_window->menuAction("mnuRenew")->isEnabled());
        m_window->updateCommandState("f");
        QCOMPARE(m_window->workspace()->tabKeys(), QStringList({"text"}));
        QVERIFY(m_window->textPane()->isVisibleTo(m_window.get()));
        QVERIFY(m_window->buttonAction("up")->isEnabled());
        QVERIFY(!m_window->browserPane()->hasEngine()); // the web engine waits for a page
    }

    void toolbarButtonsRunTheirCommands()
    {
        startWith(QString());
        QStringList ran;
        m_window->bind("mnuFileSave", [&] { ran << "save"; });
        m_window->bind("mnuFileSaveAs", [&] { ran << "saveAs"; });
        m_window->bind("mnuBold", [&] { throw std::runtime_error("a failing command"); });
        m_window->buttonAction("save")->trigger();
        m_session.bookPath.clear();
        m_window->buttonAction("save")->trigger();
        m_window->buttonAction("bold")->trigger(); // the failure stays inside the click
        m_window->runToolbarButton("nothing");
        QCOMPARE(ran, QStringList({"save", "saveAs"}));
    }

    void viewTogglesHideAndShowTheirParts()
    {
        startWith(QString());
        m_window->menuAction("mnuViewTreeView")->trigger();
        QVERIFY(!m_window->treePane()->isVisibleTo(m_window.get()));
        QVERIFY(!m_window->menuAction("mnuViewTreeView")->isChecked());
        QCOMPARE(m_window->workspace()->lastLayout().tabStrip.left, 0.0f);
        m_window->menuAction("mnuViewToolbar")->trigger();
        QVERIFY(!m_window->toolBar()->isVisibleTo(m_window.get()));
        m_window->menuAction("mnuViewTreeView")->trigger();
        QVERIFY(m_window->treePane()->isVisibleTo(m_window.get()));
        QCOMPARE(m_window->workspace()->lastLayout().tabStrip.left, 2030.0f);
    }

    void draggingTheTreeSplitterWithTheMouse()
    {
        startWith(QString());
        auto *grip = m_window->workspace()->findChild<QWidget *>("imgSplitter");
        QVERIFY(grip);
        const TwipsScale scale = TwipsScale::of(m_window.get());
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QVERIFY(m_window->workspace()->isDragging());
        QMouseEvent move(QEvent::MouseMove, QPointF(-grip->x() - 50, 10), grip->mapToGlobal(QPointF(-grip->x() - 50, 10)),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(grip, &move);
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QVERIFY(!m_window->workspace()->isDragging());
        QCOMPARE(m_window->workspace()->treeWidth(), 60.0f); // no narrower than 60 twips
        // Press and release without moving: the tree widens by the splitter's width.
        QTest::mousePress(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QTest::mouseRelease(grip, Qt::LeftButton, {}, QPoint(1, 10));
        QCOMPARE(m_window->workspace()->treeWidth(), 90.0f);
        Q_UNUSED(scale);
    }

    void activePaneFollowsTheFocus()
    {
        startWith(QString());
        m_window->activateWindow();
        m_window->treePane()->setFocus();
        QTRY_COMPARE(m_window->activePane(), QString("tree"));
        m_window->textPane()->setFocus();
        QTRY_COMPARE(m_window->activePane(), QString("text"));
    }

    void customisedToolbarIsKeptAndRestored()
    {
        startWith(QString());
        QStringList saved;
        connect(m_window.get(), &MainWindow::toolbarLayoutChanged, this,
                [&](const QStringList &layout) { saved = layout; });
        ToolbarCustomizeDialog dialog(m_window->toolbarLayout());
        connect(&dialog, &ToolbarCustomizeDialog::layoutChanged, m_window.get(), &MainWindow::setToolbarLayout);
        dialog.removeSelected(); // the leading separator
        dialog.removeSelected(); // "save"
        QCOMPARE(m_window->toolbarLayout().first(), QString("-"));
        QVERIFY(!m_window->toolbarLayout().contains("save"));
        QCOMPARE(saved, m_window->toolbarLayout());
        QVERIFY(!m_window->toolBar()->actions().contains(m_window->buttonAction("save")));
        dialog.moveSelected(1);
        dialog.reset();
        QCOMPARE(m_window->toolbarLayout().size(), 36);
    }

    void helpCommandsDoNothingWithoutTheHelpFile()
    {
        startWith(QString());
        ShellCommands commands(*m_window, [](const QUrl &) {});
        QVERIFY(!commands.showHelpContents());
        QVERIFY(!commands.showHelpSearch());
    }

    void helpOpensOnItsContentsAndItsKeywords()
    {
        QVERIFY(QFile::copy(KOBIN_HELP_FILE, appPath() + "kobin.qch"));
        qputenv("XDG_CACHE_HOME", QFile::encodeName(m_dir->path() + "/cache"));
        startWith(QString());
        ShellCommands commands(*m_window, [](const QUrl &) {});
        QVERIFY(commands.showHelpContents());
        QTextBrowser *page = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            page = page ? page : top->findChild<QTextBrowser *>();
        QVERIFY(page);
        QVERIFY(page->toPlainText().contains("Kobin"));
        QVERIFY(commands.showHelpSearch());
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
