#include "FindCommands.h"

#include "BrowserPane.h"
#include "CommandRegistry.h"
#include "FindBar.h"
#include "SearchText.h"
#include "TextPane.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>
#include <QPointer>

namespace kobin::search {

namespace {

bool isWithin(const QWidget *widget, const QWidget *ancestor)
{
    for (; widget; widget = widget->parentWidget()) {
        if (widget == ancestor)
            return true;
    }
    return false;
}

} // namespace

FindCommands::FindCommands(TextPane &text, BrowserPane &browser, QObject *parent)
    : QObject(parent), m_text(text), m_browser(browser), m_findBar(new FindBar(&text))
{
    connect(m_findBar, &FindBar::textEdited, this, [this] {
        if (m_findBar->target() == &m_browser)
            findInPage(false);
        else
            findInNote(false, true);
    });
    connect(m_findBar, &FindBar::nextWanted, this, [this] { findAgain(false); });
    connect(m_findBar, &FindBar::previousWanted, this, [this] { findAgain(true); });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_text.setExtraSelections({});
        m_browser.findText(QString(), false, [](int, int) {});
        const QTextCursor cursor = m_text.textCursor();
        if (m_findBar->target() == &m_text && cursor.hasSelection())
            m_keptMatch = std::make_pair(cursor.selectionStart(), cursor.selectionEnd());
    });
    m_text.installEventFilter(this);
}

bool FindCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_text || !m_keptMatch)
        return QObject::eventFilter(watched, event);
    bool typing = false;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<const QKeyEvent *>(event);
        typing = (!key->text().isEmpty() && key->text().at(0).isPrint()) || key->key() == Qt::Key_Return
            || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Tab;
    } else if (event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<const QInputMethodEvent *>(event);
        typing = !input->commitString().isEmpty() || !input->preeditString().isEmpty();
    }
    if (typing) {
        // What is typed goes after the match, as though the find had only moved the caret there.
        QTextCursor cursor = m_text.textCursor();
        if (cursor.hasSelection() && std::make_pair(cursor.selectionStart(), cursor.selectionEnd()) == *m_keptMatch) {
            cursor.setPosition(cursor.selectionEnd());
            m_text.setTextCursor(cursor);
        }
        m_keptMatch.reset();
    }
    return QObject::eventFilter(watched, event);
}

void FindCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::Find, [this] { openFindBar(); });
    commands.bind(Command::FindNext, [this] { findAgain(false); });
    commands.bind(Command::FindPrevious, [this] { findAgain(true); });
}

void FindCommands::markInNote(const QString &text)
{
    m_findBar->setText(text);
    m_findBar->openOver(&m_text);
    m_text.moveCursor(QTextCursor::Start);
    findInNote(false, true);
}

void FindCommands::markInPage(const QString &text)
{
    m_findBar->setText(text);
    m_findBar->openOver(&m_browser);
    findInPage(false);
}

void FindCommands::unmark()
{
    m_findBar->close();
}

void FindCommands::openFindBar()
{
    const bool page = m_browser.isVisible() && m_browser.hasEngine() && isWithin(QApplication::focusWidget(), &m_browser);
    if (!page) {
        const QString selected = m_text.textCursor().selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
            m_findBar->setText(selected);
    }
    m_keptMatch.reset();
    m_findBar->openOver(page ? static_cast<QWidget *>(&m_browser) : &m_text);
}

void FindCommands::findAgain(bool backward)
{
    if (!m_findBar->isOpen() || m_findBar->text().isEmpty()) {
        openFindBar();
        return;
    }
    if (m_findBar->target() == &m_browser)
        findInPage(backward);
    else
        findInNote(backward, false);
}

void FindCommands::findInNote(bool backward, bool fromHere)
{
    const std::vector<TextRange> ranges
        = findPhrase(m_text.document()->toRawText(), m_findBar->text(), KanaMatching::Distinct, 100000);
    QList<QTextEdit::ExtraSelection> marks;
    for (const TextRange &range : ranges) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_text.document());
        mark.cursor.setPosition(static_cast<int>(range.start));
        mark.cursor.setPosition(static_cast<int>(range.start + range.length), QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(0xff, 0xe2, 0x7a));
        marks.append(mark);
    }
    m_text.setExtraSelections(marks);
    if (ranges.empty()) {
        m_findBar->showOutcome(0, 0);
        return;
    }
    // Typing stays on the match at the cursor; next and previous move from it, round the end.
    const qsizetype at = m_text.textCursor().selectionStart();
    size_t chosen = 0;
    if (backward) {
        chosen = ranges.size() - 1;
        for (size_t i = ranges.size(); i > 0; --i) {
            if (ranges[i - 1].start < at) {
                chosen = i - 1;
                break;
            }
        }
    } else {
        for (size_t i = 0; i < ranges.size(); ++i) {
            if (fromHere ? ranges[i].start >= at : ranges[i].start > at) {
                chosen = i;
                break;
            }
        }
    }
    QTextCursor cursor(m_text.document());
    cursor.setPosition(static_cast<int>(ranges[chosen].start));
    cursor.setPosition(static_cast<int>(ranges[chosen].start + ranges[chosen].length), QTextCursor::KeepAnchor);
    m_text.setTextCursor(cursor);
    m_text.ensureCursorVisible();
    keepClearOfTheBar();
    m_findBar->showOutcome(static_cast<int>(chosen) + 1, static_cast<int>(ranges.size()));
}

void FindCommands::keepClearOfTheBar()
{
    if (!m_findBar->isOpen())
        return;
    QTextCursor start = m_text.textCursor();
    start.setPosition(start.selectionStart());
    // The match's top in the pane's own coordinates, where the bar lies; the lines beside the bar count
    // as under it, as a longer line or a narrower pane would put the match there.
    const int top = m_text.cursorRect(start).united(m_text.cursorRect()).top() + m_text.viewport()->y();
    const int below = m_findBar->geometry().bottom() + 1;
    if (top < below) {
        QScrollBar *scroll = m_text.verticalScrollBar();
        scroll->setValue(scroll->value() - (below - top));
    }
}

void FindCommands::findInPage(bool backward)
{
    QPointer<FindBar> bar = m_findBar;
    m_browser.findText(m_findBar->text(), backward, [bar](int active, int total) {
        if (bar)
            bar->showOutcome(active, total);
    });
}

} // namespace kobin::search
