#pragma once

#include <QString>
#include <functional>
#include <optional>

namespace kobin {

class ItemTree;

// Writes a book as a static web site: "index.html" with the tree as nested lists
// beside a frame that shows the item chosen; each item's page in "items/" (a note
// as HTML from the RTF engine, formatting kept; a homepage item's page beside its
// side note); each homepage item's page copied with its files folder into
// "pages/<key>/". Every link is relative and every file UTF-8. The site is written
// whole or not at all (ExportFolder).
class HtmlExport
{
public:
    struct Source {
        const ItemTree &tree;
        // Where the content file of this name is read from; nullopt when there is none.
        std::function<std::optional<QString>(const QString &name)> contentFile;
        // The page a homepage item shows; nullopt when it cannot be found.
        std::function<std::optional<QString>(const QString &key)> page;
    };
    // Called after each item with the items done and their number; false cancels.
    using Progress = std::function<bool(int done, int total)>;

    enum class Outcome { Written, Cancelled, Failed };

    // Writes the site into folder, which is created, or replaced when it exists.
    static Outcome write(const Source &source, const QString &folder, const Progress &progress = {});

    // The page's files folder beside it as browsers save it ("index_files",
    // "index.files", in any case), from the names of the folders beside the page;
    // empty when there is none.
    static QString filesFolderOf(const QString &page, const QStringList &foldersBeside);

    // What the user is told when the site could not be written.
    static QString failureMessage(const QString &folder);
};

} // namespace kobin
