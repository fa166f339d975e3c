#pragma once

#include "ItemDisplay.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

class Book;
class FileDialogs;
class Prompter;
class Settings;
class TreeItem;

// Whom the page reference dialog serves.
enum class ReferenceMode {
    NewItem, // a homepage item just added: selected, not yet shown
    Change,  // the selected homepage item, whose page (and every side text) is replaced
};

// A page changed by the page reference dialog: enough to take the change back.
struct PageChange {
    QString key;
    QString oldCaption;
    QString newCaption;
    int asideBatch = 0; // the item's files of its old page, set aside in the working folder
};

// What the page reference dialog does, for a dialog widget to drive: the item's
// name typed into the tree as it is typed, the page file chosen with a file
// dialog that remembers the last ten folders, and on OK the page recorded in the
// item's url file, an empty side text shown and the page opened. One object per
// opening of the dialog.
class PageReference
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display; // and through it the panes
        Prompter &prompter;
        FileDialogs &dialogs;
        Settings &settings;
    };

    // Remembers the item's caption; in change mode reads the page path of its url file.
    PageReference(Services services, ReferenceMode mode, const TreeItem &item);

    ReferenceMode mode() const { return m_mode; }
    // What the dialog opens with: the name (the caption in change mode, else
    // empty), the page path, the folder history and the history box's text.
    const QString &initialName() const { return m_initialName; }
    const QString &initialPage() const { return m_initialPage; }
    const QStringList &history() const { return m_history; }
    const QString &historyText() const { return m_historyText; }

    // The name as typed so far becomes the item's caption at once.
    void nameTyped(const QString &name);

    // The reference button: asks for a page file, starting in historyBoxText (the
    // program folder when it is empty), and keeps its folder in the history. The
    // path chosen, or nullopt when the user cancels; history() and historyText()
    // then hold what the dialog shows.
    std::optional<QString> choosePage(const QString &historyBoxText);

    // OK: checks the name and the page file, telling the user what is wrong, then
    // records the page and shows it. False keeps the dialog open with everything
    // as it was.
    bool accept(const QString &name, const QString &page);
    // What an accepted change replaced.
    const PageChange &change() const { return m_change; }

    // Cancel and the close box. Gives the item its caption back in change mode; a
    // new item is the caller's to remove.
    void cancel();

private:
    TreeItem *item() const;
    bool checksPass(const QString &name, const QString &page);
    void readHistory();

    Services m_services;
    ReferenceMode m_mode;
    QString m_key;
    QString m_rememberedCaption;
    QString m_initialName;
    QString m_initialPage;
    QStringList m_history;
    QString m_historyText;
    PageChange m_change;
};

// Opens the page reference dialog. Tree commands ask through this; the program
// answers with the real dialog, tests with a script.
class PageReferrer
{
public:
    virtual ~PageReferrer() = default;
    // Names the homepage item just added and gives it its page. False when the
    // user cancels: the item is then still in the tree, for the caller to remove.
    virtual bool referNewItem(const TreeItem &item) = 0;
    // Replaces the page of the selected homepage item; what was replaced, or
    // nullopt when the user cancels.
    virtual std::optional<PageChange> changeReference(const TreeItem &item) = 0;
};

} // namespace kobin
