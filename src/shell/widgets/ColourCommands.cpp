#include "ColourCommands.h"

#include "ColorValue.h"
#include "CommandRegistry.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "ScreenPlacement.h"
#include "Settings.h"
#include "TextPane.h"

#include <QAction>
#include <QTextCharFormat>

namespace kobin {

ColourCommands::ColourCommands(MainWindow &window, Settings &settings, std::array<qint32, 5> &customColors,
                               ColourChooser chooseColour)
    : m_window(window), m_settings(settings), m_customColors(customColors), m_chooseColour(std::move(chooseColour))
{
}

void ColourCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::BackColor, [this] { chooseBackground(); });
    commands.bind(Command::Options, [this] { showOptions(); });
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

void ColourCommands::showOptions()
{
    OptionsDialog::Names names;
    OptionsDialog::Colours colours;
    for (int slot = 0; slot < settings::kCustomColorCount; ++slot) {
        const QAction *element = m_window.menuAction(customColorCommand(slot + 1));
        names[static_cast<size_t>(slot)] = element->isVisible() ? element->text() : QString();
        colours[static_cast<size_t>(slot)] = colorFromValue(m_customColors[static_cast<size_t>(slot)]);
    }
    auto *dialog = new OptionsDialog(
        names, colours, m_chooseColour,
        [this](const OptionsDialog::Names &applied, const OptionsDialog::Colours &chosen) {
            setCustomColours(applied, chosen);
        },
        &m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    centreOnScreen(*dialog);
    dialog->show(); // modeless: the text stays at hand
}

void ColourCommands::setCustomColours(const std::array<QString, 5> &names, const std::array<QColor, 5> &colours)
{
    bool anyNamed = false;
    for (int slot = 0; slot < settings::kCustomColorCount; ++slot) {
        const size_t i = static_cast<size_t>(slot);
        QAction *element = m_window.menuAction(customColorCommand(slot + 1));
        element->setVisible(!names[i].isEmpty());
        element->setText(names[i]);
        anyNamed = anyNamed || !names[i].isEmpty();
        m_customColors[i] = valueFromColor(colours[i]);
        m_settings.write(settings::colorName(slot), names[i]);
        m_settings.write(settings::customColor(slot), QString::number(m_customColors[i]));
    }
    m_window.menuAction(customColorCommand(0))->setVisible(anyNamed);
}

} // namespace kobin
