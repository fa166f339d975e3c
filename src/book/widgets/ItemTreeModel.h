#pragma once

#include "ItemTree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>

namespace kobin {

// Shows the item tree to a QTreeView: captions, and the picture of each item's
// image key (the selected image while selected, the expanded image while expanded).
class ItemTreeModel : public QAbstractItemModel, private ItemTreeObserver
{
    Q_OBJECT

public:
    using IconForKey = std::function<QIcon(const QString &imageKey)>;

    ItemTreeModel(ItemTree &tree, IconForKey icons, QObject *parent = nullptr);
    ~ItemTreeModel() override;

    QModelIndex indexOf(const TreeItem *item) const;
    TreeItem *itemAt(const QModelIndex &index) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

signals:
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

    ItemTree &m_tree;
    IconForKey m_icons;
    TreeItem *m_shownSelected = nullptr;
};

} // namespace kobin
