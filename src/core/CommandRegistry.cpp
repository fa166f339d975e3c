#include "CommandRegistry.h"

#include <utility>

namespace kobin {

void CommandRegistry::bind(Command command, Handler handler)
{
    entry(command).handler = std::move(handler);
}

bool CommandRegistry::isBound(Command command) const
{
    return static_cast<bool>(entry(command).handler);
}

bool CommandRegistry::run(Command command)
{
    // A copy: the handler may bind the command anew while it runs.
    const Handler handler = entry(command).handler;
    if (!handler)
        return false;
    handler();
    return true;
}

bool CommandRegistry::isEnabled(Command command, Surface surface) const
{
    const Entry &e = entry(command);
    return surface == Surface::Menu ? e.menuEnabled : e.buttonEnabled;
}

void CommandRegistry::setEnabled(Command command, Surface surface, bool enabled)
{
    bool &state = surface == Surface::Menu ? entry(command).menuEnabled : entry(command).buttonEnabled;
    if (state == enabled)
        return;
    state = enabled;
    emit stateChanged(command);
}

void CommandRegistry::setEnabled(Command command, bool enabled)
{
    setEnabled(command, Surface::Menu, enabled);
    setEnabled(command, Surface::Button, enabled);
}

bool CommandRegistry::isChecked(Command command) const
{
    return entry(command).checked;
}

void CommandRegistry::setChecked(Command command, bool checked)
{
    Entry &e = entry(command);
    if (e.checked == checked && e.pressed == checked)
        return;
    e.checked = checked;
    e.pressed = checked;
    emit stateChanged(command);
}

void CommandRegistry::setCheckMark(Command command, bool checked)
{
    if (std::exchange(entry(command).checked, checked) != checked)
        emit stateChanged(command);
}

bool CommandRegistry::isPressed(Command command) const
{
    return entry(command).pressed;
}

void CommandRegistry::setPressed(Command command, bool pressed)
{
    if (std::exchange(entry(command).pressed, pressed) != pressed)
        emit stateChanged(command);
}

bool CommandRegistry::isMixed(Command command) const
{
    return entry(command).mixed;
}

void CommandRegistry::setMixed(Command command, bool mixed)
{
    if (std::exchange(entry(command).mixed, mixed) != mixed)
        emit stateChanged(command);
}

} // namespace kobin
