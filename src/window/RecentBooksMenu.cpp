#include "RecentBooksMenu.h"

#include "Commands.h"
#include "MainWindow.h"
#include "RecentBooks.h"

#include <QAction>

namespace kobin {

void RecentBooksMenu::fill()
{
    const QStringList paths = recentbooks::load(m_settings);
    for (int j = 0; j < paths.size() && j + 1 < kRecentFileMenuElements; ++j) {
        m_window.menuAction(recentFileCommand(j))->setVisible(true);
        QAction *element = m_window.menuAction(recentFileCommand(j + 1));
        element->setText(paths[j]);
        element->setVisible(true);
    }
}

void RecentBooksMenu::add(const QString &path)
{
    QStringList firstFour;
    for (int i = 1; i <= 4; ++i)
        firstFour.append(m_window.menuAction(recentFileCommand(i))->text());
    recentbooks::add(m_settings, path, firstFour);
    fill();
}

} // namespace kobin
