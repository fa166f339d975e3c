#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace kobin {

// Every command of the program, whether a menu item, a toolbar button or both
// reach it. Handlers are bound by these values, never by name.
enum class Command {
    // ﾌｧｲﾙ
    FileNew, FileOpen, FileSave, FileSaveAs, OpenEarlierVersion, ExportHtml, ImportCollection,
    RecentFile0, RecentFile1, RecentFile2, RecentFile3, RecentFile4, RecentFile5,
    RecentFile6, RecentFile7, RecentFile8, RecentFile9, RecentFile10,
    FileClose,
    // 編集
    EditUndo, EditRedo, EditCut, EditCopy, EditPaste, EditDelete,
    CustomColor0, CustomColor1, CustomColor2, CustomColor3, CustomColor4, CustomColor5,
    EditSelectAll,
    // ﾂﾘｰ
    NewFolderBeside, NewTextBeside, NewHomepageBeside,
    NewChildFolder, NewChildText, NewChildHomepage,
    RenameItem, DeleteItem, MoveUp, MoveDown, MoveLeft, MoveRight, ChangePageReference, RepairLinks,
    CaptureHomepage,
    // ﾃｷｽﾄ
    TextOpen, Find, FindNext, FindPrevious, FindInBook, Font, BackColor, Bold, Italic, Underline,
    AlignLeft, AlignCenter, AlignRight, Bullets, Numbering, InsertDate, InsertTime, InsertLink,
    InsertTable, InsertRow, InsertColumn, DeleteRow, DeleteColumn,
    // ﾌﾞﾗｳｻﾞ
    Back, Forward, Reload, EditPageSource, CapturePage,
    // 表示
    ViewTree, ViewToolbar, ViewStatusBar, OrganizeBooks, CustomizeToolbar, Options,
    // ﾍﾙﾌﾟ
    HelpContents, HelpSearch, HelpAbout,
    // Reached by toolbar buttons only.
    DeleteItemButton, ReloadButton,
};

inline constexpr int kCommandCount = static_cast<int>(Command::ReloadButton) + 1;

enum class ButtonStyle { Push, Check, Group };

// One command: how its menu item and its toolbar button look.
struct CommandRow {
    Command command;
    QString objectName; // the menu item's name ("mnuFileSave"); empty for a button-only command
    QString caption;    // the menu caption, with "&" before the access key; "-" for a separator element
    QString shortcut;   // portable text ("Ctrl+N", "F3"); several are separated by ";"
    QString toolbarKey; // the button's key ("save"); empty when no button reaches it
    QString icon;       // the button's image key
    QString toolTip;
    ButtonStyle style = ButtonStyle::Push;
    bool hidden = false;    // the menu item starts hidden
    bool checkable = false; // the menu item carries a check mark
};

const CommandRow &commandRow(Command command);
const std::vector<CommandRow> &commandRows();

std::optional<Command> commandForToolbarKey(const QString &key);
std::optional<Command> commandForObjectName(const QString &name);

// The elements of the recent-books and custom-colour menu arrays: element 0 is
// the separator above the others.
Command recentFileCommand(int element); // 0 to 10
Command customColorCommand(int element); // 0 to 5
constexpr int kRecentFileMenuElements = 11;
constexpr int kCustomColorMenuElements = 6;

// The menu bar: ﾌｧｲﾙ, 編集, ﾂﾘｰ, ﾃｷｽﾄ, ﾌﾞﾗｳｻﾞ, 表示, ﾍﾙﾌﾟ. A menu's items are
// commands or separators (nullopt); a separator may start hidden.
struct MenuItem {
    std::optional<Command> command;
    bool hiddenSeparator = false;
};
struct Menu {
    QString objectName;
    QString caption;
    std::vector<MenuItem> items;
};
const std::vector<Menu> &menus();

// The toolbar's 36 entries in order: button keys, "-" for a separator.
const QStringList &toolbarKeys();
// Buttons the toolbar's customising offers beyond those it starts with.
const QStringList &extraToolbarKeys();

} // namespace kobin
