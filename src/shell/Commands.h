#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kobin {

// The program's command vocabulary: the menu tree and the toolbar, keyed by the
// names every area binds its commands to ("mnuFileSave", toolbar key "save").

enum class ButtonStyle { Push, Check, Group, Separator };

struct ToolbarEntry {
    QString key; // empty for a separator
    QString image;
    ButtonStyle style;
    QString toolTip;
};

// The 36 entries the toolbar is built from, in order.
const std::vector<ToolbarEntry> &toolbarEntries();
const ToolbarEntry *toolbarEntry(const QString &key);

struct MenuEntry {
    QString id;       // menu item name; empty for a separator
    QString caption;  // with "&" before the access key
    QString shortcut; // portable text ("Ctrl+N", "F3")
    bool hidden = false;
    bool checked = false;  // starts with a check mark
    std::vector<MenuEntry> items; // a menu's items
};

// The menu bar: ﾌｧｲﾙ, 編集, ﾂﾘｰ, ﾃｷｽﾄ, ﾌﾞﾗｳｻﾞ, 表示, ﾍﾙﾌﾟ.
const std::vector<MenuEntry> &menuBar();
const MenuEntry *menuEntry(const QString &id);

// Element ids of the menu arrays.
QString recentFileMenuId(int element); // 0 (separator) to 10
QString customColorMenuId(int element); // 0 (separator) to 5
constexpr int kRecentFileMenuElements = 11;
constexpr int kCustomColorMenuElements = 6;

// What a toolbar button runs: the menu command it stands for, or one of the
// button-only commands below; empty for a key the table does not know.
QString toolbarCommand(const QString &buttonKey, bool bookHasPath);

namespace commands {
// Commands that only the toolbar reaches.
inline const QString DeleteTreeItem = QStringLiteral("tbDeleteTreeItem");
inline const QString ReloadPage = QStringLiteral("tbReloadPage");
} // namespace commands

} // namespace kobin
