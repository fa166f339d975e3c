#include "SearchDock.h"

#include "SearchPane.h"

#include <QMainWindow>

namespace kobin::search {

SearchDock::SearchDock(QWidget *parent)
    : QDockWidget(QStringLiteral("ブック内を検索"), parent), m_pane(new SearchPane)
{
    setObjectName(QStringLiteral("dockSearch"));
    setWidget(m_pane);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
}

QString SearchDock::query() const
{
    return m_pane->query();
}

KanaMatching SearchDock::kana() const
{
    return m_pane->kana();
}

void SearchDock::open()
{
    if (!isVisible()) {
        if (auto *window = qobject_cast<QMainWindow *>(parentWidget()))
            window->resizeDocks({this}, {window->height() / 3}, Qt::Vertical); // the panes keep most of the window
    }
    show();
    raise();
    m_pane->focusQuery();
}

void SearchDock::showRows(const std::vector<Row> &rows)
{
    m_pane->showRows(rows);
}

void SearchDock::setFooter(const QString &footer)
{
    m_pane->setFooter(footer);
}

} // namespace kobin::search
