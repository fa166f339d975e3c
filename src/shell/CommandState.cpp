#include "CommandState.h"

#include "Layout.h"

namespace kobin {

namespace {

const QStringList kSiblingButtons = {"newEqualfolder", "newEqualHtml", "newEqualRich",
                                     "up",             "down",         "leftnode", "rightnode"};
const QStringList kSiblingMenus = {"mnuNewEpualFolder", "mnuEqualRichtext", "mnuEqualHtml"};
const QStringList kAlwaysEnabledButtons = {"newfolder", "newrich", "newhtml", "deleate", "cut",    "copy",
                                           "paste",     "undo",    "font",    "colorback", "bold", "italic",
                                           "under",     "left",    "center",  "right"};
const QStringList kBrowserButtons = {"foward", "refresh", "edit"};
const QStringList kBrowserMenus = {"mnuFoward", "mnuRenew", "mnuBrwEdit", "mnuChangeURL"};

} // namespace

CommandState::CommandState() : m_tabs{arrangement::Text}, m_selectedTab(arrangement::Text) {}

void CommandState::selectTab(const QString &key)
{
    if (m_tabs.contains(key))
        m_selectedTab = key;
}

void CommandState::update(const QString &kind)
{
    const bool notRoot = kind != QLatin1String("root");
    for (const QString &key : kSiblingButtons)
        m_buttons[key] = notRoot;
    for (const QString &id : kSiblingMenus)
        m_menus[id] = notRoot;
    for (const QString &key : kAlwaysEnabledButtons)
        m_buttons[key] = true;

    // "back" is enabled only by following a link away from the item's page.
    m_buttons[QStringLiteral("back")] = false;
    m_menus[QStringLiteral("mnuBack")] = false;
    const bool html = kind == QLatin1String("html");
    for (const QString &key : kBrowserButtons)
        m_buttons[key] = html;
    for (const QString &id : kBrowserMenus)
        m_menus[id] = html;

    if (!html && m_tabs.size() == 4) {
        m_tabs = {arrangement::Text};
        m_selectedTab = arrangement::Text;
    } else if (html && m_tabs.size() == 1) {
        m_tabs = {arrangement::Html, m_tabs.first(), arrangement::UpDown, arrangement::LeftRight};
        m_selectedTab = arrangement::Html;
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
