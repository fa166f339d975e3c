#pragma once

#include <QString>

namespace kobin {

class BookView;
class ItemTree;
class Prompter;
class TreeItem;
struct BookSession;

// Shows the item the user chose: stores the text shown so far into the working
// folder, then loads the chosen item's note, or opens its page in the browser
// pane with the side text kept for that page; and, page by page, keeps the side
// text in step with the browser.
class ItemDisplay
{
public:
    ItemDisplay(BookSession &session, ItemTree &tree, BookView &view, Prompter &prompter);

    // The user clicked (or chose with the keyboard) an item.
    void showItem(TreeItem *item);

    // The browser is about to open address (a link, back, forward or a page opened by program).
    void switchPageText(const QString &address);

    // Stores the splitter positions of the homepage item shown into its page's files.
    void storeSplitters(const QString &folder);

    bool isShowingItem() const { return m_showingItem; }

private:
    void storeShownText();
    void loadNoteOrReport(const QString &key);
    void showHomepage(TreeItem *item);
    void showMissingPage(TreeItem *item, const QString &baseName);
    void loadPageTextOrReport();
    void restoreSplitters(const QString &contentId);
    QString bookFolderPath(const QString &fileName) const;
    void finish();

    BookSession &m_session;
    ItemTree &m_tree;
    BookView &m_view;
    Prompter &m_prompter;
    bool m_showingItem = false;
};

} // namespace kobin
