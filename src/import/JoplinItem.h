#pragma once

#include <QHash>
#include <QString>
#include <optional>

namespace kobin::import {

// One item of a Joplin export (<id>.md): the title line, a blank line and the
// body, then a blank line and "key: value" lines ending in "type_: N".
struct JoplinItem {
    enum Type { Note = 1, Notebook = 2, Resource = 4, Tag = 5, NoteTag = 6 };

    int type = 0;
    QString id; // 32 hex digits, checked
    QString title;
    QString body; // a note's
    QHash<QString, QString> properties;

    QString property(const QString &key) const { return properties.value(key); }
    bool encrypted() const { return properties.value(QStringLiteral("encryption_applied")) == u"1"; }

    // Nullopt for text that is no such item: a line that is no property, no
    // type_, or an id that is not 32 hex digits.
    static std::optional<JoplinItem> parse(const QString &text);
    static bool isId(const QString &text);
};

} // namespace kobin::import
