#pragma once

#include <QHash>
#include <QWidget>

class QAction;

namespace kobin {

// The toolbar: a button for each action added, in the order added, in rows, as many as the width
// needs (see placeInRows). Unlike a QToolBar, it hides no button behind "»".
class ToolbarRows : public QWidget
{
    Q_OBJECT

public:
    explicit ToolbarRows(QWidget *parent = nullptr);

    void addSeparator();
    // Takes every button and separator away.
    void clear();

protected:
    void actionEvent(QActionEvent *event) override;

private:
    QHash<QAction *, QWidget *> m_shown; // the button or separator line of each action
};

} // namespace kobin
