#pragma once

#include "FileStamp.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin {

// The working folder in the program folder appPath (ending in "/"): "temp/".
QString workingFolderPath(const QString &appPath);

// The open book's content files while it is open, and the one place that knows
// their names: an item's note (key ".rtf"), a homepage item's url file (key
// "url.txt"), and per page it has shown, the side text (content id ".rtf") with
// the splitter files (content id ".txt" and "side.txt"); a content id is the key
// followed by the page's base name. The book folder holds the same names.
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
    // The book folder's files as this book first looked at them or last wrote them,
    // by path: what a save compares before it replaces or removes one.
    FileStamps &bookFolderStamps() { return m_bookFolderStamps; }

    static QString textFileName(const QString &contentId); // a note or a side text
    static QString urlFileName(const QString &key);
    // Where a file of this folder (a note or side text, a url file) is written; the
    // folder is made again first when it has gone (removed while the program was
    // closed, say).
    QString writableFile(const QString &name) const;
    QString textFile(const QString &contentId) const { return writableFile(textFileName(contentId)); }
    QString urlFile(const QString &key) const { return writableFile(urlFileName(key)); }
    QString readableTextFile(const QString &contentId) const { return readableFile(textFileName(contentId)); }

    // The page path a homepage item's url file holds; nullopt when it cannot be read.
    std::optional<QString> pagePath(const QString &key) const;
    // Writes the item's url file: the page path and CR LF in the system's encoding,
    // whole or not at all.
    [[nodiscard]] bool storePagePath(const QString &key, const QString &page) const;

    // The splitter positions kept for a page's side text; nullopt when none is kept.
    std::optional<float> stackedSplit(const QString &contentId) const;
    std::optional<float> sideSplit(const QString &contentId) const;
    // Keeps them in folder (the book folder of a book left unchanged). On failure
    // names the file that could not be written.
    [[nodiscard]] static bool storeSplits(const QString &folder, const QString &contentId, float stacked, float side,
                                          QString *failedFile = nullptr);
    // Keeps them here, unless they are what is kept already.
    [[nodiscard]] bool storeSplits(const QString &contentId, float stacked, float side,
                                   QString *failedFile = nullptr) const;

    // The content files directly in folder, ".rtf" ones first, then ".txt", each by
    // name. Only these belong to a book; nothing else there is touched.
    static QStringList contentFiles(const QString &folder);
    // The book's content files as contentFiles orders them: those here and those of
    // the book folder, less the deleted ones. Nullopt when this folder is gone or
    // cannot be read, which a save must never take for a book without changes.
    std::optional<QStringList> readableContentFiles() const;
    // The content files written here since the book was opened or last saved;
    // nullopt as for readableContentFiles.
    std::optional<QStringList> changedContentFiles() const;
    // Every content file of the item: its key followed by a tail that ends in
    // ".rtf" or ".txt" and does not begin with a digit (a2 never claims a21's files).
    QStringList itemFiles(const QString &key) const;
    // The content files of all these items, from one listing of each folder.
    QStringList itemFiles(const QSet<QString> &keys) const;

    // Deletes the files (content file names): those written here are moved aside,
    // where a save never looks, so that taking an edit back can return them; gives
    // the batch's number. The names count as deleted until the batch comes back.
    int setAside(const QStringList &names);
    // Called before files are set aside or brought back, so that what else a crash
    // leaves (the tree kept) agrees with the record of deletions.
    void setBeforeDeletionsChange(std::function<void()> call) { m_beforeDeletionsChange = std::move(call); }
    // Puts a batch set aside back; false when a file could not be returned. Its names
    // count as deleted no longer, returned or not: the item they belong to is back.
    [[nodiscard]] bool bringBack(int batch);

    // The content files deleted since the book was loaded or last saved that have
    // not been written again, by name: the only files a save removes from the book
    // folder. A file missing for any other reason stays there.
    QStringList deletedFiles() const;

    // The key of the item a content file belongs to ("a5" for "a5index.rtf"); "" for none.
    static QString keyOf(const QString &name);

    // Deletes every file here and every file set aside, and leaves the book folder:
    // nothing here belongs to a book now. False when a file could not be deleted.
    [[nodiscard]] bool clear();
    // Starts the book in bookFolder ("" for none): this folder empty, nothing deleted.
    // False when a file here could not be deleted, or bookFolder cannot be read.
    [[nodiscard]] bool startFrom(const QString &bookFolder);
    // Goes on with what a program that ended unexpectedly left here for the book in
    // bookFolder: the files written and the record of the deleted ones. The tree
    // kept may be older than that record: an item it still holds (isItem) whose own
    // note or url file counts as deleted was deleted after the tree was kept, so
    // its files count as deleted no longer and those set aside come back.
    void resume(const QString &bookFolder, const std::function<bool(const QString &key)> &isItem);
    // Moves a file written here into the book folder, replacing the one there in one
    // step; false when it could not, and both stay as they were.
    [[nodiscard]] bool moveToBookFolder(const QString &name);
    // The changes are in bookFolder now, the book's folder from here on: this
    // folder is emptied and nothing counts as deleted. False when a file here
    // could not be deleted (it holds what bookFolder holds, so nothing is lost).
    [[nodiscard]] bool savedInto(const QString &bookFolder);

private:
    QString asideFolder(int batch) const;
    void forgetAsideFiles();
    void recordDeletions() const;
    bool isWrittenHere(const QString &name) const;

    QString m_path;
    QString m_bookFolder;
    QString m_asidePath; // a hidden folder beside this one: no book can be named after it
    int m_lastBatch = 0;
    QHash<int, QStringList> m_asideNames; // by batch
    QSet<QString> m_deleted;
    std::function<void()> m_beforeDeletionsChange;
    mutable FileStamps m_bookFolderStamps;
};

} // namespace kobin
