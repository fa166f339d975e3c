#pragma once

#include "ItemKinds.h"
#include "ItemTree.h"

#include <QString>
#include <QStringView>
#include <optional>

namespace kobin {

// Where a new item goes relative to the selected item.
enum class Placement {
    Child,  // after the selected item's last child
    Beside, // directly after the selected item, under the same parent
};

enum class MoveDirection {
    Up,            // before the previous sibling
    Down,          // after the next sibling
    Left,          // out of the parent, directly after it
    RightPrevious, // into the previous sibling, as its last child
    RightNext,     // into the next sibling, as its last child
};

// What one edit changed: enough to put the tree back as it was.
struct TreeEdit {
    enum class Kind { Add, Move, Remove, Rename };

    Kind kind = Kind::Add;
    QString key; // the item added, moved, removed or renamed; edits never change keys
    // The item's pictures: the records below keep only the image.
    QString image;
    QString selectedImage;
    QString expandedImage;
    QString oldCaption; // before the edit; empty for Add, whose item starts unnamed
    QString newCaption; // Rename only
    // Move and Remove: the item's record, naming its old parent, followed by the
    // records of its descendants in pre-order, as they were before the edit.
    QString records;
    // Where the item stood before the edit (Move, Remove) and stands after it
    // (Add, Move): its parent's key and its row among that parent's children.
    QString oldParentKey;
    int oldRow = -1;
    QString newParentKey;
    int newRow = -1;
};

struct TreeRemoval {
    TreeEdit edit;
    QString nextKey; // the item to show now: previous sibling, else next sibling, else parent
};

// The only code that changes the shape of the book's tree, and its captions.
// Every edit returns what it changed, or nothing when it is refused; a refused
// edit leaves the tree as it was.
//
// The book item is the top of the tree. A damaged book file can hold several
// top-level items; each of them counts as a book item: it is never moved,
// dropped or removed, and nothing is added beside it.
//
// Moves and drops work as MoveNode does: the item's sub-tree is written out as
// tree-string records, removed, the item put in again at its new place with the
// same key and pictures, and its descendants rebuilt from the records; the
// re-created items are collapsed and the moved item is selected. Keys never
// change, so the content files named after them stay valid.
class TreeEditor
{
public:
    explicit TreeEditor(ItemTree &tree);

    // AddNode: an unnamed item of the kind (its image, selected image and, for a
    // folder, expanded image), keyed with the smallest free key, placed relative
    // to the selected item and selected. Refused with no selected item, beside
    // the book item, for the kind Book, and deeper than a book may nest.
    std::optional<TreeEdit> add(ItemKind kind, Placement placement);

    // Refused for the book item, an unknown key, a direction without its target
    // (no previous sibling for Up and RightPrevious, no next sibling for Down
    // and RightNext), Left when the parent is the book item, and a move that would
    // take the sub-tree deeper than a book may nest.
    std::optional<TreeEdit> move(const QString &key, MoveDirection direction);

    // The way the move-right command goes: into the previous sibling when there
    // is one, otherwise into the next.
    static MoveDirection rightDirection(const TreeItem &item);

    // The dragged item, with its sub-tree, becomes the target's last child. The
    // target's kind does not matter; dropping onto the item's own parent moves it
    // to the end. Refused for the book item, an unknown item or target, and a
    // target that is the item itself or lies below it, and a sub-tree that would
    // lie deeper than a book may nest.
    std::optional<TreeEdit> dropOnto(const QString &key, const QString &targetKey);
    bool canDropOnto(const QString &key, const QString &targetKey) const;

    // Removes the item with its sub-tree; refused for the book item and an unknown
    // key. Deletes no file and selects nothing: the caller shows nextKey.
    std::optional<TreeRemoval> remove(const QString &key);
    // The item shown once the item is removed: its previous sibling, else its next, else its parent.
    static const TreeItem &neighbourOf(const TreeItem &item);

    // Refused for an unknown key, an empty caption and the caption the item
    // already has. The caption is kept as the book file will hold it: the tree
    // string's four delimiters become their full-width forms, and a caption longer
    // than the reader keeps is cut to that length. A moved sub-tree, rebuilt from
    // its records, therefore keeps its captions exactly.
    std::optional<TreeEdit> rename(const QString &key, const QString &caption);

    // Takes an edit back, or makes it again, on the tree as the edit left it (or
    // as its undo left it): what an undo stack needs. An Add's caption is the
    // edit's newCaption. Moved and restored sub-trees come back collapsed.
    void undo(const TreeEdit &edit);
    void redo(const TreeEdit &edit);

    static bool isBookItem(const TreeItem &item);

    // The drag data of an item: its own record, naming its parent ("0" at the
    // top level), followed by its descendants' records, as TreeEdit::records.
    static QString recordsOf(const TreeItem &item);
    // The item the records were written from, while it is still as they describe
    // it; nullptr for records from elsewhere (another book) or out of date.
    TreeItem *itemOfRecords(QStringView records) const;

private:
    std::optional<TreeEdit> reattach(TreeItem &item, TreeItem &target, Relationship relationship);
    // Puts the item of edit, with the sub-tree its records hold, at row under parentKey.
    TreeItem *insertAt(const TreeEdit &edit, const QString &parentKey, int row, const QString &caption);

    ItemTree &m_tree;
};

} // namespace kobin
