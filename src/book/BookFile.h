#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace kobin {

class ItemTree;

// What reading a book file gave.
struct BookReading {
    enum class Outcome { Read, Unreadable, NotABook, TooDeep };
    Outcome outcome;
    int droppedRecords = 0; // records of a file read that could not be added and were left out
};

// Reads the book file (code page 932, or UTF-8 after a byte-order mark) into the
// tree, which is cleared first. A file that cannot be read, or whose content is
// no tree string (bytes that are no text in its encoding, control characters
// other than line breaks and tabs, not one record that gives an item), leaves
// the tree as it was.
[[nodiscard]] BookReading loadBookFile(const QString &path, ItemTree &tree);

// A book's name from its file's path: the part after the last "/" or "\", cut
// before its first "." ("D:\docs\report.final.iis" gives "report").
QString bookNameFromPath(const QString &path);

// What the user is told of a book nested deeper than any real book is.
QString tooDeepMessage(const QString &path);

// Writes the tree string and a CR LF, atomically: on failure the previous file
// stays as it was. Returns false on failure.
[[nodiscard]] bool writeBookFile(const QString &path, const QString &treeString);
// The same for the tree's string, which is encoded a record at a time.
[[nodiscard]] bool writeBookFile(const QString &path, const ItemTree &tree);
// What that writes: the tree string and a CR LF, encoded as encodeSystemText encodes.
QByteArray bookFileBytes(const ItemTree &tree);

// The book file's bytes for one tree, kept while the tree does not change: a save
// after only notes changed writes the bytes it wrote before, without going
// through a large book's items again.
class BookFileBytes
{
public:
    explicit BookFileBytes(const ItemTree &tree) : m_tree(tree) {}
    const QByteArray &bytes();

private:
    const ItemTree &m_tree;
    std::optional<quint64> m_revision; // of the tree the bytes are of
    QByteArray m_bytes;
};

} // namespace kobin
