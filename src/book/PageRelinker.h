#pragma once

#include <QList>
#include <QMultiHash>
#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

class Book;

// A homepage item whose page cannot be found.
struct BrokenLink {
    QString key;
    QString caption;
    QString recordedPath; // what its url file holds; empty when there is no url file
};

// Every homepage item of the open book, in tree order, whose url file is missing
// or names no page here.
QList<BrokenLink> brokenLinks(const Book &book);

// The regular files under a folder the user chose, by name without case, to find
// moved pages in. The walk goes level by level with a queue, never into a symbolic
// link to a folder (so no loop can form, nor a way out of the folder), and stops
// at kMaxFiles files or kMaxDepth levels.
class PageIndex
{
public:
    static constexpr int kMaxFiles = 200000;
    static constexpr int kMaxDepth = 32;

    explicit PageIndex(const QString &folder);

    // The file named as the path's last component (without case) whose folders
    // match the most trailing components of the path; among equals the first by
    // path. nullopt when no file has that name.
    std::optional<QString> find(const QString &recordedPath) const;
    // Whether the walk stopped at a bound before it saw every file.
    bool isIncomplete() const { return m_incomplete; }

private:
    QMultiHash<QString, QString> m_byName; // name folded to lower case: paths
    bool m_incomplete = false;
};

struct RelinkResult {
    int relinked = 0;
    QList<BrokenLink> remaining;
    QString failedFile; // a url file that could not be written, if any
};

// Points every broken link whose page the index holds at it: the url file in the
// working folder takes the page's path (the book keeps it when it is saved) and
// the book is marked changed.
[[nodiscard]] RelinkResult relinkPages(Book &book, const QList<BrokenLink> &broken, const PageIndex &index);

// What the repair says when it is done: how many items were relinked, how many
// remain, a url file it could not write, and whether the folder was too large to
// be searched whole.
QString relinkReport(const RelinkResult &result, bool searchIncomplete);

} // namespace kobin
