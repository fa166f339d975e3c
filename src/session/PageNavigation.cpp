#include "PageNavigation.h"

#include "Book.h"
#include "CommandRegistry.h"
#include "ItemDisplay.h"
#include "ItemKinds.h"
#include "PageView.h"
#include "WindowStatus.h"

namespace kobin {

PageNavigation::PageNavigation(Book &book, ItemDisplay &display, PageView &page, WindowStatus &status)
    : m_book(book), m_display(display), m_page(page), m_status(status)
{
}

void PageNavigation::bindCommands(CommandRegistry &commands)
{
    commands.bind(Command::Back, [this] { back(); });
    commands.bind(Command::Forward, [this] { forward(); });
    commands.bind(Command::Reload, [this] { reload(); });
    commands.bind(Command::ReloadButton, [this] { reload(); });
}

bool PageNavigation::isHomepageSelected() const
{
    const TreeItem *selected = m_book.tree().selectedItem();
    return selected && kindOf(*selected) == ItemKind::Homepage;
}

void PageNavigation::back()
{
    if (isHomepageSelected())
        m_status.setTreeEnabled(false);
    if (!m_page.goBack())
        pageLoaded(); // nothing to go back to: nothing will load
}

void PageNavigation::forward()
{
    if (isHomepageSelected())
        m_status.setTreeEnabled(false);
    if (!m_page.goForward())
        pageLoaded();
}

void PageNavigation::reload()
{
    m_page.reload();
}

void PageNavigation::navigationStarting(const QString &address)
{
    m_display.switchPageText(address);
}

void PageNavigation::pageLoaded()
{
    m_status.setStatusText(m_page.title());
    m_status.setTreeEnabled(true);
}

} // namespace kobin
