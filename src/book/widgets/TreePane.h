#pragma once

#include "ItemTreeModel.h"

#include <QTreeView>

namespace kobin {

// The tree pane. A user's choice of an item (mouse or keyboard) is reported as
// itemClicked; a selection made by the program is not.
class TreePane : public QTreeView
{
    Q_OBJECT

public:
    TreePane(ItemTree &tree, TreeEditor &editor, ItemTreeModel::IconForKey icons, QWidget *parent = nullptr);

    ItemTreeModel &itemModel() { return m_model; }
    void expandAllItems();
    // Edits the selected item's caption in place (also F2).
    void startRenaming();

signals:
    void itemClicked(kobin::TreeItem *item);
    void focusEntered();
    void deleteKeyPressed();
    // A right-button press selected the item under the pointer (without showing it).
    void contextMenuWanted(const QPoint &globalPosition);

protected:
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void focusInEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    void showProgramSelection(TreeItem *item);
    void followExpansion(TreeItem *item);

    ItemTree &m_tree;
    ItemTreeModel m_model;
    bool m_selectingByProgram = false;
};

} // namespace kobin
