#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QList>
#include <QPair>
#include <archive.h>
#include <archive_entry.h>

// An archive of name → bytes in the format setFormat chooses (archive_write_set_format_zip, ..._pax_restricted);
// a name ending in "@" is written as a symbolic link to the bytes, one ending in "!" as a character device.
inline void writeArchive(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries, int (*setFormat)(archive *))
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    archive *writer = archive_write_new();
    setFormat(writer);
    archive_write_open_filename(writer, QFile::encodeName(path).constData());
    for (const auto &[name, bytes] : entries) {
        archive_entry *entry = archive_entry_new();
        const bool link = name.endsWith('@');
        const bool device = name.endsWith('!');
        archive_entry_set_pathname(entry, (link || device ? name.chopped(1) : name).constData());
        archive_entry_set_filetype(entry, link ? AE_IFLNK : device ? AE_IFCHR : AE_IFREG);
        archive_entry_set_perm(entry, 0644);
        if (link)
            archive_entry_set_symlink(entry, bytes.constData());
        const bool data = !link && !device;
        archive_entry_set_size(entry, data ? bytes.size() : 0);
        archive_write_header(writer, entry);
        if (data)
            archive_write_data(writer, bytes.constData(), static_cast<size_t>(bytes.size()));
        archive_entry_free(entry);
    }
    archive_write_close(writer);
    archive_write_free(writer);
}
