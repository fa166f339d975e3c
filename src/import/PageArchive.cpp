#include "PageArchive.h"

#include "ArchiveReader.h"
#include "SourceFolder.h"

#include <QDir>
#include <QFile>
#include <archive.h>
#include <archive_entry.h>

namespace kobin::import {

namespace {

// Copies the entry's data into target, counting into *total; false past the bound or on a read error.
bool writeEntry(archive *reader, const QString &target, qint64 *total, QString *failure)
{
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        *failure = QStringLiteral("「 ") + target + QStringLiteral(" 」を書き込めません。");
        return false;
    }
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (;;) {
        const la_ssize_t read = archive_read_data(reader, block.data(), static_cast<size_t>(block.size()));
        if (read < 0) {
            *failure = QStringLiteral("アーカイブが壊れています（") + QString::fromUtf8(archive_error_string(reader))
                + QStringLiteral("）。");
            return false;
        }
        if (read == 0)
            return file.flush();
        *total += read;
        if (*total > PageArchive::kMaxBytes) {
            *failure = QStringLiteral("展開すると %1 MB を超えるため、取り込みません。").arg(PageArchive::kMaxBytes >> 20);
            return false;
        }
        if (file.write(block.constData(), read) != read) {
            *failure = QStringLiteral("「 ") + target + QStringLiteral(" 」を書き込めません。");
            return false;
        }
    }
}

} // namespace

bool PageArchive::unpack(const QString &archivePath, const QString &folder, QString *failure, int *skipped)
{
    ArchiveReader reader(archive_read_new());
    archive_read_support_format_zip(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(archivePath).constData(), 1 << 16) != ARCHIVE_OK) {
        *failure = QStringLiteral("アーカイブを開けません（") + QString::fromUtf8(archive_error_string(reader.get()))
            + QStringLiteral("）。");
        return false;
    }
    int files = 0;
    qint64 total = 0;
    for (;;) {
        archive_entry *entry = nullptr;
        const int header = archive_read_next_header(reader.get(), &entry);
        if (header == ARCHIVE_EOF)
            return true;
        if (header < ARCHIVE_WARN) {
            *failure = QStringLiteral("アーカイブが壊れています（") + QString::fromUtf8(archive_error_string(reader.get()))
                + QStringLiteral("）。");
            return false;
        }
        const char *utf8 = archive_entry_pathname_utf8(entry);
        const QString rawName = utf8 ? QString::fromUtf8(utf8) : QFile::decodeName(archive_entry_pathname(entry));
        const QString name = safeRelativePath(rawName);
        const auto type = archive_entry_filetype(entry);
        if (name.isEmpty() || (type != AE_IFREG && type != AE_IFDIR)) {
            ++*skipped;
            continue;
        }
        const QString target = folder + name;
        if (type == AE_IFDIR) {
            if (!QDir().mkpath(target)) {
                *failure = QStringLiteral("「 ") + target + QStringLiteral(" 」を作成できません。");
                return false;
            }
            continue;
        }
        if (++files > kMaxFiles) {
            *failure = QStringLiteral("%1 個を超えるファイルを含むため、取り込みません。").arg(kMaxFiles);
            return false;
        }
        if (!QDir().mkpath(target.left(target.lastIndexOf(u'/'))) || !writeEntry(reader.get(), target, &total, failure))
            return false;
    }
}

QString PageArchive::pageIn(const QString &folder)
{
    const QDir root(folder);
    if (QFileInfo(folder + QStringLiteral("index.html")).isFile())
        return QStringLiteral("index.html");
    const QStringList pages{QStringLiteral("*.html"), QStringLiteral("*.htm"), QStringLiteral("*.xhtml")};
    for (const QString &sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        if (QFileInfo(folder + sub + QStringLiteral("/index.html")).isFile())
            return sub + QStringLiteral("/index.html");
    }
    const QStringList atRoot = root.entryList(pages, QDir::Files, QDir::Name);
    if (!atRoot.isEmpty())
        return atRoot.first();
    for (const QString &sub : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QStringList inside = QDir(folder + sub).entryList(pages, QDir::Files, QDir::Name);
        if (!inside.isEmpty())
            return sub + u'/' + inside.first();
    }
    return {};
}

} // namespace kobin::import
