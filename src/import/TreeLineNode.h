#pragma once

#include "ImportItem.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin::import {

// A TreeLine node type: its fields in order, each with its type, and the lines
// that make a node's title and its output.
struct TreeLineFormat {
    struct Field {
        QString type;
        QString prefix; // plain text shown before and after a value that is not empty
        QString suffix;
    };
    QStringList fieldNames;
    QHash<QString, Field> fields;
    QString titleLine;
    QStringList outputLines;
    bool outputHtml = false; // the output lines' own text is HTML, not plain text
};

// The formats of a document's "formats" array, by name.
QHash<QString, TreeLineFormat> treeLineFormats(const QJsonArray &formats);

// One node's fields turned into what a book keeps of it: a title and a note.
class TreeLineNode
{
public:
    // The bytes of a picture a field names, when it lies inside the document's folder.
    using Pictures = std::function<std::optional<QByteArray>(const QString &address)>;

    // format is null for a node whose type the document does not define.
    TreeLineNode(const QJsonObject &data, const TreeLineFormat *format);

    // The title line filled with the fields' text; the first field when it comes out empty.
    QString title() const;
    // The output lines as TreeLine shows them, each a paragraph: a line whose
    // fields are all empty is left out, as TreeLine does; with no output lines,
    // "field: value" lines. Text and HTML fields keep their formatting, links only
    // to web pages and mail addresses, pictures only from pictures.
    ImportItem item(ImportItem::Kind kind, const Pictures &pictures) const;

private:
    QString fieldHtml(const QString &name, QStringList &leftOut) const;
    // A stored value as HTML, by its field's type.
    QString fieldAsHtml(const QString &name, const QString &value) const;
    // A field as part of a title: cut without a word, as a title shows little of it anyway.
    QString titleHtml(const QString &name) const;
    QString filled(const QString &line, bool asHtml, QStringList &leftOut, bool *anyFilled) const;

    QJsonObject m_data;
    const TreeLineFormat *m_format;
};

} // namespace kobin::import
