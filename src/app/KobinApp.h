#pragma once

#include "BookSession.h"

#include <QString>
#include <memory>

namespace kobin {

class BookCommands;
class ItemDisplay;
class Lifecycle;
class MainWindow;
class MainWindowBookView;
class MessageBoxPrompter;
class QtFileDialogs;
class Settings;
class ShellCommands;

// Puts the program together: the settings store, the main window, the prompts
// and dialogs, and the commands each area binds.
class KobinApp
{
public:
    KobinApp(const QString &appPath, std::unique_ptr<Settings> settings, bool unattended);
    ~KobinApp();

    void start(const QString &commandLine);
    MainWindow &window() { return *m_window; }

private:
    void bindShellCommands();
    void bindBookCommands();
    void bindBrowser();

    BookSession m_session;
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<MessageBoxPrompter> m_prompter;
    std::unique_ptr<QtFileDialogs> m_dialogs;
    std::unique_ptr<MainWindowBookView> m_bookView;
    std::unique_ptr<Lifecycle> m_lifecycle;
    std::unique_ptr<ShellCommands> m_shellCommands;
    std::unique_ptr<ItemDisplay> m_display;
    std::unique_ptr<BookCommands> m_bookCommands;
};

} // namespace kobin
