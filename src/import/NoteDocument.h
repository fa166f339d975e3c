#pragma once

#include "ImportItem.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin::import {

// The bytes of a picture a note names by its address; nothing when there is none.
using PictureSource = std::function<std::optional<QByteArray>(const QString &address)>;
// What a link the note cannot follow pointed to, for the report ("ノート「買い物」へのリンク（文字のまま）"); empty
// to say it plainly.
using LinkNamer = std::function<QString(const QString &address)>;

// A note made from another program's markup, as RTF.
struct NoteConversion {
    QByteArray rtf;
    int pictures = 0;
    QStringList leftOut; // pictures that could not be read, one line each
};

// Converts HTML or Markdown through QTextDocument, so that the note holds what
// the editor holds of it (paragraph and character formats, links, lists,
// tables, as far as the RTF engine keeps them). Pictures become the note's own
// (PNG and JPEG kept as they are); a checkbox becomes ☐ or ☑. Nothing is fetched:
// a picture comes only from pictures. A link to anything but a web page or a
// mail address is kept as its text and listed, named by nameLink when given.
// firstLine, when given, goes before the text as a paragraph of its own.
NoteConversion convertNote(const QString &markup, ImportItem::Markup kind, const PictureSource &pictures,
                           const QString &firstLine = {}, const LinkNamer &nameLink = {});

// A plain text (a page's comment) as a note: one paragraph per line.
QByteArray plainNote(const QString &text);

} // namespace kobin::import
