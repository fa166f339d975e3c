#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

// The open book's content files while it is open, and the one place that knows
// their names: an item's note (key ".rtf"), a homepage item's url file (key
// "url.txt"), and per page it has shown, the side text (content id ".rtf") with
// the splitter files (content id ".txt" and "side.txt"); a content id is the key
// followed by the page's base name. The book folder holds the same names.
class WorkingFolder
{
public:
    explicit WorkingFolder(const QString &path); // ends in "/"

    const QString &path() const { return m_path; }
    // Whether path lies in the working folder or below it, also through symbolic links.
    bool contains(const QString &path) const;

    // Where the open book's content file of this name is read from now.
    QString readableFile(const QString &name) const { return m_path + name; }

    static QString textFileName(const QString &contentId); // a note or a side text
    static QString urlFileName(const QString &key);
    QString textFile(const QString &contentId) const { return m_path + textFileName(contentId); }
    QString urlFile(const QString &key) const { return m_path + urlFileName(key); }

    // The page path a homepage item's url file holds; nullopt when it cannot be read.
    std::optional<QString> pagePath(const QString &key) const;
    // Writes the item's url file: the page path and CR LF in the system's encoding,
    // whole or not at all.
    [[nodiscard]] bool storePagePath(const QString &key, const QString &page) const;

    // The splitter positions kept for a page's side text; nullopt when none is kept.
    std::optional<float> stackedSplit(const QString &contentId) const;
    std::optional<float> sideSplit(const QString &contentId) const;
    // Keeps them in folder (the working folder, or the book folder of a book left
    // unchanged). On failure names the file that could not be written.
    [[nodiscard]] static bool storeSplits(const QString &folder, const QString &contentId, float stacked, float side,
                                          QString *failedFile = nullptr);
    [[nodiscard]] bool storeSplits(const QString &contentId, float stacked, float side, QString *failedFile = nullptr)
    {
        return storeSplits(m_path, contentId, stacked, side, failedFile);
    }

    // The content files directly in folder (the working folder or a book folder),
    // ".rtf" ones first, then ".txt", each by name. Only these travel between the
    // two folders; nothing else there is touched.
    static QStringList contentFiles(const QString &folder);
    // This folder's content files as contentFiles gives them; nullopt when the folder
    // is gone or cannot be read, which a save must never take for a book without notes.
    std::optional<QStringList> readableContentFiles() const;
    // Every content file of the item: its key followed by a tail that ends in
    // ".rtf" or ".txt" and does not begin with a digit (a2 never claims a21's files).
    QStringList itemFiles(const QString &key) const;
    // The content files of all these items, from one listing of the folder.
    QStringList itemFiles(const QSet<QString> &keys) const;

    // Moves the files (names in this folder) aside, where a save never looks, so that
    // taking an edit back can return them; gives the batch's number. This is how the
    // book's content files are deleted: the names are kept as deleted until the batch
    // comes back.
    int setAside(const QStringList &names);
    // Puts a batch set aside back; false when a file could not be returned. Its names
    // count as deleted no longer, returned or not: the item they belong to is back.
    [[nodiscard]] bool bringBack(int batch);

    // The content files deleted here since the book was loaded or last saved that
    // are not here again, by name: the only files a save removes from the book
    // folder. A file missing for any other reason stays there.
    QStringList deletedFiles() const;
    // The book folder has been saved: the deletions so far are done.
    void forgetDeletions();

    // Deletes every file in the folder and every file set aside; false when one
    // could not be deleted. No deletion is kept: nothing here belongs to a book now.
    [[nodiscard]] bool clear();
    // Makes the folder hold exactly the content files of bookFolder (none when
    // bookFolder is empty), with no deletion kept. False when a file could not be
    // copied: it is then missing here, never left with another book's content.
    [[nodiscard]] bool loadFrom(const QString &bookFolder);

private:
    QString asideFolder(int batch) const;
    void forgetAsideFiles();

    QString m_path;
    QString m_asidePath; // a hidden folder beside this one: no book can be named after it
    int m_lastBatch = 0;
    QHash<int, QStringList> m_asideNames; // by batch
    QSet<QString> m_deleted;
};

} // namespace kobin
