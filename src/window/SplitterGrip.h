#pragma once

#include <QWidget>

namespace kobin {

// An invisible grab area beside a pane; dragging it moves a splitter.
// Positions are the pointer's offset within the grab area, in pixels.
class SplitterGrip : public QWidget
{
    Q_OBJECT

public:
    SplitterGrip(Qt::Orientation orientation, const QString &name, QWidget *parent);

signals:
    void pressed(QPoint offset);
    void moved(QPoint offset);
    void released();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

// The bar drawn where a splitter is being dragged.
class SplitterBar : public QWidget
{
public:
    SplitterBar(const QString &name, QWidget *parent);
};

} // namespace kobin
