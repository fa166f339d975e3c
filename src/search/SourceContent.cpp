#include "SourceContent.h"

#include "BoundedFile.h"
#include "ContentText.h"
#include "RichTextFiles.h"

#include <QByteArray>
#include <QFile>
#include <QHash>
#include <sys/stat.h>

namespace kobin::search {

namespace {

qint64 digestOf(QByteArrayView bytes)
{
    return static_cast<qint64>(qHashBits(bytes.data(), static_cast<size_t>(bytes.size())));
}

// The bytes of a source's file, each kind of file within its own bound.
std::optional<QByteArray> readSourceFile(const Source &source)
{
    return readRegularFile(source.path, source.place == Place::Page ? kMaxPageFileSize : richtext::kMaxNoteFileSize);
}

} // namespace

qint64 captionDigest(const QString &caption)
{
    return digestOf(QByteArrayView(reinterpret_cast<const char *>(caption.utf16()), caption.size() * 2));
}

SourceContent readSource(const Source &source)
{
    if (source.place == Place::Caption)
        return {source.text, captionDigest(source.text)};
    const std::optional<QByteArray> bytes = readSourceFile(source);
    if (!bytes)
        return {};
    return {source.place == Place::Page ? visiblePageText(*bytes) : noteText(*bytes), digestOf(*bytes)};
}

qint64 fileDigest(const Source &source)
{
    const std::optional<QByteArray> bytes = readSourceFile(source);
    return bytes ? digestOf(*bytes) : -1;
}

std::pair<qint64, qint64> sourceStamp(const Source &source)
{
    struct stat status {};
    if (source.place == Place::Caption || ::stat(QFile::encodeName(source.path).constData(), &status) != 0)
        return {-1, -1};
    return {static_cast<qint64>(status.st_size),
            static_cast<qint64>(status.st_mtim.tv_sec) * 1000000000 + static_cast<qint64>(status.st_mtim.tv_nsec)};
}

} // namespace kobin::search
