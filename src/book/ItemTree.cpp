#include "ItemTree.h"

#include "ImageKeys.h"

#include <algorithm>

namespace kobin {

TreeItem *TreeItem::parent() const
{
    return m_parent && !m_parent->m_isHiddenRoot ? m_parent : nullptr;
}

TreeItem *TreeItem::next() const
{
    const auto &siblings = m_parent->m_children;
    return m_row + 1 < static_cast<int>(siblings.size()) ? siblings[m_row + 1] : nullptr;
}

TreeItem *TreeItem::previous() const
{
    return m_row > 0 ? m_parent->m_children[m_row - 1] : nullptr;
}

TreeItem *TreeItem::firstSibling() const
{
    return m_parent->m_children.front();
}

TreeItem *TreeItem::lastSibling() const
{
    return m_parent->m_children.back();
}

ItemTree::ItemTree() : m_root(std::make_unique<TreeItem>())
{
    m_root->m_isHiddenRoot = true;
}

ItemTree::~ItemTree()
{
    // A view that outlives its book would read freed items.
    Q_ASSERT_X(m_observers.empty(), "~ItemTree", "an observer is still attached");
}

void ItemTree::addObserver(ItemTreeObserver *observer)
{
    Q_ASSERT(std::find(m_observers.begin(), m_observers.end(), observer) == m_observers.end());
    m_observers.push_back(observer);
}

void ItemTree::removeObserver(ItemTreeObserver *observer)
{
    m_observers.erase(std::remove(m_observers.begin(), m_observers.end(), observer), m_observers.end());
}

TreeItem *ItemTree::add(const QString &relativeKey, Relationship relationship, const QString &key,
                        const QString &text, const QString &image, const QString &selectedImage)
{
    TreeItem *relative = nullptr;
    if (!relativeKey.isEmpty()) {
        relative = item(relativeKey);
        if (!relative)
            return nullptr;
    }
    return add(relative, relationship, key, text, image, selectedImage);
}

TreeItem *ItemTree::add(TreeItem *relative, Relationship relationship, const QString &key,
                        const QString &text, const QString &image, const QString &selectedImage)
{
    const int number = keyNumber(key);
    const QString &knownImage = images::imageKey(image);
    const QString &knownSelectedImage = images::imageKey(selectedImage);
    if (number == 0 || knownImage.isEmpty() || (!selectedImage.isEmpty() && knownSelectedImage.isEmpty())
        || m_byNumber.contains(number))
        return nullptr;

    TreeItem *parent = m_root.get();
    int row = static_cast<int>(m_root->m_children.size());
    if (relative) {
        switch (relationship) {
        case Relationship::Last:
            parent = relative->m_parent;
            row = static_cast<int>(parent->m_children.size());
            break;
        case Relationship::Next:
            parent = relative->m_parent;
            row = relative->m_row + 1;
            break;
        case Relationship::Previous:
            parent = relative->m_parent;
            row = relative->m_row;
            break;
        case Relationship::Child:
            parent = relative;
            row = static_cast<int>(relative->m_children.size());
            break;
        }
    } else if (relationship != Relationship::Last) {
        return nullptr; // every other relationship needs an item to relate to
    }
    return insert(parent, row, key, number, text, knownImage, knownSelectedImage);
}

TreeItem *ItemTree::insert(TreeItem *parent, int row, const QString &key, int number,
                           const QString &text, const QString &image, const QString &selectedImage)
{
    auto owned = std::make_unique<TreeItem>();
    TreeItem *item = owned.get();
    item->m_key = key;
    item->m_text = text;
    item->m_image = image;
    item->m_selectedImage = selectedImage;
    item->m_parent = parent;
    item->m_row = row;
    item->m_index = count() + 1;

    notify(&ItemTreeObserver::itemAboutToBeAdded, parent->m_isHiddenRoot ? nullptr : parent, row);
    auto &siblings = parent->m_children;
    siblings.insert(siblings.begin() + row, item);
    for (int i = row + 1; i < static_cast<int>(siblings.size()); ++i)
        siblings[i]->m_row = i;
    m_byIndex.push_back(std::move(owned));
    m_byNumber.insert(number, item);
    m_keyNumbers.insert(number);
    notify(&ItemTreeObserver::itemAdded, item);
    return item;
}

bool ItemTree::remove(const QString &key)
{
    TreeItem *found = item(key);
    if (!found)
        return false;
    removeItem(found);
    return true;
}

bool ItemTree::remove(int index)
{
    TreeItem *found = item(index);
    if (!found)
        return false;
    removeItem(found);
    return true;
}

void ItemTree::removeItem(TreeItem *item)
{
    notify(&ItemTreeObserver::itemAboutToBeRemoved, item);

    // Walk the sub-tree without recursion: books can be arbitrarily deep.
    std::vector<TreeItem *> pending{item};
    bool selectionGone = false;
    while (!pending.empty()) {
        TreeItem *current = pending.back();
        pending.pop_back();
        const int number = keyNumber(current->m_key);
        m_byNumber.remove(number);
        m_keyNumbers.erase(number);
        selectionGone = selectionGone || current == m_selected;
        current->m_index = 0; // marks it for removal below
        pending.insert(pending.end(), current->m_children.begin(), current->m_children.end());
    }

    auto &siblings = item->m_parent->m_children;
    siblings.erase(siblings.begin() + item->m_row);
    for (int i = item->m_row; i < static_cast<int>(siblings.size()); ++i)
        siblings[i]->m_row = i;

    m_byIndex.erase(std::remove_if(m_byIndex.begin(), m_byIndex.end(),
                                   [](const std::unique_ptr<TreeItem> &node) { return node->m_index == 0; }),
                    m_byIndex.end());
    for (size_t i = 0; i < m_byIndex.size(); ++i)
        m_byIndex[i]->m_index = static_cast<int>(i) + 1;

    if (selectionGone)
        m_selected = nullptr;
    notify(&ItemTreeObserver::itemRemoved);
    if (selectionGone)
        notify(&ItemTreeObserver::selectionChanged, nullptr);
}

void ItemTree::clear()
{
    notify(&ItemTreeObserver::treeAboutToBeCleared);
    m_root->m_children.clear();
    m_byIndex.clear();
    m_byNumber.clear();
    m_keyNumbers.clear();
    m_selected = nullptr;
    notify(&ItemTreeObserver::treeCleared);
}

void ItemTree::reserve(int items)
{
    m_byIndex.reserve(static_cast<size_t>(items));
    m_byNumber.reserve(items);
}

TreeItem *ItemTree::item(int index) const
{
    if (index < 1 || index > count())
        return nullptr;
    return m_byIndex[index - 1].get();
}

TreeItem *ItemTree::item(QStringView key) const
{
    // No item has number 0: an invalid key finds nothing.
    return m_byNumber.value(keyNumber(key), nullptr);
}

void ItemTree::select(TreeItem *item)
{
    if (m_selected == item)
        return;
    m_selected = item;
    notify(&ItemTreeObserver::selectionChanged, item);
}

void ItemTree::setText(TreeItem *item, const QString &text)
{
    item->m_text = text;
    notify(&ItemTreeObserver::itemChanged, item);
}

bool ItemTree::setImages(TreeItem *item, const QString &selectedImage, const QString &expandedImage)
{
    const QString &knownSelectedImage = images::imageKey(selectedImage);
    const QString &knownExpandedImage = images::imageKey(expandedImage);
    if ((!selectedImage.isEmpty() && knownSelectedImage.isEmpty())
        || (!expandedImage.isEmpty() && knownExpandedImage.isEmpty()))
        return false;
    item->m_selectedImage = knownSelectedImage;
    item->m_expandedImage = knownExpandedImage;
    notify(&ItemTreeObserver::itemChanged, item);
    return true;
}

void ItemTree::setExpanded(TreeItem *item, bool expanded)
{
    if (item->m_expanded == expanded)
        return;
    item->m_expanded = expanded;
    notify(&ItemTreeObserver::itemChanged, item);
}

void ItemTree::ensureVisible(TreeItem *item)
{
    for (TreeItem *ancestor = item->parent(); ancestor; ancestor = ancestor->parent())
        setExpanded(ancestor, true);
}

QString ItemTree::nextFreeKey() const
{
    return keyForNumber(m_keyNumbers.smallestFree());
}

} // namespace kobin
