#pragma once

#include <functional>

namespace kobin {

class CommandRegistry;
class TextPane;

// The text pane's editing commands from the Edit and Text menus and the
// toolbar. They act on the pane only while it was the last pane to have the
// keyboard focus; with the tree focused they do nothing.
class TextCommands
{
public:
    TextCommands(TextPane &pane, std::function<bool()> paneIsActive);

    void bindCommands(CommandRegistry &commands);

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

private:
    TextPane &m_pane;
    std::function<bool()> m_paneIsActive;
};

} // namespace kobin
