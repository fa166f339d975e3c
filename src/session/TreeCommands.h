#pragma once

#include "ItemDisplay.h"

#include "TreeEditor.h"

#include <QUndoStack>

namespace kobin {

class Book;
class CommandRegistry;
class ItemNamer;
class PageReferrer;
class Prompter;

// The commands that change the tree: adding folders, text items and homepage
// items, moving, deleting and renaming items, changing a homepage item's page,
// and what a drop in the tree did. Every edit is a step on one undo stack for the
// open book; an item's content files leave the working folder with it and come
// back with it, and a page's files with the page.
class TreeCommands
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display; // and through it the panes
        Prompter &prompter;
        ItemNamer &namer;
        PageReferrer &referrer;
    };

    explicit TreeCommands(Services services);
    ~TreeCommands();

    void bindCommands(CommandRegistry &commands);

    // A folder, text item or homepage item, named by the user (a homepage item with
    // its page), beside the selected item or as its last child.
    void addItem(ItemKind kind, Placement placement);
    // Lets the user replace the selected homepage item's page, after warning that its side texts go.
    void changePageReference();
    void move(MoveDirection direction);
    void moveRight();
    // Deletes the selected item with its sub-tree and content files, after asking.
    // The item shown stays as it is until the item is gone; then the neighbour
    // chosen is shown as its kind.
    void deleteItem();
    // The Delete key in the tree.
    void deleteKey();
    // An edit made in the tree itself (a rename in place or a drop), or an item
    // added, named and shown elsewhere (a captured page).
    void treeEdited(const TreeEdit &edit);

    QUndoStack &history() { return m_history; }

private:
    ItemDisplay::Views &views() { return m_services.display.views(); }
    class MadeStep;
    class EditStep;
    friend class EditStep;
    class PageStep;
    friend class PageStep;

    void refuseBookItemDeletion();
    QStringList contentFilesOf(const TreeItem &item) const;
    void showSelected();
    // Names the item just added with the item name dialog; false when the user cancels.
    bool nameNewItem(TreeItem &item);
    void push(const TreeEdit &edit, int asideBatch = 0);

    Services m_services;
    QUndoStack m_history;
};

} // namespace kobin
