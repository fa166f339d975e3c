#pragma once

#include "ItemTree.h"
#include "TreeEditor.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QUrl>
#include <functional>

namespace kobin {

// Shows the item tree to a QTreeView: captions, and the picture of each item's
// image key (the selected image while selected, the expanded image while expanded).
// Captions edited in place and items dropped onto others change the tree through
// the tree editor.
class ItemTreeModel : public QAbstractItemModel, private ItemTreeObserver
{
    Q_OBJECT

public:
    using IconForKey = std::function<QIcon(const QString &imageKey)>;

    // Drag data: the dragged item's tree-string records (TreeEditor::recordsOf), UTF-8.
    static constexpr char kTreeRecordsMimeType[] = "application/x-kobin-tree-records";

    ItemTreeModel(ItemTree &tree, TreeEditor &editor, IconForKey icons, QObject *parent = nullptr);
    ~ItemTreeModel() override;

    QModelIndex indexOf(const TreeItem *item) const;
    // True while items leave the tree: a view moving its current item off them
    // then is no choice of the user's.
    bool isRemovingItems() const { return m_removingItems; }
    TreeItem *itemAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    // Every item can be renamed in place and dropped onto; all but the book item
    // can be dragged.
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Qt::EditRole renames the item; an empty or unchanged caption is refused.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    Qt::DropActions supportedDragActions() const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    // What another program drags onto the tree: a link from a web browser (its
    // first http: or https: address) or a page file from a file manager (its first
    // .html, .htm, .mht or .mhtml file); a page file goes before a link. Both
    // empty for anything else.
    struct ForeignDrop {
        QUrl link;
        QString pageFile;
        bool isEmpty() const { return link.isEmpty() && pageFile.isEmpty(); }
    };
    static ForeignDrop foreignDropOf(const QMimeData *data);

    // A drop lands on an item (row -1), never between items or on empty space.
    // An item of this tree is moved there when TreeEditor::dropOnto allows it; drag
    // data that describes no item of this tree as it is now is refused. A link or a
    // page file of another program is copied (never moved: its source stays) and
    // reported for the item to take in as a child.
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    // A rename or a drop through this model changed the tree.
    void treeEdited(const kobin::TreeEdit &edit);
    // Another program's link or page file was dropped onto the item of targetKey.
    void linkDropped(const QUrl &link, const QString &targetKey);
    void pageFileDropped(const QString &pageFile, const QString &targetKey);
    void selectedByProgram(kobin::TreeItem *item);
    void expansionChanged(kobin::TreeItem *item);

private:
    void itemAboutToBeAdded(TreeItem *parent, int row) override;
    void itemAdded(TreeItem *item) override;
    void itemAboutToBeRemoved(TreeItem *item) override;
    void itemRemoved() override;
    void treeAboutToBeCleared() override;
    void treeCleared() override;
    void itemChanged(TreeItem *item) override;
    void selectionChanged(TreeItem *item) override;

    QString shownImage(const TreeItem *item) const;
    // The item the drag data names when the drop may move it; nullptr otherwise.
    const TreeItem *droppable(const QMimeData *data, Qt::DropAction action, int row, const QModelIndex &parent) const;

    ItemTree &m_tree;
    TreeEditor &m_editor;
    IconForKey m_icons;
    TreeItem *m_shownSelected = nullptr;
    bool m_removingItems = false;
};

} // namespace kobin
