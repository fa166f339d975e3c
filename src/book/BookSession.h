#pragma once

#include <QString>

namespace kobin {

// Where the open book lives and what the panes show of it.
struct BookSession {
    QString appPath;         // the program folder, ending in "/"
    QString bookPath;        // the open book file; "" for a new book never saved
    QString bookName;        // its name: file name cut before the first "."
    QString currentKey;      // the item whose content the panes show
    QString pagePath;        // page file of the homepage item shown
    QString pageTextName;    // content id of the page text shown: key + page base name
    QString currentPagePath; // address last opened in the browser pane
    bool loading = false;    // the program itself is filling the panes: typing marks nothing
    QString versionsFolder;  // the user's folder of earlier versions; "" keeps none
    // The book file read with records left out, until the program writes over it:
    // the first save over it copies it to its path + ".bak" first.
    QString damagedBookFile;

    QString bookFolder() const { return appPath + bookName + u'/'; }
};

// A book's name from its file's path: the part after the last "/" or "\", cut
// before its first "." ("D:\docs\report.final.iis" gives "report").
QString bookNameFromPath(const QString &path);

} // namespace kobin
