#include "TreePane.h"

#include "ItemNameDialog.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <utility>

namespace kobin {

namespace {

// Captions edited in place stay storable in the tree string as they are typed.
class CaptionDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            keepCaptionStorable(*line);
        return editor;
    }
};

} // namespace

TreePane::TreePane(ItemTree &tree, TreeEditor &editor, ItemTreeModel::IconForKey icons, QWidget *parent)
    : QTreeView(parent), m_tree(tree), m_model(tree, editor, std::move(icons))
{
    setObjectName(QStringLiteral("tvTreeView"));
    setHeaderHidden(true);
    // Captions are shown whole: a tree narrower than they are scrolls sideways.
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    setTextElideMode(Qt::ElideNone);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setModel(&m_model);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::EditKeyPressed);
    setItemDelegate(new CaptionDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    // An item is dragged with its sub-tree onto another, and becomes its last child.
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    // Drops are checked against this book's own records, so a drag from elsewhere moves nothing.
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDragDropOverwriteMode(true);
    connect(&m_model, &ItemTreeModel::selectedByProgram, this, &TreePane::showProgramSelection);
    connect(&m_model, &ItemTreeModel::expansionChanged, this, &TreePane::followExpansion);
    connect(this, &QTreeView::expanded, this, [this](const QModelIndex &index) {
        if (TreeItem *item = m_model.itemAt(index))
            m_tree.setExpanded(item, true);
    });
    connect(this, &QTreeView::collapsed, this, [this](const QModelIndex &index) {
        if (TreeItem *item = m_model.itemAt(index))
            m_tree.setExpanded(item, false);
    });
}

void TreePane::expandAllItems()
{
    // Laid out once, later: the view laid out after each folder measured its rows
    // each time, which took a large book longer than everything else of opening it.
    scheduleDelayedItemsLayout();
    for (int i = 1; i <= m_tree.count(); ++i)
        m_tree.ensureVisible(m_tree.item(i));
}

void TreePane::startRenaming()
{
    edit(currentIndex());
}

void TreePane::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && state() != EditingState) {
        emit deleteKeyPressed();
        return;
    }
    m_followingMouse = false; // a key chooses at once, also after a release that went astray
    QTreeView::keyPressEvent(event);
}

void TreePane::mousePressEvent(QMouseEvent *event)
{
    const QModelIndex pressed = indexAt(event->position().toPoint());
    if (event->button() == Qt::RightButton) {
        // The right button selects the item under the pointer for the Tree menu, without showing it.
        m_tree.select(m_model.itemAt(pressed));
        emit contextMenuWanted(event->globalPosition().toPoint());
        return;
    }
    if (event->button() != Qt::LeftButton) {
        QTreeView::mousePressEvent(event);
        return;
    }
    m_followingMouse = true;
    QTreeView::mousePressEvent(event);
    // The view selects the item pressed, which a drag needs; a press on an expand
    // button leaves it as it was and chooses nothing.
    m_pressedItem = selectionModel()->isSelected(pressed) ? pressed : QModelIndex();
    if (!pressed.isValid())
        showProgramSelection(m_tree.selectedItem()); // the view has let go of it
}

void TreePane::mouseReleaseEvent(QMouseEvent *event)
{
    QTreeView::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !std::exchange(m_followingMouse, false))
        return;
    const QModelIndex released = indexAt(event->position().toPoint());
    if (m_pressedItem.isValid() && released == m_pressedItem)
        choose(m_model.itemAt(released));
    else
        showProgramSelection(m_tree.selectedItem());
}

void TreePane::startDrag(Qt::DropActions supportedActions)
{
    m_pressedItem = QPersistentModelIndex();
    QTreeView::startDrag(supportedActions);
    m_followingMouse = false;
    // A drop made has selected (and shown) the item dropped; a refused one leaves the item selected before.
    showProgramSelection(m_tree.selectedItem());
}

bool TreePane::takeForeignDrag(QDropEvent *event, bool drop)
{
    const QMimeData *data = event->mimeData();
    if (ItemTreeModel::foreignDropOf(data).isEmpty())
        return false;
    const Qt::DropActions possible = event->possibleActions();
    const Qt::DropAction action = possible & Qt::CopyAction ? Qt::CopyAction : Qt::LinkAction;
    const QModelIndex target = indexAt(event->position().toPoint());
    // Entering anywhere is accepted, so that the moves over the items that follow are heard.
    const bool taken = (possible & action)
        && (event->type() == QEvent::DragEnter
            || (drop ? m_model.dropMimeData(data, action, -1, 0, target)
                     : m_model.canDropMimeData(data, action, -1, 0, target)));
    if (taken) {
        event->setDropAction(action);
        event->accept();
    } else {
        event->ignore();
    }
    return true;
}

void TreePane::dragEnterEvent(QDragEnterEvent *event)
{
    if (!takeForeignDrag(event, false))
        QTreeView::dragEnterEvent(event);
}

void TreePane::dragMoveEvent(QDragMoveEvent *event)
{
    if (!takeForeignDrag(event, false))
        QTreeView::dragMoveEvent(event);
}

void TreePane::dropEvent(QDropEvent *event)
{
    if (!takeForeignDrag(event, true))
        QTreeView::dropEvent(event);
}

void TreePane::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_selectingByProgram || m_followingMouse || m_model.isRemovingItems())
        return;
    if (TreeItem *item = m_model.itemAt(current))
        choose(item);
}

void TreePane::choose(TreeItem *item)
{
    m_selectingByProgram = true;
    m_tree.select(item);
    m_selectingByProgram = false;
    emit itemClicked(item);
}

void TreePane::focusInEvent(QFocusEvent *event)
{
    QTreeView::focusInEvent(event);
    emit focusEntered();
}

void TreePane::showProgramSelection(TreeItem *item)
{
    if (m_selectingByProgram)
        return;
    m_selectingByProgram = true;
    setCurrentIndex(m_model.indexOf(item));
    m_selectingByProgram = false;
}

void TreePane::followExpansion(TreeItem *item)
{
    const QModelIndex index = m_model.indexOf(item);
    if (isExpanded(index) != item->isExpanded())
        setExpanded(index, item->isExpanded());
}

} // namespace kobin
