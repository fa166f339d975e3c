#include "ItemTreeModel.h"

namespace kobin {

ItemTreeModel::ItemTreeModel(ItemTree &tree, IconForKey icons, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree), m_icons(std::move(icons))
{
    m_tree.addObserver(this);
}

ItemTreeModel::~ItemTreeModel()
{
    m_tree.removeObserver(this);
}

QModelIndex ItemTreeModel::indexOf(const TreeItem *item) const
{
    return item ? createIndex(item->row(), 0, const_cast<TreeItem *>(item)) : QModelIndex();
}

TreeItem *ItemTreeModel::itemAt(const QModelIndex &index) const
{
    return index.isValid() ? static_cast<TreeItem *>(index.internalPointer()) : nullptr;
}

QModelIndex ItemTreeModel::index(int row, int column, const QModelIndex &parent) const
{
    if (column != 0 || row < 0)
        return {};
    const TreeItem *parentItem = itemAt(parent);
    const auto &siblings = parentItem ? parentItem->children() : m_tree.topLevelItems();
    if (row >= static_cast<int>(siblings.size()))
        return {};
    return createIndex(row, 0, siblings[static_cast<size_t>(row)]);
}

QModelIndex ItemTreeModel::parent(const QModelIndex &child) const
{
    const TreeItem *item = itemAt(child);
    return item ? indexOf(item->parent()) : QModelIndex();
}

int ItemTreeModel::rowCount(const QModelIndex &parent) const
{
    if (parent.column() > 0)
        return 0;
    const TreeItem *item = itemAt(parent);
    return item ? item->childCount() : static_cast<int>(m_tree.topLevelItems().size());
}

int ItemTreeModel::columnCount(const QModelIndex &) const
{
    return 1;
}

QString ItemTreeModel::shownImage(const TreeItem *item) const
{
    if (item == m_tree.selectedItem() && !item->selectedImage().isEmpty())
        return item->selectedImage();
    if (item->isExpanded() && !item->expandedImage().isEmpty())
        return item->expandedImage();
    return item->image();
}

QVariant ItemTreeModel::data(const QModelIndex &index, int role) const
{
    const TreeItem *item = itemAt(index);
    if (!item)
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return item->text();
    if (role == Qt::DecorationRole)
        return m_icons(shownImage(item));
    return {};
}

void ItemTreeModel::itemAboutToBeAdded(TreeItem *parent, int row)
{
    beginInsertRows(indexOf(parent), row, row);
}

void ItemTreeModel::itemAdded(TreeItem *)
{
    endInsertRows();
}

void ItemTreeModel::itemAboutToBeRemoved(TreeItem *item)
{
    for (const TreeItem *above = m_shownSelected; above; above = above->parent()) {
        if (above == item) {
            m_shownSelected = nullptr; // goes with the sub-tree
            break;
        }
    }
    beginRemoveRows(indexOf(item->parent()), item->row(), item->row());
}

void ItemTreeModel::itemRemoved()
{
    endRemoveRows();
}

void ItemTreeModel::treeAboutToBeCleared()
{
    m_shownSelected = nullptr;
    beginResetModel();
}

void ItemTreeModel::treeCleared()
{
    endResetModel();
}

void ItemTreeModel::itemChanged(TreeItem *item)
{
    const QModelIndex index = indexOf(item);
    emit dataChanged(index, index);
    emit expansionChanged(item);
}

void ItemTreeModel::selectionChanged(TreeItem *item)
{
    // Repaint the item left and the item reached: their pictures change.
    if (m_shownSelected && m_shownSelected != item) {
        const QModelIndex previous = indexOf(m_shownSelected);
        emit dataChanged(previous, previous);
    }
    m_shownSelected = item;
    if (item) {
        const QModelIndex index = indexOf(item);
        emit dataChanged(index, index);
    }
    emit selectedByProgram(item);
}

} // namespace kobin
