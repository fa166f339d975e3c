#include "FindCommands.h"

#include "CommandRegistry.h"
#include "FindBar.h"
#include "NotePane.h"
#include "PageView.h"
#include "SearchText.h"

#include <QApplication>
#include <QKeyEvent>
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

FindCommands::FindCommands(NotePane &note, QWidget &noteWidget, PageView &page, QWidget &pageWidget, QObject *parent)
    : QObject(parent), m_note(note), m_noteWidget(noteWidget), m_page(page), m_pageWidget(pageWidget),
      m_findBar(new FindBar(&noteWidget))
{
    connect(m_findBar, &FindBar::textEdited, this, [this] {
        if (m_findBar->target() == &m_pageWidget)
            findInPage(false);
        else
            findInNote(false, true);
    });
    connect(m_findBar, &FindBar::nextWanted, this, [this] { findAgain(false); });
    connect(m_findBar, &FindBar::previousWanted, this, [this] { findAgain(true); });
    connect(m_findBar, &FindBar::closed, this, [this] {
        m_note.markMatches({});
        m_page.findText(QString(), false, [](int, int) {});
        const std::pair<int, int> selection = m_note.selection();
        if (m_findBar->target() == &m_noteWidget && selection.first != selection.second)
            m_keptMatch = selection;
    });
    m_noteWidget.installEventFilter(this);
}

bool FindCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != &m_noteWidget || !m_keptMatch)
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
        const std::pair<int, int> selection = m_note.selection();
        if (selection.first != selection.second && selection == *m_keptMatch)
            m_note.select(selection.second, selection.second);
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
    m_findBar->openOver(&m_noteWidget);
    m_note.select(0, 0);
    findInNote(false, true);
}

void FindCommands::markInPage(const QString &text)
{
    m_findBar->setText(text);
    m_findBar->openOver(&m_pageWidget);
    findInPage(false);
}

void FindCommands::unmark()
{
    m_findBar->close();
}

void FindCommands::openFindBar()
{
    const bool page = m_page.canFind() && isWithin(QApplication::focusWidget(), &m_pageWidget);
    if (!page) {
        const QString selected = m_note.selectedText();
        if (!selected.isEmpty() && !selected.contains(QChar::ParagraphSeparator))
            m_findBar->setText(selected);
    }
    m_keptMatch.reset();
    m_findBar->openOver(page ? &m_pageWidget : &m_noteWidget);
}

void FindCommands::findAgain(bool backward)
{
    if (!m_findBar->isOpen() || m_findBar->text().isEmpty()) {
        openFindBar();
        return;
    }
    if (m_findBar->target() == &m_pageWidget)
        findInPage(backward);
    else
        findInNote(backward, false);
}

void FindCommands::findInNote(bool backward, bool fromHere)
{
    const std::vector<TextRange> ranges
        = findPhrase(m_note.findableText(), m_findBar->text(), KanaMatching::Distinct, 100000);
    std::vector<std::pair<int, int>> marks;
    marks.reserve(ranges.size());
    for (const TextRange &range : ranges)
        marks.emplace_back(static_cast<int>(range.start), static_cast<int>(range.start + range.length));
    m_note.markMatches(marks);
    if (ranges.empty()) {
        m_findBar->showOutcome(0, 0);
        return;
    }
    // Typing stays on the match at the cursor; next and previous move from it, round the end.
    const qsizetype at = m_note.selection().first;
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
    // The match must not lie under the bar, which lies over the note's top.
    const int clearBelow = m_findBar->isOpen() ? m_findBar->geometry().bottom() + 1 : 0;
    m_note.select(marks[chosen].first, marks[chosen].second, clearBelow);
    m_findBar->showOutcome(static_cast<int>(chosen) + 1, static_cast<int>(ranges.size()));
}

void FindCommands::findInPage(bool backward)
{
    QPointer<FindBar> bar = m_findBar;
    m_page.findText(m_findBar->text(), backward, [bar](int active, int total) {
        if (bar)
            bar->showOutcome(active, total);
    });
}

} // namespace kobin::search
