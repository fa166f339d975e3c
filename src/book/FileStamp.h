#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

// What a file held when the program read or wrote it, to tell later whether
// another program (a sync tool bringing another computer's save) has written it
// since. Content decides: a file given only a new time holds the same bytes and
// is unchanged.
class FileStamp
{
public:
    FileStamp() = default; // of no file at all: nothing is known, nothing has changed

    // The file at path as it is now, read whole for its digest; a path where
    // nothing is gives a stamp of a missing file.
    static FileStamp of(const QString &path);

    const QString &path() const { return m_path; }
    bool exists() const { return m_exists; }
    // Whether the file still holds what it held when stamped (or is still missing).
    // A file of another size is told at once, without reading it.
    bool isCurrent() const;

    bool operator==(const FileStamp &other) const;
    bool operator!=(const FileStamp &other) const { return !(*this == other); }

private:
    QString m_path;
    bool m_exists = false;
    qint64 m_size = 0;
    QByteArray m_digest;
    qint64 m_modified = 0; // only for what is not read for a digest (no regular file, or too large)
};

// The stamps of the files the open book looked at or wrote, by path: each taken
// when a file is first looked at, and again whenever the program writes it.
//
// A copy records nothing and knows nothing: the open book's working folder is
// copied only to be read on another thread (the search index), which must neither
// read every file twice nor share this record.
class FileStamps
{
public:
    FileStamps() = default;
    FileStamps(const FileStamps &) : m_recording(false) {}
    FileStamps &operator=(const FileStamps &other);
    ~FileStamps() = default;

    // Stamps the file unless it has a stamp already.
    void firstLook(const QString &path);
    // Stamps the file as the program has just written (or removed) it.
    void written(const QString &path);
    // The first of paths whose file is no longer what its stamp says; files never
    // stamped were never seen, so nothing is known to have changed in them.
    std::optional<QString> firstChanged(const QStringList &paths) const;
    // Another book, or the same one read again: nothing seen so far counts.
    void forget() { m_stamps.clear(); }

private:
    bool m_recording = true;
    QHash<QString, FileStamp> m_stamps;
};

} // namespace kobin
