#include "TextCommands.h"

#include "BoundedFile.h"
#include "BrowserPane.h"
#include "ClockTime.h"
#include "CommandRegistry.h"
#include "FileDialogs.h"
#include "FormatProperties.h"
#include "ListEditing.h"
#include "TableEditing.h"
#include "Prompter.h"
#include "RichTextFiles.h"
#include "TextPane.h"
#include "UserText.h"
#include "WebAddresses.h"

#include <QColor>
#include <QDateTime>
#include <QUrl>
#include <QTextBlock>
#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QLocale>
#include <optional>
#include <utility>

namespace kobin {

namespace {

enum class Presence { Off, On, Mixed };

bool hasStyle(const QTextCharFormat &format, Command style)
{
    switch (style) {
    case Command::Bold:
        return format.fontWeight() >= QFont::Bold;
    case Command::Italic:
        return format.fontItalic();
    default:
        return format.fontUnderline();
    }
}

// Whether the selection has the style throughout, nowhere or in part; the
// typing point's format when nothing is selected.
Presence presenceOf(const QTextCursor &cursor, Command style)
{
    if (!cursor.hasSelection())
        return hasStyle(cursor.charFormat(), style) ? Presence::On : Presence::Off;
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    bool on = false;
    bool off = false;
    for (QTextBlock block = cursor.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= start || fragment.position() >= end)
                continue;
            (hasStyle(fragment.charFormat(), style) ? on : off) = true;
        }
    }
    return on && off ? Presence::Mixed : on ? Presence::On : Presence::Off;
}

Command alignmentCommand(Qt::Alignment alignment)
{
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & (Qt::AlignRight | Qt::AlignTrailing))
        return Command::AlignRight;
    if (horizontal & Qt::AlignHCenter)
        return Command::AlignCenter;
    return Command::AlignLeft;
}

// The alignment shared by every paragraph of the selection; nullopt when they differ.
std::optional<Command> alignmentOf(const QTextCursor &cursor)
{
    const QTextDocument *document = cursor.document();
    const QTextBlock last = document->findBlock(cursor.selectionEnd());
    std::optional<Command> shared;
    for (QTextBlock block = document->findBlock(cursor.selectionStart()); block.isValid(); block = block.next()) {
        const Command here = alignmentCommand(block.blockFormat().alignment());
        if (shared && *shared != here)
            return std::nullopt;
        shared = here;
        if (block == last)
            break;
    }
    return shared;
}

constexpr Command kAlignments[] = {Command::AlignLeft, Command::AlignCenter, Command::AlignRight};

// The commands that change the table the caret is in.
constexpr std::pair<Command, bool (*)(QTextCursor)> kTableChanges[] = {
    {Command::InsertRow, insertRow}, {Command::InsertColumn, insertColumn},
    {Command::DeleteRow, removeRow}, {Command::DeleteColumn, removeColumn},
};

} // namespace

TextCommands::TextCommands(TextPane &pane, BrowserPane &page, CommandRegistry &commands, FileDialogs &dialogs,
                           Prompter &prompter, std::function<bool()> paneIsActive)
    : m_pane(pane), m_page(page), m_commands(commands), m_dialogs(dialogs), m_prompter(prompter),
      m_paneIsActive(std::move(paneIsActive))
{
    QObject::connect(&pane, &QTextEdit::cursorPositionChanged, &pane, [this] { mirrorSelection(); });
    QObject::connect(&pane, &QTextEdit::selectionChanged, &pane, [this] { mirrorSelection(); });
}

void TextCommands::bindCommands()
{
    CommandRegistry &commands = m_commands;
    for (Command style : {Command::Bold, Command::Italic, Command::Underline})
        commands.bind(style, [this, style] { toggleStyle(style); });
    for (Command alignment : kAlignments)
        commands.bind(alignment, [this, alignment] { align(alignment); });
    commands.bind(Command::TextOpen, [this] { openFile(); });
    commands.bind(Command::EditCut, [this] { cut(); });
    commands.bind(Command::EditCopy, [this] { copy(); });
    commands.bind(Command::EditPaste, [this] { paste(); });
    commands.bind(Command::EditSelectAll, [this] { selectAll(); });
    commands.bind(Command::InsertDate, [this] { insertDate(); });
    commands.bind(Command::InsertTime, [this] { insertTime(); });
    commands.bind(Command::InsertLink, [this] { insertLink(); });
    commands.bind(Command::Bullets, [this] { makeList(QTextListFormat::ListDisc); });
    commands.bind(Command::Numbering, [this] { makeList(QTextListFormat::ListDecimal); });
    commands.bind(Command::InsertTable, [this] { insertTable(); });
    for (const auto &[command, change] : kTableChanges)
        commands.bind(command, [this, change = change] { changeTable(change); });
}

void TextCommands::changeTable(bool (*change)(QTextCursor))
{
    if (m_paneIsActive() && change(m_pane.textCursor()))
        mirrorSelection();
}

// Asks for "rows×columns" ("3x4" too); any other answer is refused with a message.
void TextCommands::insertTable()
{
    if (!m_paneIsActive() || !m_askTableSize)
        return;
    const std::optional<QString> typed = m_askTableSize();
    if (!typed || typed->trimmed().isEmpty())
        return;
    const QStringList numbers = typed->trimmed().split(QRegularExpression(QStringLiteral("\\s*[x×＊*]\\s*")));
    bool rowsRead = false;
    bool columnsRead = false;
    const int rows = numbers.size() == 2 ? numbers[0].toInt(&rowsRead) : 0;
    const int columns = numbers.size() == 2 ? numbers[1].toInt(&columnsRead) : 0;
    if (!rowsRead || !columnsRead || rows < 1 || rows > kMaxTableRows || columns < 1 || columns > kMaxTableColumns) {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                          QStringLiteral("「 ") + typed->trimmed()
                              + QStringLiteral(" 」の表は作れません。行数×列数（%1×%2 まで）で指定してください。")
                                    .arg(kMaxTableRows).arg(kMaxTableColumns));
        return;
    }
    QTextCursor cursor = m_pane.textCursor();
    kobin::insertTable(cursor, rows, columns);
    m_pane.setTextCursor(cursor);
}

void TextCommands::makeList(QTextListFormat::Style style)
{
    if (m_paneIsActive())
        toggleList(m_pane.textCursor(), style);
}

bool TextCommands::actOnPage(PageAction action)
{
    if (!m_page.hasFocusedPage())
        return false;
    m_page.triggerPageAction(action);
    return true;
}

void TextCommands::cut()
{
    if (!actOnPage(PageAction::Cut) && m_paneIsActive())
        m_pane.cut();
}

void TextCommands::copy()
{
    if (!actOnPage(PageAction::Copy) && m_paneIsActive())
        m_pane.copy();
}

void TextCommands::paste()
{
    if (!actOnPage(PageAction::Paste) && m_paneIsActive())
        m_pane.paste();
}

void TextCommands::deleteSelection()
{
    if (m_paneIsActive())
        m_pane.textCursor().removeSelectedText();
}

void TextCommands::selectAll()
{
    if (!actOnPage(PageAction::SelectAll) && m_paneIsActive())
        m_pane.selectAll();
}

void TextCommands::undo()
{
    if (!actOnPage(PageAction::Undo) && m_paneIsActive())
        m_pane.undo();
}

void TextCommands::redo()
{
    if (!actOnPage(PageAction::Redo) && m_paneIsActive())
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
    m_pane.textCursor().insertText(clockTime(QTime::currentTime()));
}

void TextCommands::openFile()
{
    FileDialogRequest request;
    request.title = QStringLiteral("ファイル選択");
    request.filter = QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt) ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.rtf) (*.txt *.rtf);;すべてのﾌｧｲﾙ (*.*)");
    const std::optional<QString> chosen = m_dialogs.openFile(request);
    if (!chosen)
        return;
    // The extension is compared exactly, as the program always has: "TXT" is refused.
    const auto unreadable = [this, &chosen] {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                          QStringLiteral("「 ") + *chosen + QStringLiteral(" 」\n\nを読み込めません。"));
    };
    if (chosen->endsWith(QLatin1String("txt"))) {
        // Read as a note is read: a regular file (never a device or a pipe) no larger than a note.
        if (const std::optional<QByteArray> bytes = readRegularFile(*chosen, richtext::kMaxNoteFileSize))
            m_pane.replaceWithPlainText(decodeUserText(*bytes).text);
        else
            unreadable();
    } else if (chosen->endsWith(QLatin1String("rtf"))) {
        if (!m_pane.replaceWithRichText(*chosen))
            unreadable(); // the pane stays as it was
    } else {
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                          QStringLiteral("ﾃｷｽﾄﾌｧｲﾙ(*.txt) または ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ(*.rtf)のみ読み込めます。"));
    }
}

void TextCommands::insertLink()
{
    if (!m_paneIsActive() || !m_askAddress)
        return;
    QTextCursor cursor = m_pane.textCursor();
    const std::optional<QString> typed = m_askAddress(cursor.charFormat().anchorHref());
    if (!typed || typed->trimmed().isEmpty())
        return;
    const QUrl url = QUrl::fromUserInput(typed->trimmed());
    if (!isWebAddress(url.toString(QUrl::FullyEncoded))) { // only what a click may open
        m_prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"),
                          QStringLiteral("「 ") + typed->trimmed() + QStringLiteral(" 」はリンクの宛先にできません。"));
        return;
    }
    const QString address = url.toString(QUrl::FullyEncoded);
    QTextCharFormat link;
    link.setAnchor(true);
    link.setAnchorHref(address);
    link.setFontUnderline(true);
    link.setForeground(QColor(0, 0, 255));
    // Written as a field of its own address, not as the field the text was read in.
    link.setProperty(rtf::kFieldInstructionProperty, QByteArray());
    link.setProperty(rtf::kFieldNumberProperty, -1);
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.mergeCharFormat(link);
    else
        cursor.insertText(url.toDisplayString(), link);
    cursor.endEditBlock();
    m_pane.setTextCursor(cursor);
}

void TextCommands::toggleStyle(Command x)
{
    if (!m_paneIsActive())
        return;
    const bool turningOff = m_commands.isChecked(x);
    // The other two styles, in the order each case looks at them.
    const auto [y, z] = x == Command::Bold     ? std::pair{Command::Italic, Command::Underline}
                        : x == Command::Italic ? std::pair{Command::Bold, Command::Underline}
                        : turningOff           ? std::pair{Command::Italic, Command::Bold}
                                               : std::pair{Command::Bold, Command::Italic};
    if (turningOff) {
        m_commands.setMixed(x, false);
        m_commands.setChecked(x, false);
        // A style left on alone goes back from the mixed look to pressed; two left on stay mixed.
        if (!(m_commands.isMixed(y) && m_commands.isMixed(z))) {
            for (Command other : {y, z}) {
                if (m_commands.isMixed(other)) {
                    m_commands.setMixed(other, false);
                    m_commands.setPressed(other, true);
                    break;
                }
            }
        }
    } else {
        const bool yOn = m_commands.isChecked(y);
        const bool zOn = m_commands.isChecked(z);
        if (yOn || zOn) {
            m_commands.setMixed(x, true);
            if (yOn)
                m_commands.setMixed(y, true);
            if (zOn)
                m_commands.setMixed(z, true);
        } else {
            m_commands.setPressed(x, true);
        }
        m_commands.setCheckMark(x, true);
    }
    // The text follows the mark: a selection with the style in part loses or gains it throughout.
    QTextCharFormat format;
    if (x == Command::Bold)
        format.setFontWeight(turningOff ? QFont::Normal : QFont::Bold);
    else if (x == Command::Italic)
        format.setFontItalic(!turningOff);
    else
        format.setFontUnderline(!turningOff);
    m_pane.mergeCurrentCharFormat(format);
}

void TextCommands::align(Command alignment)
{
    if (m_commands.isChecked(alignment))
        return;
    m_pane.setAlignment(alignment == Command::AlignLeft     ? Qt::AlignLeft
                        : alignment == Command::AlignCenter ? Qt::AlignHCenter
                                                            : Qt::AlignRight);
    for (Command each : kAlignments)
        m_commands.setChecked(each, each == alignment);
}

void TextCommands::mirrorSelection()
{
    const QTextCursor cursor = m_pane.textCursor();
    for (const auto &change : kTableChanges)
        m_commands.setEnabled(change.first, cursor.currentTable() != nullptr);
    for (Command style : {Command::Bold, Command::Italic, Command::Underline}) {
        switch (presenceOf(cursor, style)) {
        case Presence::Off:
            m_commands.setPressed(style, false);
            m_commands.setCheckMark(style, false);
            break;
        case Presence::On:
            m_commands.setPressed(style, true);
            m_commands.setCheckMark(style, true);
            break;
        case Presence::Mixed: // only a style command clears the mixed look again
            m_commands.setMixed(style, true);
            m_commands.setCheckMark(style, true);
            break;
        }
    }
    if (const std::optional<Command> alignment = alignmentOf(cursor)) {
        for (Command each : kAlignments)
            m_commands.setChecked(each, each == *alignment);
    }
}

} // namespace kobin
