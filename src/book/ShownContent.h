#pragma once

#include <QString>

namespace kobin {

// What the panes show of the open book: the item whose content they show and, for
// a homepage item, its page, the page text beside it, and the address the
// browser pane opened last.
class ShownContent
{
public:
    explicit ShownContent(const QString &key) : m_key(key) {}

    // The item whose content the panes show.
    const QString &key() const { return m_key; }
    void setKey(const QString &key) { m_key = key; }
    // The page file of the homepage item shown.
    const QString &pagePath() const { return m_pagePath; }
    void setPagePath(const QString &path) { m_pagePath = path; }
    // The content id of the page text shown: key + page base name.
    const QString &pageTextName() const { return m_pageTextName; }
    void setPageTextName(const QString &contentId) { m_pageTextName = contentId; }
    // The address last opened in the browser pane.
    const QString &browserAddress() const { return m_browserAddress; }
    void setBrowserAddress(const QString &address) { m_browserAddress = address; }

    // The panes show the item's note and no page.
    void showNote(const QString &key)
    {
        m_key = key;
        m_pageTextName.clear();
        m_pagePath.clear();
    }

private:
    QString m_key;
    QString m_pagePath;
    QString m_pageTextName;
    QString m_browserAddress;
};

} // namespace kobin
