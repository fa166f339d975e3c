#pragma once

#include "Book.h"
#include "NotePane.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin {

class Arrangement;
class CommandState;
class PageView;
class Prompter;
class TreeItem;
class WindowStatus;

// Shows the item the user chose: stores the text shown so far into the working
// folder, then loads the chosen item's note, or opens its page in the browser
// pane with the side text kept for that page; and, page by page, keeps the side
// text in step with the browser.
class ItemDisplay
{
public:
    struct Views {
        NotePane &note;
        PageView &page;
        Arrangement &arrangement;
        WindowStatus &status;
        CommandState &commands;
    };

    ItemDisplay(Book &book, Views views, Prompter &prompter);

    // The user clicked (or chose with the keyboard) an item.
    void showItem(TreeItem *item);

    // Shows the item afresh from the working folder, also when it is the item shown:
    // nothing is stored first, what the pane holds is dropped.
    void reloadItem(TreeItem *item);

    // Shows the homepage item of key, just given its page: an empty side text, the
    // splitters halved and the page opened. The text shown so far has been stored.
    void showNewPage(const QString &key, const QString &page);

    // The browser is about to open address (a link, back, forward or a page opened by program).
    void switchPageText(const QString &address);

    // Writes the text shown, and for a homepage item its splitter positions, into
    // the working folder. A file that cannot be written is reported; false then.
    [[nodiscard]] bool storeCurrentItem();
    // Writes the text shown into the working folder without a word (nor leaving the
    // page source), so that a crash loses little; false when it cannot be written.
    [[nodiscard]] bool keepShownText();
    // Keeps the splitter positions of the page shown in folder (the book folder of
    // a book closed unchanged); reported like storeCurrentItem.
    [[nodiscard]] bool storeSplitters(const QString &folder);

    // Shows the book item of a book just opened or begun: its note, no page.
    void showBookItem();
    void leavePageSourceEditing();

    // The folders of the page folder history: a page whose url file leads nowhere is
    // looked for under them too (after the program folder and the book file's folder).
    void setPageFolderHistory(std::function<QStringList()> history) { m_pageFolderHistory = std::move(history); }

    bool isShowingItem() const { return m_showing.has_value(); }
    // The panes as the display sees them, for the commands that change what they show.
    Views &views() { return m_views; }

private:
    void show(TreeItem *item, bool storeFirst);
    bool isShowingHomepage() const;
    enum class NoteLoad { Loaded, Missing, Kept };
    NoteLoad loadNote(const QString &path);
    void allowTypingAgain();
    void loadNoteOrReport(const QString &key);
    void showHomepage(TreeItem *item);
    std::optional<QString> relocatedPage(const QString &key, const QString &recordedPath);
    QString adoptedPageTextName(const QString &key, const QString &baseName);
    void showMissingPage(TreeItem *item, const QString &baseName);
    void loadPageTextOrReport();
    void restoreSplitters(const QString &contentId);
    // Keeps them in the working folder, unless they are what is kept already.
    [[nodiscard]] bool storeSplittersHere();
    bool reportStoreFailure(const QString &file, NoteWriting why = NoteWriting::Unwritable);
    NoteWriting writeShownText(QString *failedFile);
    QString bookFolderPath(const QString &fileName) const;

    Book &m_book;
    Views m_views;
    Prompter &m_prompter;
    // Held while an item is being shown: the book counts as loading all the while.
    std::optional<Book::Loading> m_showing;
    // The shown note is there but could not be read, and the user chose to keep it:
    // the pane is read-only and nothing is stored over it.
    bool m_keepsUnreadableNote = false;
    std::function<QStringList()> m_pageFolderHistory;
};

} // namespace kobin
