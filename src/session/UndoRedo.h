#pragma once

#include "Layout.h"

#include <QObject>
#include <functional>

namespace kobin {

class CommandRegistry;

// One pane's own history of edits.
class EditHistory
{
public:
    virtual ~EditHistory() = default;
    virtual bool canUndo() const = 0;
    virtual bool canRedo() const = 0;
    virtual void undo() = 0;
    virtual void redo() = 0;
};

// Undo and redo act on the pane that last had the focus, each on that pane's own
// history (the tree's edits, the text pane's typing), and are offered while that
// history has something to take back or make again. What signals a change of focus
// or history connects to offer, which stops with this object.
class UndoRedo : public QObject
{
    Q_OBJECT

public:
    UndoRedo(EditHistory &tree, EditHistory &text, std::function<Pane()> activePane, CommandRegistry &commands);

    void bindCommands();
    // Enables undo and redo as the focused pane's history allows.
    void offer();

private:
    EditHistory &focusedHistory() const;

    EditHistory &m_tree;
    EditHistory &m_text;
    std::function<Pane()> m_activePane;
    CommandRegistry &m_commands;
};

} // namespace kobin
