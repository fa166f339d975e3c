#pragma once

#include "Commands.h"

#include <QObject>
#include <array>
#include <functional>

namespace kobin {

// Where a command is offered: its menu item and its toolbar button are enabled apart.
enum class Surface { Menu, Button };

// The handler bound to each command, and the enabled and checked state that the
// menus and the toolbar mirror. Knows no widget.
class CommandRegistry : public QObject
{
    Q_OBJECT

public:
    using Handler = std::function<void()>;

    void bind(Command command, Handler handler);
    bool isBound(Command command) const;
    // Runs the command's handler; false when none is bound.
    bool run(Command command);

    bool isEnabled(Command command, Surface surface) const;
    void setEnabled(Command command, Surface surface, bool enabled);
    void setEnabled(Command command, bool enabled); // menu item and button alike

    // The menu item's check mark; setChecked presses the button alike.
    bool isChecked(Command command) const;
    void setChecked(Command command, bool checked);
    // A check button can differ from its menu item: pressed, or showing the mixed
    // look of a selection that has the style only in part.
    void setCheckMark(Command command, bool checked); // the menu item's mark alone
    bool isPressed(Command command) const;
    void setPressed(Command command, bool pressed);
    bool isMixed(Command command) const;
    void setMixed(Command command, bool mixed);

signals:
    void stateChanged(kobin::Command command);

private:
    struct Entry {
        Handler handler;
        bool menuEnabled = true;
        bool buttonEnabled = true;
        bool checked = false;
        bool pressed = false;
        bool mixed = false;
    };
    Entry &entry(Command command) { return m_entries[static_cast<size_t>(command)]; }
    const Entry &entry(Command command) const { return m_entries[static_cast<size_t>(command)]; }

    std::array<Entry, kCommandCount> m_entries;
};

} // namespace kobin
