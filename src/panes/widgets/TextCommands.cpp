#include "TextCommands.h"

#include "CommandRegistry.h"
#include "TextPane.h"

#include <QDateTime>
#include <QLocale>
#include <QRegularExpression>

namespace kobin {

TextCommands::TextCommands(TextPane &pane, std::function<bool()> paneIsActive)
    : m_pane(pane), m_paneIsActive(std::move(paneIsActive))
{
}

void TextCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::EditCut, [this] { cut(); });
    commands.bind(Command::EditCopy, [this] { copy(); });
    commands.bind(Command::EditPaste, [this] { paste(); });
    commands.bind(Command::EditSelectAll, [this] { selectAll(); });
    commands.bind(Command::InsertDate, [this] { insertDate(); });
    commands.bind(Command::InsertTime, [this] { insertTime(); });
}

void TextCommands::cut()
{
    if (m_paneIsActive())
        m_pane.cut();
}

void TextCommands::copy()
{
    if (m_paneIsActive())
        m_pane.copy();
}

void TextCommands::paste()
{
    if (m_paneIsActive())
        m_pane.paste();
}

void TextCommands::deleteSelection()
{
    if (m_paneIsActive())
        m_pane.textCursor().removeSelectedText();
}

void TextCommands::selectAll()
{
    if (m_paneIsActive())
        m_pane.selectAll();
}

void TextCommands::undo()
{
    if (m_paneIsActive())
        m_pane.undo();
}

void TextCommands::redo()
{
    if (m_paneIsActive())
        m_pane.redo();
}

void TextCommands::insertDate()
{
    if (m_paneIsActive())
        m_pane.textCursor().insertText(QLocale().toString(QDate::currentDate(), QLocale::ShortFormat));
}

void TextCommands::insertTime()
{
    if (!m_paneIsActive())
        return;
    // The long form holds the seconds; the time zone a note does not need.
    static const QRegularExpression zone(QStringLiteral("\\s*t+\\s*"));
    const QString format = QLocale().timeFormat(QLocale::LongFormat).replace(zone, QString()).trimmed();
    m_pane.textCursor().insertText(QLocale().toString(QTime::currentTime(), format));
}

} // namespace kobin
