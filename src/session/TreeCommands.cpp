#include "TreeCommands.h"

#include "Arrangement.h"
#include "Book.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "ItemDisplay.h"
#include "ItemNamer.h"
#include "NotePane.h"
#include "PageReference.h"
#include "PageView.h"
#include "Prompter.h"
#include "TreeString.h"

#include <utility>
#include <vector>

namespace kobin {

// A change on the undo stack that has been made when the step is pushed: the
// redo that comes with the push does nothing, and only later ones make it again.
class TreeCommands::MadeStep : public QUndoCommand
{
public:
    void undo() final { apply(false); }
    void redo() final
    {
        if (std::exchange(m_made, false))
            return;
        apply(true);
    }

private:
    virtual void apply(bool forward) = 0;

    bool m_made = true;
};

// One tree edit on the undo stack. The edit has been made when the step is
// pushed; undo and redo then take it back and make it again, with the content
// files of the items that leave or rejoin the tree.
class TreeCommands::EditStep : public MadeStep
{
public:
    EditStep(TreeCommands &owner, TreeEdit edit, int asideBatch)
        : m_owner(owner), m_edit(std::move(edit)), m_asideBatch(asideBatch)
    {
    }

private:
    void apply(bool forward) override
    {
        Book &book = m_owner.m_services.book;
        // The text shown belongs to an item that may be about to leave the tree.
        std::ignore = m_owner.m_services.display.storeCurrentItem();
        const bool itemLeaves = (m_edit.kind == TreeEdit::Kind::Remove) == forward
            && (m_edit.kind == TreeEdit::Kind::Remove || m_edit.kind == TreeEdit::Kind::Add);
        const bool itemReturns = (m_edit.kind == TreeEdit::Kind::Remove || m_edit.kind == TreeEdit::Kind::Add)
            && !itemLeaves;
        TreeItem *parent = nullptr;
        QString shownAfter;
        QStringList leavingFiles;
        if (itemLeaves) {
            if (const TreeItem *item = book.tree().item(m_edit.key)) {
                leavingFiles = m_owner.contentFilesOf(*item);
                parent = item->parent();
                // A deletion made again shows what it showed the first time; an addition taken back, the parent.
                shownAfter = m_edit.kind == TreeEdit::Kind::Remove ? TreeEditor::neighbourOf(*item).key() : parent->key();
            }
        }
        if (forward)
            book.editor().redo(m_edit);
        else
            book.editor().undo(m_edit);
        // Set aside or brought back once the tree no longer or again names the item:
        // what a crash leaves then agrees.
        if (itemReturns && m_asideBatch)
            std::ignore = book.workingFolder().deletions().bringBack(std::exchange(m_asideBatch, 0));
        if (parent)
            m_asideBatch = book.workingFolder().setAside(leavingFiles);
        if (itemLeaves && parent)
            book.tree().select(book.tree().item(shownAfter));
        book.markChanged();
        m_owner.showSelected();
    }

    TreeCommands &m_owner;
    TreeEdit m_edit;
    int m_asideBatch;
};

// A homepage item's page replaced, and its caption. The item's files of the page
// it does not show are kept aside; undo and redo swap them with those in the
// working folder and show the item again.
class TreeCommands::PageStep : public MadeStep
{
public:
    PageStep(TreeCommands &owner, const PageChange &change)
        : m_owner(owner), m_key(change.key), m_asideBatch(change.asideBatch)
    {
        m_rename.kind = TreeEdit::Kind::Rename;
        m_rename.key = change.key;
        m_rename.oldCaption = change.oldCaption;
        m_rename.newCaption = change.newCaption;
    }

private:
    void apply(bool forward) override
    {
        Book &book = m_owner.m_services.book;
        ItemDisplay &display = m_owner.m_services.display;
        TreeItem *item = book.tree().item(m_key);
        if (!item)
            return; // steps above this one, which could take the item away, are undone first
        const bool shown = book.shown().key() == m_key;
        // The side text in the pane belongs to the page that goes aside.
        if (shown)
            std::ignore = display.storeCurrentItem();
        WorkingFolder &working = book.workingFolder();
        const int leaving = working.setAside(working.itemFiles(m_key));
        std::ignore = working.deletions().bringBack(std::exchange(m_asideBatch, leaving));
        if (forward)
            book.editor().redo(m_rename);
        else
            book.editor().undo(m_rename);
        book.tree().select(item);
        if (shown)
            display.reloadItem(item);
        else
            display.showItem(item);
        m_owner.views().arrangement.relayout();
        book.markChanged();
    }

    TreeCommands &m_owner;
    QString m_key;
    int m_asideBatch;
    TreeEdit m_rename;
};

TreeCommands::TreeCommands(Services services) : m_services(services)
{
    // Another book, or a new one: the steps of the last one no longer apply.
    QObject::connect(&m_services.book, &Book::replaced, &m_history, &QUndoStack::clear);
}

TreeCommands::~TreeCommands() = default;

void TreeCommands::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::NewFolderBeside, [this] { addItem(ItemKind::Folder, Placement::Beside); });
    commands.bind(Command::NewTextBeside, [this] { addItem(ItemKind::Text, Placement::Beside); });
    commands.bind(Command::NewChildFolder, [this] { addItem(ItemKind::Folder, Placement::Child); });
    commands.bind(Command::NewChildText, [this] { addItem(ItemKind::Text, Placement::Child); });
    commands.bind(Command::NewHomepageBeside, [this] { addItem(ItemKind::Homepage, Placement::Beside); });
    commands.bind(Command::NewChildHomepage, [this] { addItem(ItemKind::Homepage, Placement::Child); });
    commands.bind(Command::ChangePageReference, [this] { changePageReference(); });
    commands.bind(Command::MoveUp, [this] { move(MoveDirection::Up); });
    commands.bind(Command::MoveDown, [this] { move(MoveDirection::Down); });
    commands.bind(Command::MoveLeft, [this] { move(MoveDirection::Left); });
    commands.bind(Command::MoveRight, [this] { moveRight(); });
    commands.bind(Command::DeleteItem, [this] { deleteItem(); });
    commands.bind(Command::DeleteItemButton, [this] { deleteItem(); });
}

QStringList TreeCommands::contentFilesOf(const TreeItem &item) const
{
    QSet<QString> keys;
    std::vector<const TreeItem *> pending{&item};
    while (!pending.empty()) {
        const TreeItem *current = pending.back();
        pending.pop_back();
        keys.insert(current->key());
        pending.insert(pending.end(), current->children().begin(), current->children().end());
    }
    return m_services.book.workingFolder().itemFiles(keys);
}

void TreeCommands::showSelected()
{
    TreeItem *selected = m_services.book.tree().selectedItem();
    if (!selected)
        return;
    m_services.display.showItem(selected);
    if (kindOf(*selected) != ItemKind::Homepage)
        views().page.setShown(false);
    views().arrangement.relayout();
}

void TreeCommands::push(const TreeEdit &edit, int asideBatch)
{
    m_history.push(new EditStep(*this, edit, asideBatch));
}

void TreeCommands::addItem(ItemKind kind, Placement placement)
{
    ItemTree &tree = m_services.book.tree();
    if (!tree.selectedItem())
        return;
    const bool homepage = kind == ItemKind::Homepage;
    if (!homepage)
        views().page.setShown(false); // the tree and the text pane while the item is named
    std::optional<TreeEdit> added = m_services.book.editor().add(kind, placement);
    if (!added)
        return;
    {
        const Book::Loading loading(m_services.book); // a new typing format changes no text
        views().note.resetTypingFormat();
    }
    TreeItem *item = tree.item(added->key);
    const bool named = homepage ? m_services.referrer.referNewItem(*item) : nameNewItem(*item);
    if (!named) {
        tree.remove(added->key);
        TreeItem *shown = tree.item(m_services.book.shown().key());
        tree.select(shown);
        // The page of a homepage item shown before comes back into view.
        if (!homepage && shown && kindOf(*shown) == ItemKind::Homepage)
            views().page.setShown(true);
        return;
    }
    added->newCaption = item->text();
    push(*added);
    if (homepage)
        return; // the page reference has made it the item shown
    // The text typed into the item shown so far must be kept before the pane is emptied for the new one.
    if (!m_services.display.storeCurrentItem()) {
        tree.select(tree.item(m_services.book.shown().key()));
        return;
    }
    m_services.book.shown().setKey(added->key);
    const Book::Loading loading(m_services.book);
    views().note.clear();
}

bool TreeCommands::nameNewItem(TreeItem &item)
{
    ItemTree &tree = m_services.book.tree();
    const std::optional<QString> name = m_services.namer.askName(
        [&](const QString &typed) { tree.setText(&item, treestring::storableCaption(typed)); },
        [this](const QString &typed) {
            if (!typed.isEmpty())
                return true;
            m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("注意"), QStringLiteral("名前が入っていません"));
            return false;
        });
    if (!name)
        return false;
    tree.setText(&item, treestring::storableCaption(*name));
    m_services.book.markChanged();
    views().commands.update(ItemKind::Folder);
    return true;
}

void TreeCommands::changePageReference()
{
    const TreeItem *selected = m_services.book.tree().selectedItem();
    if (!selected || kindOf(*selected) != ItemKind::Homepage)
        return;
    if (const std::optional<PageChange> change = m_services.referrer.changeReference(*selected))
        m_history.push(new PageStep(*this, *change));
}

void TreeCommands::move(MoveDirection direction)
{
    const TreeItem *selected = m_services.book.tree().selectedItem();
    if (!selected)
        return;
    if (const std::optional<TreeEdit> moved = m_services.book.editor().move(selected->key(), direction)) {
        m_services.book.markChanged();
        push(*moved);
    }
}

void TreeCommands::moveRight()
{
    if (const TreeItem *selected = m_services.book.tree().selectedItem())
        move(TreeEditor::rightDirection(*selected));
}

void TreeCommands::refuseBookItemDeletion()
{
    m_services.prompter.inform(PromptIcon::Exclamation, QStringLiteral("お知らせ"), QStringLiteral("ブックは削除できません。"));
}

void TreeCommands::deleteItem()
{
    ItemTree &tree = m_services.book.tree();
    const TreeItem *selected = tree.selectedItem();
    if (tree.count() == 1 || !selected || TreeEditor::isBookItem(*selected)) {
        refuseBookItemDeletion();
        return;
    }
    CommandRegistry &commands = views().commands.commands();
    commands.setEnabled(Command::DeleteItemButton, Surface::Button, false);
    const PromptAnswer answer =
        m_services.prompter.ask(PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("項目の削除"),
                        QStringLiteral("「") + selected->text() + QStringLiteral("」　を削除しても良いですか？"));
    if (answer != PromptAnswer::Yes) {
        commands.setEnabled(Command::DeleteItemButton, Surface::Button, true);
        return;
    }
    const QStringList files = contentFilesOf(*selected);
    const std::optional<TreeRemoval> removal = m_services.book.editor().remove(selected->key());
    if (removal) {
        // Set aside once the tree no longer names the item: what a crash leaves then agrees.
        const int batch = m_services.book.workingFolder().setAside(files);
        tree.select(tree.item(removal->nextKey));
        // The text of a deleted item shown until now goes with it: the item is no longer there to store it.
        showSelected();
        m_services.book.markChanged();
        push(removal->edit, batch);
    }
    commands.setEnabled(Command::DeleteItemButton, Surface::Button, true);
}

void TreeCommands::deleteKey()
{
    if (m_services.book.tree().selectedItem())
        deleteItem();
}

void TreeCommands::treeEdited(const TreeEdit &edit)
{
    m_services.book.markChanged();
    push(edit);
    if (edit.kind == TreeEdit::Kind::Move)
        showSelected(); // a drop shows the item dropped
}

} // namespace kobin
