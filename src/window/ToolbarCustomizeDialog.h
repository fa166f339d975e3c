#pragma once

#include <QDialog>
#include <QStringList>

class QListWidget;

namespace kobin {

// Lets the user choose the toolbar's buttons and their order. Every change is
// reported at once (the toolbar follows, and the layout is saved).
class ToolbarCustomizeDialog : public QDialog
{
    Q_OBJECT

public:
    ToolbarCustomizeDialog(const QStringList &layout, QWidget *parent = nullptr);

    QStringList layout() const;

    // The edits, for keyboard and tests alike.
    void addSelected();
    void removeSelected();
    void moveSelected(int step);
    void reset();

signals:
    void layoutChanged(const QStringList &layout);

private:
    void fill(const QStringList &layout);
    void announce();

    QListWidget *m_available;
    QListWidget *m_current;
};

} // namespace kobin
