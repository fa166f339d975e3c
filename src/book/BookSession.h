#pragma once

#include <QString>

namespace kobin {

// The open book's shared state, passed by reference to whoever needs it.
struct BookSession {
    QString appPath;         // the program folder, ending in "/"
    QString bookPath;        // the open book file; "" for a new book never saved
    QString bookName;        // its name: file name cut before the first "."
    QString currentKey = QStringLiteral("a1"); // the item whose content the panes show
    QString pagePath;        // page file of the homepage item shown
    QString pageTextName;    // content id of the page text shown: key + page base name
    QString currentPagePath; // address last opened in the browser pane
    QString caption;         // the main window's caption
    bool changed = false;
    bool loading = false;

    QString workingFolder() const { return appPath + QStringLiteral("temp/"); }
    QString bookFolder() const { return appPath + bookName + u'/'; }
};

// A book's name from its file's path: the part after the last "/" or "\", cut
// before its first "." ("D:\docs\report.final.iis" gives "report").
QString bookNameFromPath(const QString &path);

} // namespace kobin
