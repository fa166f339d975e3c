#pragma once

#include <QString>
#include <functional>
#include <memory>

class QUrl;

namespace kobin {

class CommandRegistry;
class HelpWindow;
class MainWindow;

// The shell's own commands: help contents and keyword search, the version box,
// and the toolbar's customise dialog.
class ShellCommands
{
public:
    using UrlOpener = std::function<void(const QUrl &)>;

    // Binds its commands in commands; the help file lies in appPath.
    ShellCommands(MainWindow &window, CommandRegistry &commands, const QString &appPath, UrlOpener openUrl);
    ~ShellCommands();

    // The help file beside the program; without it both help commands do nothing.
    QString helpFile() const;
    bool showHelpContents();
    bool showHelpSearch();
    void showAbout();
    void customizeToolbar();

private:
    HelpWindow *helpWindow();

    MainWindow &m_window;
    QString m_appPath;
    UrlOpener m_openUrl;
    std::unique_ptr<HelpWindow> m_help;
};

} // namespace kobin
