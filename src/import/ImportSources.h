#pragma once

#include "ImportItem.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin::import {

enum class SourceFormat { ScrapBookX, WebScrapBook, Evernote, CherryTree, Zim, TreeLine, Joplin };

// Another program's collection, as found from the file or folder a person named.
struct ImportSource {
    SourceFormat format = SourceFormat::ScrapBookX;
    QString folder;    // the collection's folder; Evernote: the folder of the exports
    QStringList files; // Evernote: the exports, each a notebook; CherryTree, Joplin: the file, none for a folder;
                       // TreeLine: the document
    QString name;      // what the collection is called: the folder's or the file's name
    bool needsPassword = false; // a protected document: password is to be asked for
    QString password;
};

// The collection at path: a ScrapBook X folder or its scrapbook.rdf, a
// WebScrapBook folder or a file of its tree folder, an Evernote export or a
// folder of them, a CherryTree document (.ctd, .ctb, a folder; .ctz, .ctx with a
// password), a Zim notebook or its notebook.zim, a TreeLine document (.trln, .trl),
// a Joplin RAW export folder (or one of its <id>.md files) or .jex archive.
// Nullopt, with why in *failure, for anything else.
std::optional<ImportSource> findImportSource(const QString &path, QString *failure);

// Hands the collection's items to the sink. False, with why in *failure, when it
// cannot be read; false with *failure empty when the sink stopped it.
bool readImportSource(const ImportSource &source, ImportSink &sink, QString *failure);

} // namespace kobin::import
