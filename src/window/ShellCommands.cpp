#include "ShellCommands.h"

#include "AboutBox.h"
#include "CommandRegistry.h"
#include "HelpWindow.h"
#include "Icons.h"
#include "MainWindow.h"
#include "ScreenPlacement.h"
#include "ToolbarCustomizeDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kobin {

ShellCommands::ShellCommands(MainWindow &window, CommandRegistry &commands, const QString &appPath, UrlOpener openUrl)
    : m_window(window), m_appPath(appPath), m_openUrl(std::move(openUrl))
{
    commands.bind(Command::HelpContents, [this] { showHelpContents(); });
    commands.bind(Command::HelpSearch, [this] { showHelpSearch(); });
    commands.bind(Command::HelpAbout, [this] { showAbout(); });
    commands.bind(Command::CustomizeToolbar, [this] { customizeToolbar(); });
}

ShellCommands::~ShellCommands() = default;

QString ShellCommands::helpFile() const
{
    return m_appPath + QStringLiteral("kobin.qch");
}

HelpWindow *ShellCommands::helpWindow()
{
    if (!QFileInfo::exists(helpFile()))
        return nullptr;
    if (!m_help) {
        const QString cache = QStandardPaths::writableLocation(QStandardPaths::CacheLocation);
        QDir().mkpath(cache);
        m_help = std::make_unique<HelpWindow>(helpFile(), cache + QStringLiteral("/kobin.qhc"));
        placeBeside(*m_help, m_window); // not over the text the help is about; moved later, it stays put
    }
    return m_help->isReady() ? m_help.get() : nullptr;
}

bool ShellCommands::showHelpContents()
{
    HelpWindow *help = helpWindow();
    if (help)
        help->showContents();
    return help != nullptr;
}

bool ShellCommands::showHelpSearch()
{
    HelpWindow *help = helpWindow();
    if (help)
        help->showKeywordSearch();
    return help != nullptr;
}

void ShellCommands::showAbout()
{
    AboutBox box(m_window.windowIcon(), m_openUrl, &m_window);
    box.exec();
}

void ShellCommands::customizeToolbar()
{
    ToolbarCustomizeDialog dialog(m_window.toolbarLayout(), &m_window);
    QObject::connect(&dialog, &ToolbarCustomizeDialog::layoutChanged, &m_window, &MainWindow::setToolbarLayout);
    dialog.exec();
}

} // namespace kobin
