#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

namespace kobin {

// Which commands are enabled and which arrangement tabs exist. Widgets mirror it.
class CommandState
{
public:
    CommandState();

    // Enables the commands and sets the tabs for the kind of the selected item:
    // "root" (the book item), "html" (a homepage item), anything else for folders
    // and text items.
    void update(const QString &kind);

    bool isButtonEnabled(const QString &key) const { return m_buttons.value(key, true); }
    bool isMenuEnabled(const QString &id) const { return m_menus.value(id, true); }
    void setButtonEnabled(const QString &key, bool enabled) { m_buttons[key] = enabled; }
    void setMenuEnabled(const QString &id, bool enabled) { m_menus[id] = enabled; }

    const QStringList &tabs() const { return m_tabs; }
    const QString &selectedTab() const { return m_selectedTab; }
    void selectTab(const QString &key);

private:
    QHash<QString, bool> m_buttons;
    QHash<QString, bool> m_menus;
    QStringList m_tabs;
    QString m_selectedTab;
};

// The caption of an arrangement tab.
QString tabCaption(const QString &key);

} // namespace kobin
