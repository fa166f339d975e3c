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
// "pages/<key>/", shown only in sandboxed frames (also on its own, through
// "items/<key>-page.html"). A url file that names no page, and files that lead out
// of the page's folder, are left out (PageBundle). The site's own pages load
// nothing from the network and run no scripts. Every link is relative and every
// file UTF-8. The site is written whole or not at all (ExportFolder).
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
    struct Result {
        Outcome outcome = Outcome::Failed;
        int pagesLeftOut = 0; // homepage items whose url file names no page the viewer shows
        int filesLeftOut = 0; // files of pages' files folders that lead out of the page's folder
    };

    // Writes the site into folder, which is created, or replaced when it exists.
    static Result write(const Source &source, const QString &folder, const Progress &progress = {});

    // What the user is told of what was left out; empty when nothing was.
    static QString leftOutMessage(const Result &result);

    // What the user is told when the site could not be written.
    static QString failureMessage(const QString &folder);
};

} // namespace kobin
