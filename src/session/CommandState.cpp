#include "CommandState.h"

#include "CommandRegistry.h"
#include "Layout.h"

namespace kobin {

namespace {

using C = Command;

// What the book item cannot do: it has no siblings and never moves.
constexpr C kSiblingAndMoveButtons[] = {C::NewFolderBeside, C::NewHomepageBeside, C::NewTextBeside, C::MoveUp,
                                        C::MoveDown,        C::MoveLeft,          C::MoveRight};
constexpr C kSiblingMenus[] = {C::NewFolderBeside, C::NewTextBeside, C::NewHomepageBeside};
// Undo follows whether the focused pane can undo, not the item shown.
constexpr C kAlwaysEnabledButtons[] = {C::NewChildFolder, C::NewChildText, C::NewChildHomepage, C::DeleteItemButton,
                                       C::EditCut,        C::EditCopy,     C::EditPaste,        C::Font,
                                       C::BackColor,      C::Bold,         C::Italic,           C::Underline,
                                       C::AlignLeft,      C::AlignCenter,  C::AlignRight};
constexpr C kPageButtons[] = {C::Forward, C::ReloadButton, C::EditPageSource};
constexpr C kPageMenus[] = {C::Forward, C::Reload, C::EditPageSource, C::ChangePageReference};

} // namespace

CommandState::CommandState(CommandRegistry &commands)
    : m_commands(commands), m_tabs{arrangement::Text}, m_selectedTab(arrangement::Text)
{
}

void CommandState::selectTab(const QString &key)
{
    if (m_tabs.contains(key) && key != m_selectedTab) {
        m_selectedTab = key;
        emit tabsChanged();
    }
}

void CommandState::setBackEnabled(bool enabled)
{
    m_commands.setEnabled(C::Back, enabled);
}

void CommandState::setChangePageReferenceEnabled(bool enabled)
{
    m_commands.setEnabled(C::ChangePageReference, Surface::Menu, enabled);
}

void CommandState::update(ItemKind kind)
{
    const bool book = kind == ItemKind::Book;
    for (C command : kSiblingAndMoveButtons)
        m_commands.setEnabled(command, Surface::Button, !book);
    for (C command : kSiblingMenus)
        m_commands.setEnabled(command, Surface::Menu, !book);
    for (C command : kAlwaysEnabledButtons)
        m_commands.setEnabled(command, Surface::Button, true);

    setBackEnabled(false);
    // Offered again once a link has led the page pane to a page on the web.
    m_commands.setEnabled(C::CapturePage, false);
    const bool homepage = kind == ItemKind::Homepage;
    for (C command : kPageButtons)
        m_commands.setEnabled(command, Surface::Button, homepage);
    for (C command : kPageMenus)
        m_commands.setEnabled(command, Surface::Menu, homepage);

    if (!homepage && m_tabs.size() == 4) {
        m_tabs = {arrangement::Text};
        m_selectedTab = arrangement::Text;
        emit tabsChanged();
    } else if (homepage && m_tabs.size() == 1) {
        m_tabs = {arrangement::Html, m_tabs.first(), arrangement::UpDown, arrangement::LeftRight};
        m_selectedTab = arrangement::Html;
        emit tabsChanged();
    }
}

QString tabCaption(const QString &key)
{
    if (key == arrangement::Html)
        return QStringLiteral(" ﾎｰﾑﾍﾟｰｼﾞ ");
    if (key == arrangement::Text)
        return QStringLiteral(" ﾃｷｽﾄ ");
    if (key == arrangement::UpDown)
        return QStringLiteral(" ﾎｰﾑﾍﾟｰｼﾞ ＆ ﾃｷｽﾄ （上下）");
    if (key == arrangement::LeftRight)
        return QStringLiteral(" ﾎｰﾑﾍﾟｰｼﾞ ＆ ﾃｷｽﾄ （左右）");
    return QString();
}

} // namespace kobin
