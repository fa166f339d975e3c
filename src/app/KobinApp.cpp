#include "KobinApp.h"

#include "BookStore.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "Settings.h"
#include "ShellCommands.h"
#include "Splash.h"
#include "ToolbarLayout.h"

#include <QApplication>
#include <QDesktopServices>

namespace kobin {

KobinApp::KobinApp(const QString &appPath, std::unique_ptr<Settings> settings, bool unattended)
    : m_settings(std::move(settings))
{
    m_session.appPath = appPath;
    m_window = std::make_unique<MainWindow>(m_session);
    m_prompter = std::make_unique<MessageBoxPrompter>(m_window.get(), unattended);
    m_lifecycle = std::make_unique<Lifecycle>(*m_window, *m_settings, *m_prompter);
    m_window->setCloseRequest([this] {
        emptyWorkingFolder(m_session);
        return true;
    });
    m_window->setUnloadHandler([this] { m_lifecycle->unload(); });
    bindCommands();
}

KobinApp::~KobinApp() = default;

void KobinApp::bindCommands()
{
    m_shellCommands = std::make_unique<ShellCommands>(*m_window, [](const QUrl &url) { QDesktopServices::openUrl(url); });
    QObject::connect(m_window.get(), &MainWindow::toolbarLayoutChanged, m_window.get(),
                     [this](const QStringList &layout) {
                         m_settings->write(settings::ToolbarLayout, toolbarlayout::toText(layout));
                     });
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
