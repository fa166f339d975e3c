#pragma once

#include <QSet>
#include <QString>

namespace kobin {

// The folders of the pages captured into the book folder since the book was opened
// or last saved: no book file names them yet. A save removes such a folder when no
// item names it by then; leaving the book unsaved removes them all.
class NewCaptures
{
public:
    void add(const QString &folder) { m_folders.insert(folder); }
    const QSet<QString> &folders() const { return m_folders; }
    // Saved: the book file names those it kept.
    void forget() { m_folders.clear(); }
    // Left unsaved: no book names any of them, and each folder is deleted.
    void removeAll();

private:
    QSet<QString> m_folders;
};

} // namespace kobin
