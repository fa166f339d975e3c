#include "ColourCommands.h"

#include "ColorValue.h"
#include "CommandRegistry.h"
#include "MainWindow.h"
#include "Settings.h"
#include "TextPane.h"

#include <QTextCharFormat>

namespace kobin {

ColourCommands::ColourCommands(MainWindow &window, Settings &settings, const std::array<qint32, 5> &customColors,
                               ColourChooser chooseColour)
    : m_window(window), m_settings(settings), m_customColors(customColors), m_chooseColour(std::move(chooseColour))
{
}

void ColourCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::BackColor, [this] { chooseBackground(); });
    for (int slot = 0; slot < settings::kCustomColorCount; ++slot)
        commands.bind(customColorCommand(slot + 1), [this, slot] { applyCustomColour(slot); });
}

void ColourCommands::chooseBackground()
{
    const std::optional<QColor> chosen = m_chooseColour(m_lastChosen);
    if (!chosen)
        return;
    m_lastChosen = *chosen;
    // Chosen with the tree focused, the colour is not applied.
    if (m_window.activePane() != QLatin1String("text"))
        return;
    m_window.textPane()->setBackColor(*chosen);
    m_settings.write(settings::TextBackColor, QString::number(valueFromColor(*chosen)));
}

void ColourCommands::applyCustomColour(int slot)
{
    QTextCharFormat format;
    format.setForeground(colorFromValue(m_customColors[static_cast<size_t>(slot)]));
    m_window.textPane()->mergeCurrentCharFormat(format);
}

} // namespace kobin
