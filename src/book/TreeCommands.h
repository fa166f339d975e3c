#pragma once

#include "TreeEditor.h"

#include <QUndoStack>

namespace kobin {

class Arrangement;
class Book;
class CommandRegistry;
class CommandState;
class ItemDisplay;
class ItemNamer;
class NotePane;
class PageView;
class Prompter;

// The commands that change the tree: adding folders and text items, moving,
// deleting and renaming items, and what a drop in the tree did. Every edit is a
// step on one undo stack for the open book; an item's content files leave the
// working folder with it and come back with it.
class TreeCommands
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display;
        NotePane &note;
        PageView &page;
        Arrangement &arrangement;
        CommandState &commands;
        Prompter &prompter;
        ItemNamer &namer;
    };

    explicit TreeCommands(Services services);
    ~TreeCommands();

    void bindCommands(CommandRegistry &commands);

    // A folder or text item, named by the user, beside the selected item or as its last child.
    void addItem(ItemKind kind, Placement placement);
    void move(MoveDirection direction);
    void moveRight();
    // Deletes the selected item with its sub-tree and content files, after asking.
    void deleteItem();
    // The Tree menu's delete: the command state of the selected item's kind first.
    void deleteFromMenu();
    // The Delete key in the tree.
    void deleteKey();
    // An edit made in the tree itself: a rename in place or a drop.
    void treeEdited(const TreeEdit &edit);

    QUndoStack &history() { return m_history; }

private:
    class EditStep;
    friend class EditStep;

    void refuseBookItemDeletion();
    QStringList contentFilesOf(const TreeItem &item) const;
    void showSelected();
    void push(const TreeEdit &edit, int asideBatch = 0);

    Services m_;
    QUndoStack m_history;
};

} // namespace kobin
