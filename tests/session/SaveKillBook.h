#pragma once

#include "BookFile.h"
#include "ItemTree.h"
#include "KeyNumbers.h"
#include "TreeString.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <optional>

// The book that the save driver edits and saves and tst_savekill kills it over:
// "book.iis" in the program folder, a book item and text items under it, each note
// a version that tells which item and which generation of edits wrote it.
namespace savekill {

inline const QString BookName = QStringLiteral("book");
constexpr int ItemCount = 1000;

inline QString bookFile(const QString &programFolder)
{
    return programFolder + BookName + QStringLiteral(".iis");
}

inline QString bookFolder(const QString &programFolder)
{
    return programFolder + BookName + u'/';
}

// Mixes the key and the generation into a number that picks the note's size and bytes.
inline quint32 noteSeed(const QString &key, int generation)
{
    quint32 hash = 2166136261u ^ static_cast<quint32>(generation);
    for (const QChar ch : key)
        hash = (hash ^ ch.unicode()) * 16777619u;
    return (hash ^ static_cast<quint32>(generation) * 2654435761u) * 16777619u;
}

// The version of key's note that generation wrote (0: the book as created): a line
// naming the key, the generation and the body's length, then the body, from a few
// bytes to beyond a 16 KiB write buffer.
inline QByteArray noteText(const QString &key, int generation)
{
    const quint32 seed = noteSeed(key, generation);
    const int size = seed % 16 == 0 ? 16 * 1024 + static_cast<int>(seed >> 4) % (24 * 1024)
                                    : 1 + static_cast<int>(seed >> 4) % 3000;
    QByteArray body(size, Qt::Uninitialized);
    char *byte = body.data();
    for (int i = 0; i < size; ++i)
        byte[i] = i % 64 == 63 ? '\n' : static_cast<char>('a' + ((seed >> (i % 23)) ^ static_cast<quint32>(i)) % 26);
    return key.toLatin1() + ' ' + QByteArray::number(generation) + ' ' + QByteArray::number(size) + '\n' + body;
}

// The generation that wrote bytes as key's note; nullopt when they are no whole
// version of it (empty, cut, another item's).
inline std::optional<int> noteGeneration(const QString &key, const QByteArray &bytes)
{
    const QList<QByteArray> header = bytes.left(bytes.indexOf('\n')).split(' ');
    bool isNumber = false;
    const int generation = header.size() == 3 ? header[1].toInt(&isNumber) : 0;
    if (!isNumber || header[0] != key.toLatin1() || bytes != noteText(key, generation))
        return std::nullopt;
    return generation;
}

// The caption of an item added in generation, which tells the item from a deleted
// one that had its key.
inline QString addedCaption(int generation)
{
    return QStringLiteral("Added in ") + QString::number(generation);
}

// The generation that added the item; 0 for an item the book was created with.
inline int generationAdded(const kobin::TreeItem &item)
{
    return item.text().startsWith(QLatin1String("Added in ")) ? item.text().mid(9).toInt() : 0;
}

// Writes the book as created: every note at generation 0.
inline bool createBook(const QString &programFolder)
{
    kobin::ItemTree tree;
    tree.add(nullptr, kobin::Relationship::Last, QStringLiteral("a1"), QStringLiteral("Book"), QStringLiteral("root"));
    for (int number = 2; number <= ItemCount; ++number)
        tree.add(QStringLiteral("a1"), kobin::Relationship::Child, kobin::keyForNumber(number),
                 QStringLiteral("Item ") + QString::number(number), QStringLiteral("richtxt"));
    if (!QDir().mkpath(bookFolder(programFolder)))
        return false;
    for (int number = 1; number <= ItemCount; ++number) {
        const QString key = kobin::keyForNumber(number);
        QFile note(bookFolder(programFolder) + key + QStringLiteral(".rtf"));
        const QByteArray text = noteText(key, 0);
        if (!note.open(QIODevice::WriteOnly) || note.write(text) != text.size())
            return false;
    }
    return kobin::writeBookFile(bookFile(programFolder), kobin::treestring::fromTree(tree));
}

} // namespace savekill
