#pragma once

#include "ImportItem.h"

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

namespace kobin::import {

class SourceFolder;

// The files of a Joplin export: a RAW folder (<id>.md at its top, resources/
// beside them) or a .jex archive, an uncompressed tar of the same files read
// entry by entry through libarchive and never unpacked. Only regular files
// under names that stay inside are taken; an item over kMaxItemBytes, or past
// kMaxItems or kMaxTextBytes in all, is left out and said so.
class JoplinExport
{
public:
    static constexpr qint64 kMaxItemBytes = 16LL * 1024 * 1024;
    static constexpr qint64 kMaxTextBytes = 1024LL * 1024 * 1024;
    static constexpr int kMaxItems = 1000000;
    // All the pictures of an archive held at once stay below this.
    static constexpr qint64 kMaxHeldBytes = 512LL * 1024 * 1024;

    struct ItemFile {
        QString name; // "<id>.md"
        QByteArray bytes;
    };

    // archive: the .jex, or empty for the folder's RAW export.
    JoplinExport(const QString &archive, const SourceFolder &folder) : m_archive(archive), m_folder(folder) {}

    // The item files, in the order found. False, with why in *failure, when
    // there is no export to read at all; what is left out goes to the sink.
    bool readItems(std::vector<ItemFile> &items, ImportSink &sink, QString *failure);
    // Makes the named files of resources/ ready for resource(): from an archive
    // they are read in one more pass and held.
    void keepResources(const QSet<QString> &names);
    std::optional<QByteArray> resource(const QString &name) const;

private:
    bool readArchive(std::vector<ItemFile> &items, ImportSink &sink, QString *failure);
    void readFolder(std::vector<ItemFile> &items, ImportSink &sink);

    QString m_archive;
    const SourceFolder &m_folder;
    QHash<QString, QByteArray> m_held; // an archive's pictures, by their name in resources/
};

} // namespace kobin::import
