#pragma once

#include "Commands.h"

#include "PageSurface.h"

#include <QString>
#include <QTextCursor>
#include <QTextListFormat>
#include <functional>
#include <optional>

namespace kobin {

class BrowserPane;
class CommandRegistry;
class FileDialogs;
class Prompter;
class TextPane;

// The text pane's editing commands from the Edit and Text menus and the
// toolbar. Most act on the pane only while it was the last pane to have the
// keyboard focus; with the tree focused they do nothing. While the page has
// the focus, cut, copy, paste, select all, undo and redo (menu, button or key)
// act on the page instead. The style and
// alignment marks of the menu and the toolbar follow the selection.
class TextCommands
{
public:
    TextCommands(TextPane &pane, BrowserPane &page, CommandRegistry &commands, FileDialogs &dialogs,
                 Prompter &prompter, std::function<bool()> paneIsActive);

    void bindCommands();

    void cut();
    void copy();
    void paste();
    void deleteSelection();
    void selectAll();
    void undo();
    void redo();
    // The date in the system's short form, the time in its long form without the zone.
    void insertDate();
    void insertTime();
    // Makes the selection a link to a web or mail address asked for (with nothing
    // selected, puts the address in as its own link), as one step that undo takes
    // back; any other address is refused with a message.
    void insertLink();
    // The selected paragraphs become a list of bullets or numbers, or plain
    // paragraphs again when they all already are one (ListEditing.h).
    void makeList(QTextListFormat::Style style);
    // Asks for a link's address, given the one at the caret; nullopt when the user cancels.
    using AddressAsker = std::function<std::optional<QString>(const QString &current)>;
    void setAddressAsker(AddressAsker asker) { m_askAddress = std::move(asker); }
    // A table of the size asked for at the caret, as one step that undo takes back;
    // a size that is no rows×columns, or too large, is refused with a message.
    void insertTable();
    // Asks for a table's size as "rows×columns"; nullopt when the user cancels.
    using TableSizeAsker = std::function<std::optional<QString>()>;
    void setTableSizeAsker(TableSizeAsker asker) { m_askTableSize = std::move(asker); }
    // Replaces the pane's text with a ".txt" file (its encoding recognised) or an
    // ".rtf" file the user chooses, as one step that undo takes back; other files
    // are refused with a message.
    void openFile();

    // Bold, italic or underline on or off. The menu's check mark decides which;
    // the buttons show a style on alone as pressed, styles on together as mixed.
    void toggleStyle(Command style);
    // Aligns the selected paragraphs, unless the command's own mark is already set.
    void align(Command alignment);
    // The marks and buttons after every move of the caret or the selection.
    void mirrorSelection();

private:
    // A row or column of the caret's table added or removed (TableEditing.h).
    void changeTable(bool (*change)(QTextCursor));
    // Whether the page has the focus and took action.
    bool actOnPage(PageAction action);

    TextPane &m_pane;
    BrowserPane &m_page;
    CommandRegistry &m_commands;
    FileDialogs &m_dialogs;
    Prompter &m_prompter;
    std::function<bool()> m_paneIsActive;
    AddressAsker m_askAddress;
    TableSizeAsker m_askTableSize;
};

} // namespace kobin
