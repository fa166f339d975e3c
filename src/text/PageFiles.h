#pragma once

#include <QString>

namespace kobin {

// What of a saved page may be read and carried along (exported, indexed, shown):
// a page is a regular file the viewer shows, and it brings only files that lie in
// its own folder. A url file or a link in a page's files folder may name any file
// of the user's (/etc/shadow, ../../.bashrc); those never go with the page.
class PageFiles
{
public:
    // The page's own folder, with symbolic links resolved; none when the page is no page.
    explicit PageFiles(const QString &page);
    // The files of the folder of a page shown whatever its name (the page pane shows
    // any regular file the user opens).
    static PageFiles besideShownPage(const QString &page);

    // Whether path is a page the viewer shows: a regular file (not a folder, device
    // or pipe) whose name, and the name of the file it leads to through symbolic
    // links, end as a saved page does (.html, .htm, .xhtml, .shtml, .mht, .mhtml).
    static bool isPage(const QString &path);

    // Whether file goes with the page: a regular file inside the page's folder
    // once symbolic links are resolved, so that no link leads out of it.
    bool holds(const QString &file) const;

private:
    PageFiles() = default;
    void takeFolderOf(const QString &page);

    QString m_folder; // ends in "/"; empty when the page is no page
};

} // namespace kobin
