#pragma once

#include "ItemTreeModel.h"

#include <QTreeView>

namespace kobin {

// The tree pane. A user's choice of an item (mouse or keyboard) is reported as
// itemClicked; a selection made by the program is not. The mouse chooses an item
// when its button is let go on the item it went down on; an item pressed and
// dragged away, or passed over with the button down, is not chosen, and the
// selected item stays highlighted through a click on empty space. A link dragged
// from a web browser or a page file from a file manager is dropped onto an item
// as a copy, whatever the other program offers, so that its source stays.
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
    void mouseReleaseEvent(QMouseEvent *event) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void choose(TreeItem *item);
    void showProgramSelection(TreeItem *item);
    void followExpansion(TreeItem *item);
    // Another program's link or page file over the tree: copied onto the item under
    // the pointer (drop), or offered there. False for the tree's own items.
    bool takeForeignDrag(QDropEvent *event, bool drop);

    ItemTree &m_tree;
    ItemTreeModel m_model;
    bool m_selectingByProgram = false;
    // From a left press to its release or the end of the drag it starts, the view's
    // current item follows the mouse without being chosen.
    bool m_followingMouse = false;
    QPersistentModelIndex m_pressedItem; // the item the left button went down on
};

} // namespace kobin
