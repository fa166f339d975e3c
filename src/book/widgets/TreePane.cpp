#include "TreePane.h"

namespace kobin {

TreePane::TreePane(ItemTree &tree, TreeEditor &editor, ItemTreeModel::IconForKey icons, QWidget *parent)
    : QTreeView(parent), m_tree(tree), m_model(tree, editor, std::move(icons))
{
    setObjectName(QStringLiteral("tvTreeView"));
    setHeaderHidden(true);
    setModel(&m_model);
    setUniformRowHeights(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
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
    for (int i = 1; i <= m_tree.count(); ++i)
        m_tree.ensureVisible(m_tree.item(i));
}

void TreePane::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    QTreeView::currentChanged(current, previous);
    if (m_selectingByProgram)
        return;
    TreeItem *item = m_model.itemAt(current);
    if (!item)
        return;
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
