#pragma once

#include "ContentNames.h"
#include "DeletionRecord.h"
#include "FileStamp.h"
#include "PageSettings.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin {

// The working folder in the program folder appPath (ending in "/"): "temp/".
QString workingFolderPath(const QString &appPath);

// The open book's content files while it is open (ContentNames names them); the
// book folder holds the same names.
//
// The working folder holds only what changed since the book was opened or last
// saved: every content file written since then, and a record of the ones deleted.
// A file is read from here first, else from the book folder unless it was deleted,
// so opening copies nothing and a save writes only the change.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &path); // ends in "/"

    const QString &path() const { return m_path; }
    // The folder read where this one holds no such file; "" for a book without one.
    const QString &bookFolder() const { return m_bookFolder; }
    // Whether path lies in the working folder or below it, also through symbolic links.
    bool contains(const QString &path) const;

    // Where the open book's content file of this name is read from now: here, else
    // the book folder. A deleted file's path here, where nothing is. Every read goes
    // through here: a book folder file is stamped the first time it is looked at.
    QString readableFile(const QString &name) const;
    QString readableTextFile(const QString &contentId) const
    {
        return readableFile(ContentNames::textFileName(contentId));
    }
    // The book folder's files as this book first looked at them or last wrote them,
    // by path: what a save compares before it replaces or removes one.
    FileStamps &bookFolderStamps() { return m_bookFolderStamps; }

    // Where a file of this folder (a note or side text, a url file) is written; the
    // folder is made again first when it has gone (removed while the program was
    // closed, say).
    QString writableFile(const QString &name) const;
    QString textFile(const QString &contentId) const { return writableFile(ContentNames::textFileName(contentId)); }
    QString urlFile(const QString &key) const { return writableFile(ContentNames::urlFileName(key)); }

    // The url files and splitter positions, read and written through this folder.
    PageSettings pageSettings() const { return PageSettings(*this); }

    // The files deleted since the book was loaded or last saved, and those set aside.
    DeletionRecord &deletions() { return m_deletions; }
    const DeletionRecord &deletions() const { return m_deletions; }
    // Deletes the files (content file names), each from where it is read now, into
    // a batch of deletions that can be brought back; gives the batch's number.
    int setAside(const QStringList &names);

    // The book's content files as ContentNames::filesIn orders them: those here and
    // those of the book folder, less the deleted ones. Nullopt when this folder is
    // gone or cannot be read, which a save must never take for a book without changes.
    std::optional<QStringList> readableContentFiles() const;
    // The content files written here since the book was opened or last saved;
    // nullopt as for readableContentFiles.
    std::optional<QStringList> changedContentFiles() const;
    // Every content file of the item: its key followed by a tail that ends in
    // ".rtf" or ".txt" and does not begin with a digit (a2 never claims a21's files).
    QStringList itemFiles(const QString &key) const;
    // The content files of all these items, from one listing of each folder.
    QStringList itemFiles(const QSet<QString> &keys) const;

    // Deletes every file here and every file set aside, and leaves the book folder:
    // nothing here belongs to a book now. False when a file could not be deleted.
    [[nodiscard]] bool clear();
    // Starts the book in bookFolder ("" for none): this folder empty, nothing deleted.
    // False when a file here could not be deleted, or bookFolder cannot be read.
    [[nodiscard]] bool startFrom(const QString &bookFolder);
    // Goes on with what a program that ended unexpectedly left here for the book in
    // bookFolder: the files written and the record of the deleted ones (see
    // DeletionRecord::resume for the items of the tree kept, isItem).
    void resume(const QString &bookFolder, const std::function<bool(const QString &key)> &isItem);
    // Moves a file written here into the book folder, replacing the one there in one
    // step; false when it could not, and both stay as they were.
    [[nodiscard]] bool moveToBookFolder(const QString &name);
    // The changes are in bookFolder now, the book's folder from here on: this
    // folder is emptied and nothing counts as deleted. False when a file here
    // could not be deleted (it holds what bookFolder holds, so nothing is lost).
    [[nodiscard]] bool savedInto(const QString &bookFolder);

private:
    QString m_path;
    QString m_bookFolder;
    DeletionRecord m_deletions;
    mutable FileStamps m_bookFolderStamps;
};

} // namespace kobin
