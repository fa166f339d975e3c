#pragma once

#include <QString>
#include <QStringList>

namespace kobin::import {

// What an import made and what it left out, for the person who asked for it.
struct ImportReport {
    int folders = 0;
    int notes = 0;
    int pages = 0;
    int bookmarks = 0;
    int pictures = 0;
    int comments = 0;
    QStringList leftOut; // "「title」 what: why", in the source's order

    void leaveOut(const QString &title, const QString &what);
    int items() const { return folders + notes + pages + bookmarks; }
    // Counts first, then what was left out, one line each.
    QString text() const;
};

// A path as messages name it: 「 path 」, with the system's separators.
QString quotedPath(const QString &path);

} // namespace kobin::import
