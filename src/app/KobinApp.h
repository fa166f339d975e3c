#pragma once

#include "AppPath.h"
#include "Book.h"
#include "CommandRegistry.h"
#include "CommandState.h"

#include <QColor>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

namespace kobin {

namespace capture {
class PageCapturer;
}
namespace search {
class FindCommands;
}
class BookCommands;
class BookSearch;
class ColourCommands;
class CrashRecovery;
class BrowserPageView;
class FileDialogs;
class ItemDisplay;
class Lifecycle;
class MainWindow;
class MainWindowStatus;
class PageNavigation;
class PageSourceEditing;
class RecentBooksMenu;
class SelectedCaptionStatus;
class ShownSourceButton;
class Prompter;
class Settings;
class ShellCommands;
class TextCommands;
class TextPaneNotes;
class TextEditHistory;
class TreeCommands;
class TreeEditHistory;
class UndoRedo;
class DialogItemNamer;
class DialogVersionChooser;
class EarlierVersions;
class DialogPageReferrer;
class DialogCaptureAsker;
class PageCapture;
class WorkspaceArrangement;

// Puts the program together: the open book first, so that it outlives the
// window; the command registry; the main window; and the areas that bind their
// commands and events, each built after everything it uses.
class KobinApp
{
public:
    // Message boxes, file dialogs and the colour dialog are the real ones unless given.
    using ColourChooser = std::function<std::optional<QColor>(const QColor &initial)>;
    KobinApp(const ProgramFolders &folders, std::unique_ptr<Settings> settings, bool unattended,
             Prompter *prompter = nullptr, FileDialogs *dialogs = nullptr, ColourChooser chooseColour = {});
    ~KobinApp();

    void start(const QString &commandLine);
    MainWindow &window() { return *m_window; }
    Book &book() { return m_book; }
    CommandRegistry &commands() { return m_commands; }
    CommandState &commandState() { return m_commandState; }
    Lifecycle &lifecycle() { return *m_lifecycle; }
    TreeCommands &treeCommands() { return *m_treeCommands; }
    CrashRecovery &recovery() { return *m_recovery; }
    BookSearch &search() { return *m_search; }

private:
    void bindBookCommands();
    void bindPageCommands();
    void bindTreeCommands();
    void bindEditCommands();
    void bindSearch();
    void bindCapture();

    Book m_book;
    CommandRegistry m_commands;
    CommandState m_commandState{m_commands};
    std::unique_ptr<Settings> m_settings;
    std::unique_ptr<MainWindow> m_window;
    std::unique_ptr<Prompter> m_ownPrompter;
    std::unique_ptr<FileDialogs> m_ownDialogs;
    Prompter *m_prompter;
    FileDialogs *m_dialogs;
    std::unique_ptr<TextPaneNotes> m_notes;
    std::unique_ptr<BrowserPageView> m_page;
    std::unique_ptr<WorkspaceArrangement> m_arrangement;
    std::unique_ptr<MainWindowStatus> m_status;
    std::unique_ptr<SelectedCaptionStatus> m_selectedCaption;
    std::unique_ptr<ItemDisplay> m_display;
    std::unique_ptr<RecentBooksMenu> m_recentBooks;
    std::unique_ptr<BookCommands> m_bookCommands;
    std::unique_ptr<PageNavigation> m_navigation;
    std::unique_ptr<ShownSourceButton> m_sourceButton;
    std::unique_ptr<PageSourceEditing> m_sourceEditing;
    std::unique_ptr<DialogItemNamer> m_namer;
    std::unique_ptr<DialogPageReferrer> m_referrer;
    std::unique_ptr<TreeCommands> m_treeCommands;
    std::unique_ptr<CrashRecovery> m_recovery;
    std::unique_ptr<Lifecycle> m_lifecycle;
    std::unique_ptr<DialogVersionChooser> m_versionChooser;
    std::unique_ptr<EarlierVersions> m_earlierVersions;
    std::unique_ptr<ColourCommands> m_colourCommands;
    std::unique_ptr<ShellCommands> m_shellCommands;
    std::unique_ptr<TextCommands> m_textCommands;
    std::unique_ptr<TreeEditHistory> m_treeHistory;
    std::unique_ptr<TextEditHistory> m_textHistory;
    std::unique_ptr<UndoRedo> m_undoRedo;
    std::unique_ptr<search::FindCommands> m_findCommands;
    std::unique_ptr<BookSearch> m_search;
    std::unique_ptr<DialogCaptureAsker> m_captureAsker;
    std::unique_ptr<capture::PageCapturer> m_capturer;
    std::unique_ptr<PageCapture> m_pageCapture;
};

} // namespace kobin
