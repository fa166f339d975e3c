#include "UndoRedo.h"

#include "CommandRegistry.h"

#include <utility>

namespace kobin {

UndoRedo::UndoRedo(EditHistory &tree, EditHistory &text, std::function<Pane()> activePane,
                   CommandRegistry &commands)
    : m_tree(tree), m_text(text), m_activePane(std::move(activePane)), m_commands(commands)
{
}

EditHistory &UndoRedo::focusedHistory() const
{
    return m_activePane() == Pane::Tree ? m_tree : m_text;
}

void UndoRedo::bindCommands()
{
    m_commands.bind(Command::EditUndo, [this] { focusedHistory().undo(); });
    m_commands.bind(Command::EditRedo, [this] { focusedHistory().redo(); });
}

void UndoRedo::offer()
{
    const EditHistory &history = focusedHistory();
    m_commands.setEnabled(Command::EditUndo, history.canUndo());
    m_commands.setEnabled(Command::EditRedo, history.canRedo());
}

} // namespace kobin
