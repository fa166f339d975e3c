#pragma once

#include <QColor>
#include <array>
#include <functional>
#include <optional>

namespace kobin {

class CommandRegistry;
class FontWindow;
class MainWindow;
class Settings;

// The text pane's colours from the menus: the background chosen in the colour
// dialog and remembered, and the five named custom colours for the selection.
class ColourCommands
{
public:
    // Asks for a colour, starting on the one given; nullopt when the user cancels.
    using ColourChooser = std::function<std::optional<QColor>(const QColor &initial)>;

    ColourCommands(MainWindow &window, Settings &settings, std::array<qint32, 5> &customColors,
                   ColourChooser chooseColour);

    void bindCommands(CommandRegistry &commands);

    // The background of the text pane for every item and book, kept in the settings.
    void chooseBackground();
    // Colours the selection (or what is typed next) with custom colour slot, 0 to 4,
    // whichever pane has the focus.
    void applyCustomColour(int slot);
    // Opens the font window, or closes it when it is open.
    void toggleFontWindow();
    // Closes it and remembers where it stood (also when the program ends).
    void closeFontWindow();

    // The options dialog, where the custom colours are named and chosen.
    void showOptions();
    // What the options dialog applies: the names and colours of the five slots, in
    // the settings and the Edit menu (a slot without a name is not offered).
    void setCustomColours(const std::array<QString, 5> &names, const std::array<QColor, 5> &colours);

private:
    MainWindow &m_window;
    Settings &m_settings;
    std::array<qint32, 5> &m_customColors;
    ColourChooser m_chooseColour;
    CommandRegistry *m_commands = nullptr;
    FontWindow *m_fontWindow = nullptr;
    QColor m_lastChosen = Qt::black; // the dialog starts where it was left
};

} // namespace kobin
