#include "ScreenPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace kobin {

void centreOnScreen(QWidget &window)
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        window.move(area.left() + (area.width() - window.width()) / 2,
                    area.top() + (area.height() - window.height()) / 2);
    }
}

} // namespace kobin
