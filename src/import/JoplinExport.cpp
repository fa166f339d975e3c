#include "JoplinExport.h"

#include "ArchiveReader.h"
#include "InsertedPictures.h"
#include "SourceFolder.h"
#include "BoundedFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <archive.h>
#include <archive_entry.h>

namespace kobin::import {

namespace {

const QString kResources = QStringLiteral("resources/");

QString archiveError(archive *reader)
{
    return QString::fromUtf8(archive_error_string(reader));
}

// The tar at path opened for reading; nullptr, with why in *error, when it is none.
ArchiveReader openTar(const QString &path, QString *error)
{
    ArchiveReader reader(archive_read_new());
    archive_read_support_format_tar(reader.get());
    if (archive_read_open_filename(reader.get(), QFile::encodeName(path).constData(), 1 << 16) == ARCHIVE_OK)
        return reader;
    *error = archiveError(reader.get());
    return nullptr;
}

// The entry's name made safe, or empty for one that is no regular file or leads out.
QString regularFileName(archive_entry *entry)
{
    if (archive_entry_filetype(entry) != AE_IFREG)
        return {};
    const char *utf8 = archive_entry_pathname_utf8(entry);
    return safeRelativePath(utf8 ? QString::fromUtf8(utf8) : QFile::decodeName(archive_entry_pathname(entry)));
}

// The entry's data, if it holds at most maxBytes.
std::optional<QByteArray> entryData(archive *reader, archive_entry *entry, qint64 maxBytes)
{
    if (archive_entry_size_is_set(entry) && archive_entry_size(entry) > maxBytes)
        return std::nullopt;
    QByteArray data;
    QByteArray block(1 << 16, Qt::Uninitialized);
    for (;;) {
        const la_ssize_t read = archive_read_data(reader, block.data(), static_cast<size_t>(block.size()));
        if (read < 0 || data.size() + read > maxBytes)
            return std::nullopt;
        if (read == 0)
            return data;
        data.append(block.constData(), read);
    }
}

bool isItemName(const QString &name)
{
    return name.endsWith(QLatin1String(".md")) && !name.contains(u'/');
}

} // namespace

bool JoplinExport::readItems(std::vector<ItemFile> &items, ImportSink &sink, QString *failure)
{
    if (!m_archive.isEmpty())
        return readArchive(items, sink, failure);
    readFolder(items, sink);
    return true;
}

void JoplinExport::readFolder(std::vector<ItemFile> &items, ImportSink &sink)
{
    qint64 total = 0;
    const QFileInfoList files = QDir(m_folder.root()).entryInfoList({QStringLiteral("*.md")}, QDir::Files | QDir::System, QDir::Name);
    for (const QFileInfo &file : files) {
        if (!m_folder.contains(file.filePath())) {
            sink.leaveOut(file.fileName(), QStringLiteral("エクスポートのフォルダの外を指しています"));
            continue;
        }
        if (static_cast<int>(items.size()) >= kMaxItems || total + file.size() > kMaxTextBytes) {
            sink.leaveOut(file.fileName(), QStringLiteral("項目が多すぎるため、ここから後"));
            return;
        }
        const std::optional<QByteArray> bytes = m_folder.read(file.filePath(), kMaxItemBytes);
        if (!bytes) {
            sink.leaveOut(file.fileName(), QStringLiteral("大きすぎるか読めません"));
            continue;
        }
        total += bytes->size();
        items.push_back({file.fileName(), *bytes});
    }
}

bool JoplinExport::readArchive(std::vector<ItemFile> &items, ImportSink &sink, QString *failure)
{
    const QString name = QFileInfo(m_archive).fileName();
    QString error;
    const ArchiveReader reader = openTar(m_archive, &error);
    if (!reader) {
        *failure = QStringLiteral("「 ") + m_archive + QStringLiteral(" 」は Joplin のエクスポートとして読めません（") + error
            + QStringLiteral("）。");
        return false;
    }
    int skipped = 0;
    qint64 total = 0;
    for (;;) {
        archive_entry *entry = nullptr;
        const int header = archive_read_next_header(reader.get(), &entry);
        if (header == ARCHIVE_EOF)
            break;
        if (header < ARCHIVE_WARN) {
            sink.leaveOut(name, QStringLiteral("途中から壊れているため、その後の項目（%1）").arg(archiveError(reader.get())));
            break;
        }
        const QString entryName = regularFileName(entry);
        if (entryName.isEmpty()) {
            skipped += archive_entry_filetype(entry) == AE_IFDIR ? 0 : 1;
            continue;
        }
        if (!isItemName(entryName))
            continue; // a resource, read when its note needs it
        if (static_cast<int>(items.size()) >= kMaxItems || total > kMaxTextBytes) {
            sink.leaveOut(entryName, QStringLiteral("項目が多すぎるため、ここから後"));
            break;
        }
        std::optional<QByteArray> bytes = entryData(reader.get(), entry, kMaxItemBytes);
        if (!bytes) {
            sink.leaveOut(entryName, QStringLiteral("大きすぎるか読めません"));
            continue;
        }
        total += bytes->size();
        items.push_back({entryName, std::move(*bytes)});
    }
    if (skipped > 0)
        sink.leaveOut(name, QStringLiteral("アーカイブの %1 個の項目（ファイルでないか、外を指す名前）").arg(skipped));
    return true;
}

void JoplinExport::keepResources(const QSet<QString> &names)
{
    if (m_archive.isEmpty() || names.isEmpty())
        return;
    QString error;
    const ArchiveReader reader = openTar(m_archive, &error);
    qint64 held = 0;
    for (archive_entry *entry = nullptr; reader && archive_read_next_header(reader.get(), &entry) >= ARCHIVE_WARN;) {
        const QString entryName = regularFileName(entry);
        if (!entryName.startsWith(kResources) || !names.contains(entryName.mid(kResources.size())))
            continue;
        std::optional<QByteArray> bytes = entryData(reader.get(), entry, std::min(rtf::kMaxInsertedPictureBytes, kMaxHeldBytes - held));
        if (!bytes)
            continue;
        held += bytes->size();
        m_held.insert(entryName.mid(kResources.size()), std::move(*bytes));
    }
}

std::optional<QByteArray> JoplinExport::resource(const QString &name) const
{
    if (!m_archive.isEmpty()) {
        const auto held = m_held.constFind(name);
        return held != m_held.cend() ? std::optional<QByteArray>(*held) : std::nullopt;
    }
    const std::optional<QString> path = m_folder.resolve(kResources + name);
    return path ? m_folder.read(*path, rtf::kMaxInsertedPictureBytes) : std::nullopt;
}

} // namespace kobin::import
