#pragma once

#include "BookFile.h"
#include "FileStamp.h"
#include "ItemTree.h"
#include "NewCaptures.h"
#include "ShownContent.h"
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

    // While one lives, the program itself is filling the panes: typing marks nothing.
    // They nest: the book is loading until the outermost one ends.
    class Loading
    {
    public:
        explicit Loading(Book &book) : m_book(book) { ++m_book.m_loadingDepth; }
        ~Loading() { --m_book.m_loadingDepth; }
        Loading(const Loading &) = delete;
        Loading &operator=(const Loading &) = delete;

    private:
        Book &m_book;
    };

    // appPath is the program folder, ending in "/"; versionsFolder the user's
    // folder of earlier versions ("" keeps none).
    explicit Book(const QString &appPath, const QString &versionsFolder = QString());
    ~Book() override;

    ItemTree &tree() { return m_tree; }
    const ItemTree &tree() const { return m_tree; }
    // The only way the tree's shape changes while the user edits the book.
    TreeEditor &editor() { return m_editor; }
    // What a save writes to the book file for the tree as it is.
    const QByteArray &bookFileBytes() { return m_bookFileBytes.bytes(); }
    WorkingFolder &workingFolder() { return m_workingFolder; }
    const WorkingFolder &workingFolder() const { return m_workingFolder; }

    const QString &appPath() const { return m_appPath; }
    const QString &versionsFolder() const { return m_versionsFolder; }
    void setVersionsFolder(const QString &folder) { m_versionsFolder = folder; }

    // The open book file; "" for a new book never saved.
    const QString &bookPath() const { return m_bookPath; }
    // Its name, which names its book folder in the program folder (see bookNameFromPath).
    const QString &bookName() const { return m_bookName; }
    QString bookFolder() const { return m_appPath + m_bookName + u'/'; }
    // The book now lives in path under name: read from it, saved as it, or brought back.
    void setBookFile(const QString &path, const QString &name);
    // The book file read with records left out, until the program writes over it:
    // the first save over it copies it to its path + ".bak" first.
    const QString &damagedBookFile() const { return m_damagedBookFile; }
    void setDamagedBookFile(const QString &path) { m_damagedBookFile = path; }

    // What the panes show of the book.
    ShownContent &shown() { return m_shown; }
    const ShownContent &shown() const { return m_shown; }
    bool isLoading() const { return m_loadingDepth > 0; }

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

    // The pages captured into the book folder that no book file names yet.
    NewCaptures &newCaptures() { return m_newCaptures; }
    const NewCaptures &newCaptures() const { return m_newCaptures; }

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
    BookFileBytes m_bookFileBytes{m_tree};
    QString m_appPath;
    QString m_versionsFolder;
    QString m_bookPath;
    QString m_bookName;
    QString m_damagedBookFile;
    ShownContent m_shown{BookItemKey};
    int m_loadingDepth = 0;
    WorkingFolder m_workingFolder;
    FileStamp m_bookFileStamp;
    QString m_title;
    bool m_changed = false;
    NewCaptures m_newCaptures;
};

} // namespace kobin
