#pragma once

class QWidget;

namespace kobin {

// Puts a window in the middle of the primary screen: the splash, shown before the main window.
// Dialogs are not placed here: Qt centres each on the main window, its owner, as it opens.
// A window not yet shown is given the size showing would give it first: until
// then it has a placeholder size, and would be centred by that.
void centreOnScreen(QWidget &window);

// Puts a window beside the owner on the owner's screen (the help window).
void placeBeside(QWidget &window, const QWidget &owner);

} // namespace kobin
