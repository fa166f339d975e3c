#pragma once

#include "Layout.h"

#include <QString>
#include <optional>

namespace kobin {

class Settings;

// What start-up restores from the settings store.
struct WindowPlacement {
    TwipsRect normal; // left, top, outer width and height
    bool maximized = false;
    float treeWidth = 2000;
    bool treeHidden = false;
    bool toolbarHidden = false;
    bool statusBarHidden = false;
    std::optional<qint32> textBackColor;
};

WindowPlacement readWindowPlacement(const Settings &settings);

// What the main window leaves behind when it closes.
struct ExitState {
    TwipsRect normal;       // the window's rectangle when it is not maximised
    bool maximized = false; // a minimised window counts as restored
    float treeWidth = 0;
    bool treeChecked = true;
    bool toolbarChecked = true;
    bool statusBarChecked = true;
    QString bookPath; // "" for a book never saved
    QString bookName;
};

// Writes the "Settings" values of an exit. A maximised window leaves the last
// normal rectangle in place; a never-saved book leaves "book" and "bookName".
void writeExitSettings(Settings &settings, const ExitState &state);

} // namespace kobin
