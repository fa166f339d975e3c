#include "TreeEditor.h"

#include "ImageKeys.h"
#include "KeyNumbers.h"
#include "TreeString.h"
#include "WholeCharacters.h"

#include <algorithm>
#include <vector>

namespace kobin {

namespace {

// The image a new item of the kind carries; none for the book item, which is
// made only when a book is read or started.
QStringView imageOf(ItemKind kind)
{
    switch (kind) {
    case ItemKind::Folder: return images::FolderClosed;
    case ItemKind::Text: return images::RichText;
    case ItemKind::Homepage: return images::HtmlFile;
    case ItemKind::Book: break;
    }
    return {};
}

// The item as it is now: what every edit records before it changes anything.
TreeEdit editOf(TreeEdit::Kind kind, const TreeItem &item)
{
    TreeEdit edit;
    edit.kind = kind;
    edit.key = item.key();
    edit.image = item.image();
    edit.selectedImage = item.selectedImage();
    edit.expandedImage = item.expandedImage();
    edit.oldCaption = item.text();
    return edit;
}

void recordOldPlace(TreeEdit &edit, const TreeItem &item)
{
    edit.records = TreeEditor::recordsOf(item);
    edit.oldParentKey = item.parent()->key();
    edit.oldRow = item.row();
}

void recordNewPlace(TreeEdit &edit, const TreeItem &item)
{
    edit.newParentKey = item.parent()->key();
    edit.newRow = item.row();
}

// The key that the first of some records (drag data, TreeEdit::records) names;
// empty when they are damaged.
QString keyOfRecords(QStringView records)
{
    const qsizetype end = records.indexOf(u'|', 1);
    if (!records.startsWith(u'|') || end < 0)
        return {};
    const QStringView first = records.mid(1, end - 1);
    const qsizetype equals = first.indexOf(u'=');
    const qsizetype plus = first.indexOf(u'+', equals + 1);
    if (equals < 0 || plus < 0)
        return {};
    const QStringView key = first.mid(equals + 1, plus - equals - 1);
    return keyNumber(key) ? key.toString() : QString();
}

} // namespace

TreeEditor::TreeEditor(ItemTree &tree) : m_tree(tree) {}

TreeItem *TreeEditor::insertAt(const TreeEdit &edit, const QString &parentKey, int row, const QString &caption)
{
    TreeItem *parent = m_tree.item(parentKey);
    if (!parent)
        return nullptr;
    TreeItem *item = row < parent->childCount()
                         ? m_tree.add(parent->children()[static_cast<size_t>(row)], Relationship::Previous, edit.key,
                                      caption, edit.image)
                         : m_tree.add(parent, Relationship::Child, edit.key, caption, edit.image);
    if (!item)
        return nullptr;
    m_tree.setImages(item, edit.selectedImage, edit.expandedImage);
    // The first record names the item, which is in the tree again: it is skipped.
    treestring::buildTree(m_tree, edit.records);
    m_tree.select(item);
    return item;
}

void TreeEditor::undo(const TreeEdit &edit)
{
    switch (edit.kind) {
    case TreeEdit::Kind::Add:
        m_tree.remove(edit.key);
        break;
    case TreeEdit::Kind::Move:
        m_tree.remove(edit.key);
        insertAt(edit, edit.oldParentKey, edit.oldRow, edit.oldCaption);
        break;
    case TreeEdit::Kind::Remove:
        insertAt(edit, edit.oldParentKey, edit.oldRow, edit.oldCaption);
        break;
    case TreeEdit::Kind::Rename:
        if (TreeItem *item = m_tree.item(edit.key))
            m_tree.setText(item, edit.oldCaption);
        break;
    }
}

void TreeEditor::redo(const TreeEdit &edit)
{
    switch (edit.kind) {
    case TreeEdit::Kind::Add:
        insertAt(edit, edit.newParentKey, edit.newRow, edit.newCaption);
        break;
    case TreeEdit::Kind::Move:
        m_tree.remove(edit.key);
        insertAt(edit, edit.newParentKey, edit.newRow, edit.oldCaption);
        break;
    case TreeEdit::Kind::Remove:
        m_tree.remove(edit.key);
        break;
    case TreeEdit::Kind::Rename:
        if (TreeItem *item = m_tree.item(edit.key))
            m_tree.setText(item, edit.newCaption);
        break;
    }
}

bool TreeEditor::isBookItem(const TreeItem &item)
{
    return !item.parent();
}

namespace {

// The item's level: 1 at the top of the tree.
int levelOf(const TreeItem &item)
{
    int level = 1;
    for (const TreeItem *above = item.parent(); above; above = above->parent())
        ++level;
    return level;
}

// The levels the item's sub-tree spans: 1 for an item without children.
int levelsBelow(const TreeItem &item)
{
    int deepest = 1;
    std::vector<std::pair<const TreeItem *, int>> pending{{&item, 1}};
    while (!pending.empty()) {
        const auto [next, level] = pending.back();
        pending.pop_back();
        deepest = std::max(deepest, level);
        for (const TreeItem *child : next->children())
            pending.emplace_back(child, level + 1);
    }
    return deepest;
}

// Whether a sub-tree of the given span may start at level: a book nested deeper than
// the reader opens could never be opened again.
bool fitsInDepth(int level, int span)
{
    return level + span - 1 <= treestring::kDeepestLevel;
}

} // namespace

std::optional<TreeEdit> TreeEditor::add(ItemKind kind, Placement placement)
{
    TreeItem *selected = m_tree.selectedItem();
    const QStringView image = imageOf(kind);
    if (!selected || image.isEmpty() || (placement == Placement::Beside && isBookItem(*selected)))
        return std::nullopt;
    if (!fitsInDepth(levelOf(*selected) + (placement == Placement::Child ? 1 : 0), 1))
        return std::nullopt;
    TreeItem *item = m_tree.add(selected, placement == Placement::Child ? Relationship::Child : Relationship::Next,
                                m_tree.nextFreeKey(), QString(), images::imageKey(image));
    if (!item)
        return std::nullopt; // every key number is in use
    treestring::deriveImages(m_tree, item);
    m_tree.select(item);
    TreeEdit edit = editOf(TreeEdit::Kind::Add, *item);
    recordNewPlace(edit, *item);
    return edit;
}

std::optional<TreeEdit> TreeEditor::move(const QString &key, MoveDirection direction)
{
    TreeItem *item = m_tree.item(key);
    if (!item || isBookItem(*item))
        return std::nullopt;
    TreeItem *target = nullptr;
    Relationship relationship = Relationship::Child;
    switch (direction) {
    case MoveDirection::Up:
        target = item->previous();
        relationship = Relationship::Previous;
        break;
    case MoveDirection::Down:
        target = item->next();
        relationship = Relationship::Next;
        break;
    case MoveDirection::Left:
        target = isBookItem(*item->parent()) ? nullptr : item->parent();
        relationship = Relationship::Next;
        break;
    case MoveDirection::RightPrevious:
        target = item->previous();
        break;
    case MoveDirection::RightNext:
        target = item->next();
        break;
    }
    if (!target)
        return std::nullopt;
    return reattach(*item, *target, relationship);
}

MoveDirection TreeEditor::rightDirection(const TreeItem &item)
{
    return item.previous() ? MoveDirection::RightPrevious : MoveDirection::RightNext;
}

bool TreeEditor::canDropOnto(const QString &key, const QString &targetKey) const
{
    const TreeItem *item = m_tree.item(key);
    const TreeItem *target = m_tree.item(targetKey);
    if (!item || !target || isBookItem(*item))
        return false;
    for (const TreeItem *above = target; above; above = above->parent()) {
        if (above == item)
            return false;
    }
    return true;
}

std::optional<TreeEdit> TreeEditor::dropOnto(const QString &key, const QString &targetKey)
{
    if (!canDropOnto(key, targetKey))
        return std::nullopt;
    return reattach(*m_tree.item(key), *m_tree.item(targetKey), Relationship::Child);
}

std::optional<TreeEdit> TreeEditor::reattach(TreeItem &item, TreeItem &target, Relationship relationship)
{
    // Only a move that takes the sub-tree deeper is held to the bound.
    const int newLevel = levelOf(target) + (relationship == Relationship::Child ? 1 : 0);
    if (newLevel > levelOf(item) && !fitsInDepth(newLevel, levelsBelow(item)))
        return std::nullopt;
    TreeEdit edit = editOf(TreeEdit::Kind::Move, item);
    recordOldPlace(edit, item);
    m_tree.remove(edit.key);
    // The key and pictures were the item's a moment ago and the target is outside
    // the sub-tree taken out, so putting it back cannot fail.
    TreeItem *moved = m_tree.add(&target, relationship, edit.key, edit.oldCaption, edit.image);
    Q_ASSERT(moved);
    m_tree.setImages(moved, edit.selectedImage, edit.expandedImage);
    // The first record names the item, which is in the tree again: it is skipped.
    treestring::buildTree(m_tree, edit.records);
    m_tree.select(moved);
    recordNewPlace(edit, *moved);
    return edit;
}

std::optional<TreeRemoval> TreeEditor::remove(const QString &key)
{
    const TreeItem *item = m_tree.item(key);
    if (!item || isBookItem(*item))
        return std::nullopt;
    TreeRemoval removal{editOf(TreeEdit::Kind::Remove, *item), neighbourOf(*item).key()};
    recordOldPlace(removal.edit, *item);
    m_tree.remove(key);
    return removal;
}

const TreeItem &TreeEditor::neighbourOf(const TreeItem &item)
{
    return *(item.previous() ? item.previous() : item.next() ? item.next() : item.parent());
}

std::optional<TreeEdit> TreeEditor::rename(const QString &key, const QString &caption)
{
    TreeItem *item = m_tree.item(key);
    const QString kept = treestring::storableCaption(leftWholeCharacters(caption, treestring::kMaxCaptionLength));
    if (!item || kept.isEmpty() || kept == item->text())
        return std::nullopt;
    TreeEdit edit = editOf(TreeEdit::Kind::Rename, *item);
    edit.newCaption = kept;
    m_tree.setText(item, kept);
    return edit;
}

QString TreeEditor::recordsOf(const TreeItem &item)
{
    QString records = QStringLiteral("|");
    treestring::appendItemRecords(&item, records);
    return records;
}

TreeItem *TreeEditor::itemOfRecords(QStringView records) const
{
    TreeItem *item = m_tree.item(keyOfRecords(records));
    return item && recordsOf(*item) == records ? item : nullptr;
}

} // namespace kobin
