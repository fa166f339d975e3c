#pragma once

#include "BookSession.h"

#include <QString>
#include <memory>

namespace kobin {

class Lifecycle;
class MainWindow;
class MessageBoxPrompter;
class Settings;
class ShellCommands;

// Puts the program together: the settings store, the main window, the prompts,
// and the commands each area binds.
class KobinApp
{
public:
    KobinApp(const QString &appPath, std::unique_ptr<Settings> settings, bool unattended);
    ~KobinApp();

    void start(const QString &commandLine);
    MainWindow &window() { return *m_window; }

private:
    void bindCommands();

    BookSession m_session;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<MessageBoxPrompter> m_prompter;
    std::unique_ptr<Lifecycle> m_lifecycle;
    std::unique_ptr<ShellCommands> m_shellCommands;
};

} // namespace kobin
