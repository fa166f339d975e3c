#include "ItemTreeModel.h"

#include "CaptureAddress.h"

#include <QFileInfo>
#include <QMimeData>

namespace kobin {

namespace {

QString draggedRecords(const QMimeData *data)
{
    return data ? QString::fromUtf8(data->data(ItemTreeModel::kTreeRecordsMimeType)) : QString();
}

// Firefox's own link format: the address, a line break and the link's text, in UTF-16.
constexpr char kMozUrlMimeType[] = "text/x-moz-url";

bool isPageFile(const QUrl &url)
{
    static const QStringList suffixes = {QStringLiteral("html"), QStringLiteral("htm"), QStringLiteral("mht"),
                                         QStringLiteral("mhtml")};
    return url.isLocalFile() && suffixes.contains(QFileInfo(url.toLocalFile()).suffix().toLower());
}

bool isWebLink(const QUrl &url)
{
    QString refusal;
    return capture::captureAddress(url.toString(), &refusal).has_value();
}

} // namespace

ItemTreeModel::ForeignDrop ItemTreeModel::foreignDropOf(const QMimeData *data)
{
    ForeignDrop drop;
    if (!data || data->hasFormat(kTreeRecordsMimeType))
        return drop;
    QList<QUrl> urls = data->urls();
    if (data->hasFormat(kMozUrlMimeType)) {
        const QByteArray bytes = data->data(kMozUrlMimeType);
        const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData()), bytes.size() / 2);
        urls.append(QUrl(text.section(u'\n', 0, 0).trimmed()));
    }
    for (const QUrl &url : urls) {
        if (drop.pageFile.isEmpty() && isPageFile(url))
            drop.pageFile = url.toLocalFile();
        if (drop.link.isEmpty() && isWebLink(url))
            drop.link = url;
    }
    return drop;
}

ItemTreeModel::ItemTreeModel(ItemTree &tree, TreeEditor &editor, IconForKey icons, QObject *parent)
    : QAbstractItemModel(parent), m_tree(tree), m_editor(editor), m_icons(std::move(icons))
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

Qt::ItemFlags ItemTreeModel::flags(const QModelIndex &index) const
{
    const TreeItem *item = itemAt(index);
    if (!item)
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsEditable | Qt::ItemIsDropEnabled;
    if (!TreeEditor::isBookItem(*item))
        flags |= Qt::ItemIsDragEnabled;
    return flags;
}

bool ItemTreeModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    const TreeItem *item = itemAt(index);
    if (!item || role != Qt::EditRole)
        return false;
    // The tree tells this model of the new caption, which repaints it.
    const std::optional<TreeEdit> edit = m_editor.rename(item->key(), value.toString());
    if (edit)
        emit treeEdited(*edit);
    return edit.has_value();
}

Qt::DropActions ItemTreeModel::supportedDragActions() const
{
    return Qt::MoveAction;
}

Qt::DropActions ItemTreeModel::supportedDropActions() const
{
    return Qt::MoveAction; // the tree's own items; another program's are copied, by the pane
}

QStringList ItemTreeModel::mimeTypes() const
{
    return {kTreeRecordsMimeType};
}

QMimeData *ItemTreeModel::mimeData(const QModelIndexList &indexes) const
{
    // One item is dragged at a time: the tree selects one item only.
    for (const QModelIndex &index : indexes) {
        const TreeItem *item = itemAt(index);
        if (item && !TreeEditor::isBookItem(*item)) {
            auto *data = new QMimeData;
            data->setData(kTreeRecordsMimeType, TreeEditor::recordsOf(*item).toUtf8());
            return data;
        }
    }
    return nullptr;
}

const TreeItem *ItemTreeModel::droppable(const QMimeData *data, Qt::DropAction action, int row,
                                         const QModelIndex &parent) const
{
    const TreeItem *target = itemAt(parent);
    if (action != Qt::MoveAction || row != -1 || !target)
        return nullptr;
    const TreeItem *dragged = m_editor.itemOfRecords(draggedRecords(data));
    return dragged && m_editor.canDropOnto(dragged->key(), target->key()) ? dragged : nullptr;
}

bool ItemTreeModel::canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int,
                                    const QModelIndex &parent) const
{
    if ((action == Qt::CopyAction || action == Qt::LinkAction) && row == -1 && itemAt(parent))
        return !foreignDropOf(data).isEmpty();
    return droppable(data, action, row, parent);
}

bool ItemTreeModel::dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                                 const QModelIndex &parent)
{
    if (action == Qt::CopyAction || action == Qt::LinkAction) {
        if (!canDropMimeData(data, action, row, column, parent))
            return false;
        const ForeignDrop drop = foreignDropOf(data);
        const QString targetKey = itemAt(parent)->key();
        if (drop.pageFile.isEmpty())
            emit linkDropped(drop.link, targetKey);
        else
            emit pageFileDropped(drop.pageFile, targetKey);
        return true;
    }
    const TreeItem *dragged = droppable(data, action, row, parent);
    if (!dragged)
        return false;
    const std::optional<TreeEdit> edit = m_editor.dropOnto(dragged->key(), itemAt(parent)->key());
    if (edit)
        emit treeEdited(*edit);
    return edit.has_value();
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
    m_removingItems = true;
    beginRemoveRows(indexOf(item->parent()), item->row(), item->row());
}

void ItemTreeModel::itemRemoved()
{
    endRemoveRows();
    m_removingItems = false;
}

void ItemTreeModel::treeAboutToBeCleared()
{
    m_shownSelected = nullptr;
    m_removingItems = true;
    beginResetModel();
}

void ItemTreeModel::treeCleared()
{
    endResetModel();
    m_removingItems = false;
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
