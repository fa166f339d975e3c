#pragma once

#include <QList>

class QAction;
class QMenu;
class QWidget;

namespace kobin {

class Prompter;
class TextCommands;
class TextPane;
class WindowStatus;

// The links of the note shown: the address under the mouse in the status bar
// (the status text before it comes back when the mouse leaves), Ctrl+click and
// the right-click menu's entry open web and mail addresses in the user's own
// programs, and the link and table commands ask for an address or a size in a
// small dialog. The right-click menu is the Edit menu with the list and table
// commands after it (paneActions; a null one is a separator).
void bindNoteLinks(TextPane &pane, TextCommands &commands, WindowStatus &status, Prompter &prompter,
                   QMenu &editMenu, const QList<QAction *> &paneActions, QWidget &window);

} // namespace kobin
