#include "ScreenPlacement.h"

#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kobin {

void centreOnScreen(QWidget &window)
{
    if (!window.testAttribute(Qt::WA_Resized))
        window.adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        window.move(centredIn(screen->geometry(), window.frameGeometry().size()));
}

void placeBeside(QWidget &window, const QWidget &owner)
{
    if (const QScreen *screen = owner.screen())
        window.move(besideOwner(owner.frameGeometry(), window.frameGeometry().size(), screen->availableGeometry()));
}

} // namespace kobin
