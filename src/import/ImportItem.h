#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace kobin::import {

// One thing a reader found in another program's collection, in no program's
// terms: what the writer needs to make an item of the book from it.
struct ImportItem {
    enum class Kind { Folder, Note, Page, Bookmark };
    // Rtf: a note the reader made itself, body holding it as it is to be kept.
    enum class Markup { None, Html, Markdown, Enml, Rtf };

    Kind kind = Kind::Note;
    QString title;

    // A note's text, or a page held as markup rather than as files: in body, or
    // in the source's file bodyFile.
    Markup markup = Markup::None;
    QByteArray body;
    QString bodyFile;
    int pictures = 0; // in a note made as Rtf
    // Where a picture a note names by a relative address is looked up (a folder
    // of the source, ending in "/"); empty for none.
    QString pictureFolder;
    // Evernote's resources, by the MD5 (hex) of their bytes, with their types.
    QHash<QByteArray, QByteArray> resources;
    QHash<QByteArray, QByteArray> resourceTypes;

    // A saved page: a file in a folder of the source, taken with the whole folder,
    // or a zip archive (.htz, .maff) holding it.
    QString pageFolder; // ends in "/"
    QString pageFile;   // relative to pageFolder
    bool pageFileOnly = false; // the folder holds other items too: only the file is taken
    QString pageArchive;

    QString address; // a bookmark's, or where a page was taken from
    QString comment; // a page's: becomes its side note
    // A line kept before a note's text or a page's comment: what the source knew
    // of it that the book has no place for but a reader wants (tags, an address).
    QString heading;
    // What the book has no place for, one line each ("タグ: 旅行").
    QStringList leftOut;
};

// What a reader hands its items to, in the source's order: a folder is opened,
// its items added, and closed; a folder's note is its body when made as Rtf. Every call but leaveOut answers whether to go on
// (false: the import was cancelled or failed, and the reader stops).
class ImportSink
{
public:
    virtual ~ImportSink() = default;
    // How many items the source holds, once known: for the progress shown.
    virtual void expect(int items) = 0;
    virtual bool openFolder(const ImportItem &folder) = 0;
    virtual bool closeFolder() = 0;
    virtual bool add(ImportItem &item) = 0;
    // Something of the source that is not imported: what it is and why.
    virtual void leaveOut(const QString &what, const QString &why) = 0;
};

} // namespace kobin::import
