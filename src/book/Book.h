#pragma once

#include "BookSession.h"
#include "FileStamp.h"
#include "ItemTree.h"
#include "TreeEditor.h"
#include "WorkingFolder.h"

#include <QObject>

namespace kobin {

// The open book: its items, where it lives, what the panes show of it, and
// whether it holds changes not yet saved. Outlives every window that shows it.
class Book : public QObject
{
    Q_OBJECT

public:
    static const QString BookItemKey; // "a1"
    static const QString NewBookName; // "新規ブック"

    explicit Book(const QString &appPath);
    ~Book() override;

    ItemTree &tree() { return m_tree; }
    const ItemTree &tree() const { return m_tree; }
    // The only way the tree's shape changes while the user edits the book.
    TreeEditor &editor() { return m_editor; }
    BookSession &session() { return m_session; }
    const BookSession &session() const { return m_session; }
    WorkingFolder &workingFolder() { return m_workingFolder; }
    const WorkingFolder &workingFolder() const { return m_workingFolder; }

    // The window caption: "BOOK - " and the book's file (or "新規ブック"), with
    // " （更新）" while the book holds changes.
    QString caption() const;
    bool isChanged() const { return m_changed; }
    // The book file as the book was read from it or last saved to it; a stamp of no
    // file when that is not known (a new book, a book brought back after a crash).
    const FileStamp &bookFileStamp() const { return m_bookFileStamp; }
    void setBookFileStamp(const FileStamp &stamp) { m_bookFileStamp = stamp; }
    // Sets the changed flag; the caption gets its mark once.
    void markChanged();
    // A book just read from path: named after it, nothing changed, nothing of its
    // files seen yet.
    void setOpened(const QString &path);
    // A book just saved to its file.
    void setSaved();
    // The tree holds only the book item of a new book, which has no file yet.
    void startNew(bool changed);

signals:
    void captionChanged(const QString &caption);
    void changedStateChanged(bool changed);
    // Another book was opened, or a new one started: nothing of the last one applies.
    void replaced();

private:
    void forgetStamps();
    void setTitle(const QString &title, bool changed);

    ItemTree m_tree;
    TreeEditor m_editor{m_tree};
    BookSession m_session;
    WorkingFolder m_workingFolder;
    FileStamp m_bookFileStamp;
    QString m_title;
    bool m_changed = false;
};

} // namespace kobin
