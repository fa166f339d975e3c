#pragma once

#include "ImportItem.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QXmlStreamAttributes>
#include <vector>

class QXmlStreamReader;

namespace kobin::import {

// What one CherryTree node holds, as its files store it: runs of text, each
// with its attributes, and the objects (pictures, tables, code boxes, attached
// files) placed between them by their offset in characters.
struct CherryTreeContent {
    struct Run {
        QString text;
        QXmlStreamAttributes attributes;
    };
    struct Object {
        enum class Kind { Picture, Table, CodeBox, File, Anchor };
        Kind kind = Kind::Picture;
        qint64 offset = 0;   // in code points, each object before it counting one
        QByteArray bytes;    // a picture's or file's
        QString text;        // a code box's text, a file's name
        QString link;        // a picture's link
        QString file;        // a picture's file beside its node.xml, in a folder document
        QList<QStringList> rows; // a table's, header first
    };

    bool plain = false; // a code node: its text as it is, in a fixed-pitch font
    std::vector<Run> runs;
    std::vector<Object> objects;
    qint64 characters = 0; // text held, to bound what one node may hold

    // Reads the element the reader is at when it is text or an object
    // (rich_text, encoded_png, table, codebox), up to its end; false, reading
    // nothing, for any other element.
    bool readElement(QXmlStreamReader &reader);
    // A table as the database stores it: the XML of one table element.
    void addTable(qint64 offset, const QString &xml);
};

// A node's content as a note.
struct CherryTreeNote {
    QByteArray rtf;
    int pictures = 0;
    QStringList leftOut;
};

// Turns the content into a QTextDocument, as the editor would hold it, and
// that into RTF: fonts, sizes of headings, colours, bold, italic, underline,
// strike, raised and lowered text, alignment, indents, web links, pictures
// and tables. A link to another node is kept as its text (a note has no link
// that names an item); an object past the text's end goes after it.
CherryTreeNote convertCherryTreeNote(const CherryTreeContent &content);

// A node: its name, what the report tells of it (tags, dates, read-only) and its content.
struct CherryTreeNode {
    QString name;
    QStringList marks;
    CherryTreeContent content;
};
// A node as its XML element's attributes give it, content still to be read.
CherryTreeNode cherryTreeNode(const QXmlStreamAttributes &attributes);

// A node as an item of kind (a folder or a note) with its content as the note.
ImportItem cherryTreeItem(ImportItem::Kind kind, const CherryTreeNode &node);
// What a node's attributes tell that the book has no place for, one line each:
// its tags, read-only mark and dates (seconds since 1970, 0 for none).
QStringList cherryTreeMarks(const QString &tags, bool readOnly, qint64 created, qint64 saved);

} // namespace kobin::import
