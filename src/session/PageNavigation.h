#pragma once

#include <QString>

namespace kobin {

class Book;
class CommandRegistry;
class ItemDisplay;
class PageView;
class WindowStatus;

// The web page pane's commands and events: back, forward and reload, a page about
// to open, a page loaded. The tree takes no clicks while a page of the item shown loads.
class PageNavigation
{
public:
    PageNavigation(Book &book, ItemDisplay &display, PageView &page, WindowStatus &status);

    // Back, forward and reload, from the menu and the toolbar.
    void bindCommands(CommandRegistry &commands);

    void back();
    void forward();
    void reload();

    // The browser is about to open address in its main frame.
    void navigationStarting(const QString &address);
    // The page has loaded (or failed to): its title shows and the tree takes clicks again.
    void pageLoaded();

private:
    bool isHomepageSelected() const;

    Book &m_book;
    ItemDisplay &m_display;
    PageView &m_page;
    WindowStatus &m_status;
};

} // namespace kobin
