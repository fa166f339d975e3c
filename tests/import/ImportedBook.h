#pragma once

// What an import test looks at: the book made, and the source it must leave as it was.
#include "BookFile.h"
#include "BookOutline.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "RichTextFiles.h"
#include "TestFiles.h"

#include <QCryptographicHash>
#include <QDirIterator>
#include <QMap>

inline QByteArray md5(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex();
}

// Every file under folder with a digest of its bytes: what a source must still be after an import.
inline QMap<QString, QByteArray> contentsOf(const QString &folder)
{
    QMap<QString, QByteArray> contents;
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        contents.insert(path, QFileInfo(path).isFile() ? md5(readText(path)) : QByteArray("-"));
    }
    return contents;
}

// The same, leaving out the program folder app that the import writes into.
inline QMap<QString, QByteArray> contentsOutside(const QString &folder, const QString &app)
{
    QMap<QString, QByteArray> contents = contentsOf(folder);
    for (auto it = contents.begin(); it != contents.end();)
        it = it.key().startsWith(app) ? contents.erase(it) : std::next(it);
    return contents;
}

// The tree as "caption:kind" lines, two spaces a level, below the book item.
inline QString outlineOf(const QString &bookPath)
{
    kobin::ItemTree tree;
    if (kobin::loadBookFile(bookPath, tree).outcome != kobin::BookReading::Outcome::Read)
        return QStringLiteral("<unreadable>");
    QString lines;
    for (const kobin::OutlineEntry &entry : kobin::itemsInTreeOrder(tree)) {
        if (entry.depth == 0)
            continue;
        const char kind = "bfth"[static_cast<int>(kobin::kindOf(*entry.item))];
        lines += QString(2 * (entry.depth - 1), u' ') + entry.item->text() + u':' + QLatin1Char(kind) + u'\n';
    }
    return lines;
}

// The plain text of every note and side note of the book folder, run together.
inline QString notesOf(const QString &bookFolder)
{
    QString text;
    for (const QString &name : QDir(bookFolder).entryList({"*.rtf"}, QDir::Files, QDir::Name))
        text += name + u'=' + kobin::richtext::loadPlainText(bookFolder + name, u"/").value_or("<unreadable>") + u'\n';
    return text;
}
