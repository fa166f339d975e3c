#pragma once

#include <QColor>
#include <array>
#include <functional>
#include <optional>

namespace kobin {

class CommandRegistry;
class MainWindow;
class Settings;

// The text pane's colours from the menus: the background chosen in the colour
// dialog and remembered, and the five named custom colours for the selection.
class ColourCommands
{
public:
    // Asks for a colour, starting on the one given; nullopt when the user cancels.
    using ColourChooser = std::function<std::optional<QColor>(const QColor &initial)>;

    ColourCommands(MainWindow &window, Settings &settings, const std::array<qint32, 5> &customColors,
                   ColourChooser chooseColour);

    void bindCommands(CommandRegistry &commands);

    // The background of the text pane for every item and book, kept in the settings.
    void chooseBackground();
    // Colours the selection (or what is typed next) with custom colour slot, 0 to 4,
    // whichever pane has the focus.
    void applyCustomColour(int slot);

private:
    MainWindow &m_window;
    Settings &m_settings;
    const std::array<qint32, 5> &m_customColors;
    ColourChooser m_chooseColour;
    QColor m_lastChosen = Qt::black; // the dialog starts where it was left
};

} // namespace kobin
