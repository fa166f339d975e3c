#pragma once

#include "KeyNumbers.h"

#include <QHash>
#include <QString>
#include <utility>
#include <memory>
#include <vector>

namespace kobin {

// Where Add places a new item relative to an existing one.
enum class Relationship {
    Last = 1,     // last among the relative's siblings; last at the top level without a relative
    Next = 2,     // directly after the relative
    Previous = 3, // directly before the relative
    Child = 4,    // last child of the relative
};

class ItemTree;

// One item of the book: key, caption, image keys and its place in the tree.
class TreeItem
{
public:
    const QString &key() const { return m_key; }
    const QString &text() const { return m_text; }
    const QString &image() const { return m_image; }
    const QString &selectedImage() const { return m_selectedImage; }
    const QString &expandedImage() const { return m_expandedImage; }
    bool isExpanded() const { return m_expanded; }

    // Position among all items in order of addition, from 1; gaps close on removal.
    int index() const { return m_index; }

    TreeItem *parent() const; // nullptr at the top level
    int row() const { return m_row; } // position among its siblings, from 0
    int childCount() const { return static_cast<int>(m_children.size()); }
    const std::vector<TreeItem *> &children() const { return m_children; }
    TreeItem *child() const { return m_children.empty() ? nullptr : m_children.front(); }
    TreeItem *next() const;
    TreeItem *previous() const;
    TreeItem *firstSibling() const;
    TreeItem *lastSibling() const;

private:
    friend class ItemTree;

    QString m_key;
    QString m_text;
    QString m_image;
    QString m_selectedImage;
    QString m_expandedImage;
    TreeItem *m_parent = nullptr; // the hidden root for top-level items
    std::vector<TreeItem *> m_children;
    int m_index = 0;
    int m_row = 0;
    bool m_expanded = false;
    bool m_isHiddenRoot = false;
};

// Told about every change so that a view (and whatever else follows the tree)
// can keep up with it.
class ItemTreeObserver
{
public:
    virtual ~ItemTreeObserver() = default;
    virtual void itemAboutToBeAdded(TreeItem *parent, int row) = 0;
    virtual void itemAdded(TreeItem *item) = 0;
    virtual void itemAboutToBeRemoved(TreeItem *item) = 0;
    virtual void itemRemoved() = 0;
    virtual void treeAboutToBeCleared() = 0;
    virtual void treeCleared() = 0;
    virtual void itemChanged(TreeItem *item) = 0;
    virtual void selectionChanged(TreeItem *item) = 0;
};

// The open book's items. Holds exactly the operations the program relies on from
// a tree control; parents passed in are nullptr for the top level.
class ItemTree
{
public:
    ItemTree();
    ~ItemTree();
    ItemTree(const ItemTree &) = delete;
    ItemTree &operator=(const ItemTree &) = delete;

    // Adds one item and returns it; returns nullptr and adds nothing when the key
    // is not a valid item key or is already used, when the relative is given but
    // does not exist, or when an image key is not in the image list.
    TreeItem *add(const QString &relativeKey, Relationship relationship, const QString &key,
                  const QString &text, const QString &image, const QString &selectedImage = {});
    TreeItem *add(TreeItem *relative, Relationship relationship, const QString &key,
                  const QString &text, const QString &image, const QString &selectedImage = {});

    // Removes the item with its whole sub-tree; false when there is no such item.
    bool remove(const QString &key);
    bool remove(int index);
    void clear();
    void reserve(int items); // room for this many items, before adding a large book

    int count() const { return static_cast<int>(m_byIndex.size()); }
    TreeItem *item(int index) const; // from 1; nullptr when out of range
    TreeItem *item(const QString &key) const { return item(QStringView(key)); }
    TreeItem *item(QStringView key) const;
    const std::vector<TreeItem *> &topLevelItems() const { return m_root->m_children; }

    TreeItem *selectedItem() const { return m_selected; }
    void select(TreeItem *item); // never raises a click

    void setText(TreeItem *item, const QString &text);
    bool setImages(TreeItem *item, const QString &selectedImage, const QString &expandedImage);
    void setExpanded(TreeItem *item, bool expanded);
    void ensureVisible(TreeItem *item); // expands every ancestor

    // "a" followed by the smallest number that no item's key uses.
    QString nextFreeKey() const;

    // Every change is told to each attached observer, in the order they were
    // attached. An observer detaches before the tree goes, and never attaches or
    // detaches while it is being told of a change.
    void addObserver(ItemTreeObserver *observer);
    void removeObserver(ItemTreeObserver *observer);

    // Moves on with every change told to the observers: what was made of the tree
    // at one revision still holds while the revision stays.
    quint64 revision() const { return m_revision; }

private:
    // image and selectedImage are the image list's own copies.
    TreeItem *insert(TreeItem *parent, int row, const QString &key, int number, const QString &text,
                     const QString &image, const QString &selectedImage);
    void removeItem(TreeItem *item);

    template <typename... Parameters, typename... Arguments>
    void notify(void (ItemTreeObserver::*event)(Parameters...), Arguments &&...arguments)
    {
        ++m_revision;
        for (ItemTreeObserver *observer : m_observers)
            (observer->*event)(arguments...);
    }

    std::unique_ptr<TreeItem> m_root;
    std::vector<std::unique_ptr<TreeItem>> m_byIndex; // order of addition
    QHash<int, TreeItem *> m_byNumber; // by key number: cheaper to hash than the key
    KeyNumberSet m_keyNumbers;
    TreeItem *m_selected = nullptr;
    std::vector<ItemTreeObserver *> m_observers;
    quint64 m_revision = 0;
};

} // namespace kobin
