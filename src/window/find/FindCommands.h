#pragma once

#include "MatchMarker.h"

#include <QObject>
#include <optional>
#include <utility>

class QWidget;

namespace kobin {
class CommandRegistry;
class NotePane;
class PageView;
} // namespace kobin

namespace kobin::search {

class FindBar;

// The find in the note or the page shown ("検索", "次を検索", "前を検索"): the
// find bar over the pane that has the focus, every match marked and one of
// them selected, next and previous round the end. The match of a result the
// search in the book chose is marked the same way. The panes are known by their
// views and the widgets the bar lies over.
class FindCommands : public QObject, public MatchMarker
{
    Q_OBJECT

public:
    FindCommands(NotePane &note, QWidget &noteWidget, PageView &page, QWidget &pageWidget, QObject *parent = nullptr);

    void bindCommands(CommandRegistry &commands);
    FindBar &findBar() { return *m_findBar; }

    void markInNote(const QString &text) override;
    void markInPage(const QString &text) override;
    void unmark() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void openFindBar();
    void findAgain(bool backward);
    void findInNote(bool backward, bool fromHere);
    void findInPage(bool backward);

    NotePane &m_note;
    QWidget &m_noteWidget;
    PageView &m_page;
    QWidget &m_pageWidget;
    FindBar *m_findBar; // lies over the pane it finds in, which owns it
    // The match left selected in the note when the bar closed: shown, but never typed over.
    std::optional<std::pair<int, int>> m_keptMatch;
};

} // namespace kobin::search
