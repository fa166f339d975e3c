#pragma once

#include "ItemKind.h"

#include <QObject>
#include <QString>
#include <QStringList>

namespace kobin {

class CommandRegistry;

// Enables the commands and sets the arrangement tabs for the kind of the item
// shown. The tab strip mirrors the tabs.
class CommandState : public QObject
{
    Q_OBJECT

public:
    explicit CommandState(CommandRegistry &commands);

    void update(ItemKind kind);
    // Back is enabled only once a link has led away from the item's own page.
    void setBackEnabled(bool enabled);
    void setChangePageReferenceEnabled(bool enabled);

    CommandRegistry &commands() { return m_commands; }

    const QStringList &tabs() const { return m_tabs; }
    const QString &selectedTab() const { return m_selectedTab; }
    void selectTab(const QString &key);

signals:
    void tabsChanged();

private:
    CommandRegistry &m_commands;
    QStringList m_tabs;
    QString m_selectedTab;
};

// The caption of an arrangement tab.
QString tabCaption(const QString &key);

} // namespace kobin
