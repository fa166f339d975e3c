#include "KobinApp.h"

#include "BookCommands.h"
#include "BrowserPane.h"
#include "Commands.h"
#include "ImageKeys.h"
#include "ItemDisplay.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "MainWindowBookView.h"
#include "MessageBoxPrompter.h"
#include "QtFileDialogs.h"
#include "Settings.h"
#include "ShellCommands.h"
#include "Splash.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "ToolbarLayout.h"
#include "TreePane.h"

#include <QAction>
#include <QApplication>
#include <QDesktopServices>
#include <QTimer>

namespace kobin {

KobinApp::KobinApp(const QString &appPath, std::unique_ptr<Settings> settings, bool unattended)
    : m_settings(std::move(settings))
{
    m_session.appPath = appPath;
    m_window = std::make_unique<MainWindow>(m_session);
    m_prompter = std::make_unique<MessageBoxPrompter>(m_window.get(), unattended);
    m_dialogs = std::make_unique<QtFileDialogs>(m_window.get());
    m_bookView = std::make_unique<MainWindowBookView>(*m_window);
    m_lifecycle = std::make_unique<Lifecycle>(*m_window, *m_settings, *m_prompter);
    m_display = std::make_unique<ItemDisplay>(m_session, m_window->tree(), *m_bookView, *m_prompter);
    m_bookCommands = std::make_unique<BookCommands>(BookCommands::Services{
        m_session, m_window->tree(), *m_bookView, *m_window->textPane(), *m_display, *m_prompter, *m_dialogs,
        [this](const QString &path) { m_lifecycle->addRecentFile(path); }});
    m_window->setCloseRequest([this] { return m_bookCommands->closeRequest(); });
    m_window->setUnloadHandler([this] { m_lifecycle->unload(); });
    bindShellCommands();
    bindBookCommands();
    bindBrowser();
}

KobinApp::~KobinApp() = default;

void KobinApp::bindShellCommands()
{
    m_shellCommands = std::make_unique<ShellCommands>(*m_window, [](const QUrl &url) { QDesktopServices::openUrl(url); });
    QObject::connect(m_window.get(), &MainWindow::toolbarLayoutChanged, m_window.get(),
                     [this](const QStringList &layout) {
                         m_settings->write(settings::ToolbarLayout, toolbarlayout::toText(layout));
                     });
}

void KobinApp::bindBookCommands()
{
    MainWindow &window = *m_window;
    BookCommands &book = *m_bookCommands;
    window.bind(QStringLiteral("mnuFileNew"), [&book] { book.newBook(); });
    window.bind(QStringLiteral("mnuFileOpen"), [&book] { book.openBook(); });
    window.bind(QStringLiteral("mnuFileSave"), [&book] { book.save(); });
    window.bind(QStringLiteral("mnuFileSaveAs"), [&book] { book.saveAs(); });
    for (int i = 1; i < kRecentFileMenuElements; ++i) {
        const QString id = recentFileMenuId(i);
        window.bind(id, [&window, &book, id] { book.openRecentBook(window.menuAction(id)->text()); });
    }
    QObject::connect(window.treePane(), &TreePane::itemClicked, &window,
                     [this](TreeItem *item) { m_display->showItem(item); });
    QObject::connect(window.textPane(), &QTextEdit::textChanged, &window, [&book] { book.textChanged(); });
}

void KobinApp::bindBrowser()
{
    MainWindow &window = *m_window;
    BrowserPane *browser = window.browserPane();
    QObject::connect(browser, &BrowserPane::navigationStarting, &window,
                     [this](const QUrl &url) { m_display->switchPageText(url.toString()); });
    QObject::connect(browser, &BrowserPane::statusTextChanged, &window,
                     [&window](const QString &text) { window.statusPanels()->setText(text); });
    // Back and forward keep the tree still until the page has loaded.
    const auto move = [&window, browser](bool back) {
        const TreeItem *selected = window.tree().selectedItem();
        if (selected && selected->image() == images::HtmlFile) {
            window.treePane()->setEnabled(false);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }
        if (back)
            browser->goBack();
        else
            browser->goForward();
        window.pageTimer()->start();
    };
    window.bind(QStringLiteral("mnuBack"), [move] { move(true); });
    window.bind(QStringLiteral("mnuFoward"), [move] { move(false); });
    window.bind(QStringLiteral("mnuRenew"), [browser] { browser->reload(); });
}

void KobinApp::start(const QString &commandLine)
{
    Splash splash;
    splash.centreOnScreen();
    splash.show();
    QApplication::processEvents();
    m_lifecycle->load(commandLine, splash);
}

} // namespace kobin
