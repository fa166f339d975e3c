#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>

namespace kobin {

// The content files deleted from the open book since it was opened or last saved,
// kept in the working folder so that a program that ended unexpectedly can go on
// with them, and the batches of files set aside by deleting: where a save never
// looks, so that taking an edit back can return them.
class DeletionRecord
{
public:
    explicit DeletionRecord(const QString &workingPath); // the working folder, ending in "/"

    // Whether the name counts as deleted: nothing of that name is read from the book folder.
    bool contains(const QString &name) const { return m_deleted.contains(name); }
    // The content files deleted that have not been written again, by name: the only
    // files a save removes from the book folder. A file missing for any other
    // reason stays there.
    QStringList files() const;

    // Deletes the files (content file names), each read from now where readableFiles
    // says: those written in the working folder are moved aside, those only in the
    // book folder linked there. Gives the batch's number. The names count as
    // deleted until the batch comes back.
    int setAside(const QStringList &names, const QStringList &readableFiles);
    // Puts a batch set aside back; false when a file could not be returned. Its names
    // count as deleted no longer, returned or not: the item they belong to is back.
    [[nodiscard]] bool bringBack(int batch);
    // Called before files are set aside or brought back, so that what else a crash
    // leaves (the tree kept) agrees with the record.
    void setBeforeChange(std::function<void()> call) { m_beforeChange = std::move(call); }

    // The file of this name was written again and moved into the book folder: it
    // counts as deleted no longer.
    void writtenAgain(const QString &name);
    // Saved: nothing counts as deleted. What was set aside stays, so that an undo
    // after the save still brings it back.
    void saved() { m_deleted.clear(); }
    // Forgets every deletion and deletes every file set aside; false when the
    // folder of them could not be deleted.
    [[nodiscard]] bool clear();
    // Reads the record a program that ended unexpectedly left. An item still in
    // the tree kept (isItem) whose own note or url file counts as deleted was
    // deleted after the tree was kept: its files count as deleted no longer and
    // those set aside come back. Every other batch set aside is deleted.
    void resume(const std::function<bool(const QString &key)> &isItem);

private:
    QString asideFolder(int batch) const;
    bool isWrittenHere(const QString &name) const;
    void forget();
    void write() const;

    QString m_workingPath;
    QString m_asidePath; // a hidden folder beside the working folder: no book can be named after it
    int m_lastBatch = 0;
    QHash<int, QStringList> m_asideNames; // by batch
    QSet<QString> m_deleted;
    std::function<void()> m_beforeChange;
};

} // namespace kobin
