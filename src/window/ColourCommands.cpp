#include "ColourCommands.h"

#include "ColorValue.h"
#include "CommandRegistry.h"
#include "FontWindow.h"
#include "MainWindow.h"
#include "OptionsDialog.h"
#include "Settings.h"
#include "TextPane.h"
#include "Twips.h"
#include "WindowPlacement.h"

#include <QAction>
#include <utility>
#include <QTextCharFormat>

namespace kobin {

ColourCommands::ColourCommands(MainWindow &window, Settings &settings, std::array<qint32, 5> &customColors,
                               ColourChooser chooseColour)
    : m_window(window), m_settings(settings), m_customColors(customColors), m_chooseColour(std::move(chooseColour))
{
}

void ColourCommands::bindCommands(CommandRegistry &commands)
{
    m_commands = &commands;
    commands.bind(Command::Font, [this] { toggleFontWindow(); });
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
    if (m_window.activePane() != Pane::Text)
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

void ColourCommands::toggleFontWindow()
{
    if (m_fontWindow) {
        closeFontWindow();
        return;
    }
    m_fontWindow = new FontWindow(&m_window);
    TextPane *text = m_window.textPane();
    const auto textIsActive = [this] { return m_window.activePane() == Pane::Text; };
    const auto applyToSelection = [text, textIsActive](const QTextCharFormat &format) {
        if (textIsActive())
            text->mergeCurrentCharFormat(format);
    };
    QObject::connect(m_fontWindow, &FontWindow::familyChosen, m_fontWindow, [applyToSelection](const QString &family) {
        QTextCharFormat format;
        format.setFontFamilies({family});
        applyToSelection(format);
    });
    QObject::connect(m_fontWindow, &FontWindow::sizeChosen, m_fontWindow, [applyToSelection](qreal size) {
        QTextCharFormat format;
        format.setFontPointSize(size);
        applyToSelection(format);
    });
    QObject::connect(m_fontWindow, &FontWindow::colourChosen, m_fontWindow,
                     [this, text, applyToSelection, textIsActive](const QColor &colour) {
        QTextCharFormat format;
        format.setForeground(colour);
        applyToSelection(format);
        // A colour is one click: typing goes on in the note.
        if (textIsActive()) {
            m_window.activateWindow();
            text->setFocus();
        }
    });
    // The boxes show the selection's font as the caret moves.
    const auto showSelection = [this, text] {
        if (m_fontWindow) {
            const QTextCharFormat format = text->currentCharFormat();
            const QStringList families = format.fontFamilies().toStringList();
            m_fontWindow->showSelection(families.isEmpty() ? QString() : families.first(), format.fontPointSize());
        }
    };
    QObject::connect(text, &QTextEdit::cursorPositionChanged, m_fontWindow, showSelection);
    QObject::connect(m_fontWindow, &FontWindow::closed, m_fontWindow, [this] { closeFontWindow(); });

    m_fontWindow->adjustSize();
    const TwipsScale scale = TwipsScale::of(&m_window);
    const std::optional<float> left = m_settings.readSingle(settings::FontLeft);
    const std::optional<float> top = m_settings.readSingle(settings::FontTop);
    // Where it was last, else as the dialogs open: centred on the main window.
    const QPoint centred = centredIn(m_window.frameGeometry(), m_fontWindow->frameGeometry().size());
    m_fontWindow->move(left ? scale.pxX(*left) : centred.x(), top ? scale.pxY(*top) : centred.y());
    if (textIsActive())
        showSelection();
    if (m_commands)
        m_commands->setChecked(Command::Font, true);
    m_fontWindow->show();
}

void ColourCommands::closeFontWindow()
{
    FontWindow *window = std::exchange(m_fontWindow, nullptr);
    if (!window)
        return;
    const TwipsScale scale = TwipsScale::of(&m_window);
    m_settings.writeSingle(settings::FontLeft, scale.twipsX(window->x()));
    m_settings.writeSingle(settings::FontTop, scale.twipsY(window->y()));
    if (m_commands)
        m_commands->setChecked(Command::Font, false);
    window->hide();
    window->deleteLater();
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
        // A colour left as it was keeps its stored value: a slot holding a system colour (the button
        // face of a slot never named) still names that colour, not the one the palette gives it today.
        if (colours[i] != colorFromValue(m_customColors[i]))
            m_customColors[i] = valueFromColor(colours[i]);
        m_settings.write(settings::colorName(slot), names[i]);
        m_settings.write(settings::customColor(slot), QString::number(m_customColors[i]));
    }
    m_window.menuAction(customColorCommand(0))->setVisible(anyNamed);
}

} // namespace kobin
