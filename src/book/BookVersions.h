#pragma once

#include <QDateTime>
#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin {

// One earlier version of a book: the book as it was before one of its saves.
struct BookVersion {
    QString folder;     // where its files are kept
    QDateTime savedAt;  // when the save that replaced it ran
    int changedNotes = 0; // notes that save replaced, removed or added
};

// The earlier versions of one book, in the user's data folder and never in the
// book's own folder (books stay as the old program wrote them). A save hands over
// each file it is about to replace or remove: it is hard-linked into the version,
// so a version costs only what changed. A version, together with the newer ones,
// gives back the whole book as it was.
class BookVersions
{
public:
    static constexpr int kKept = 10;
    // What versions are named and dated by.
    using Clock = std::function<QDateTime()>;

    // versionsRoot: the per-user folder of every book's versions; bookFolder ends in "/".
    BookVersions(const QString &versionsRoot, const QString &bookPath, const QString &bookFolder,
                 Clock now = &QDateTime::currentDateTime);

    // This book's versions, newest first.
    QList<BookVersion> list() const;

    // A save begins: the book file as it is now goes into a new version.
    [[nodiscard]] bool begin();
    // The save is about to replace or remove name in the book folder.
    [[nodiscard]] bool keep(const QString &name);
    // The save adds name, which the book folder did not have.
    void added(const QString &name);
    // The book file that begin kept was written by another program: the version
    // is recorded even when the save changes no content file.
    void keepBookFile() { m_bookFileKept = true; }
    // The save is over (done or not): the version is recorded when anything
    // changed, and only the newest kKept are kept.
    [[nodiscard]] bool finish();

    // Writes the book as it was before version's save into targetFolder (its
    // content files) and gives the path of its book file, which reads as a book;
    // nothing when it cannot be rebuilt.
    std::optional<QString> restore(const BookVersion &version, const QString &targetFolder) const;

private:
    QString m_bookPath;
    QString m_folder; // this book's versions, ending in "/"
    QString m_bookFolder;
    Clock m_now;
    QString m_current; // the version being recorded
    QStringList m_kept;
    QSet<QString> m_keptNames; // m_kept, to look up: a save may replace every note
    QStringList m_added;
    bool m_bookFileKept = false;
};

} // namespace kobin
