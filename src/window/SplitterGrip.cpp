#include "SplitterGrip.h"

#include <QMouseEvent>

namespace kobin {

SplitterGrip::SplitterGrip(Qt::Orientation orientation, const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setCursor(orientation == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    setMouseTracking(false);
}

void SplitterGrip::mousePressEvent(QMouseEvent *event)
{
    emit pressed(event->position().toPoint());
}

void SplitterGrip::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() != Qt::NoButton)
        emit moved(event->position().toPoint());
}

void SplitterGrip::mouseReleaseEvent(QMouseEvent *)
{
    emit released();
}

SplitterBar::SplitterBar(const QString &name, QWidget *parent) : QWidget(parent)
{
    setObjectName(name);
    setAutoFillBackground(true);
    QPalette colors = palette();
    colors.setColor(QPalette::Window, colors.color(QPalette::Dark)); // the button-shadow colour
    setPalette(colors);
    hide();
}

} // namespace kobin
