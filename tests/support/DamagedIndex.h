#pragma once

#include "Sqlite.h"

#include <QByteArray>
#include <QFile>
#include <QString>

// Turns over bytes of a search index where SQLite looks first: the type of the
// root page of table, or the file's header when table is empty. What the log of
// an open writer holds is written into the file first, so that the damage is
// what every connection reads.
inline bool damageIndex(const QString &path, const QByteArray &table)
{
    using kobin::search::SqliteDatabase;
    using kobin::search::SqliteStatement;
    qint64 page = 1;
    qint64 pageSize = 0;
    qint64 length = 16;
    {
        SqliteDatabase db;
        if (!db.open(path, SqliteDatabase::Access::ReadWrite) || !db.exec("PRAGMA wal_checkpoint(TRUNCATE)"))
            return false;
        SqliteStatement size(db, "PRAGMA page_size");
        SqliteStatement root(db, "SELECT rootpage FROM sqlite_schema WHERE name = ?1");
        if (!size.next() || (!table.isEmpty() && !root.bind(1, QString::fromLatin1(table)).next()))
            return false;
        pageSize = size.integer(0);
        if (!table.isEmpty()) {
            page = root.integer(0);
            length = 1;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek((page - 1) * pageSize))
        return false;
    QByteArray bytes = file.read(length);
    for (char &byte : bytes)
        byte = static_cast<char>(~byte);
    return file.seek((page - 1) * pageSize) && file.write(bytes) == length;
}
