#include "RichTextFiles.h"

#include "AtomicFile.h"
#include "Cp932.h"
#include "ListMarkers.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QFile>
#include <QTextBlock>
#include <QTextList>
#include <QTextDocument>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace kobin::richtext {
namespace {

class FileDescriptor
{
public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    int fd() const { return m_fd; }

private:
    int m_fd;
};

// The bytes of the note file at path. It is opened without waiting, so that a
// pipe is refused at once, and what it is gets asked of the file opened.
std::optional<QByteArray> readNoteFile(const QString &path, LoadFailure &failure)
{
    const FileDescriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (file.fd() < 0 || ::fstat(file.fd(), &status) != 0) {
        failure = LoadFailure::Unreadable;
        return std::nullopt;
    }
    if (!S_ISREG(status.st_mode)) {
        failure = LoadFailure::NotRegularFile;
        return std::nullopt;
    }
    if (status.st_size > kMaxNoteFileSize) {
        failure = LoadFailure::TooLarge;
        return std::nullopt;
    }
    QByteArray bytes;
    bytes.reserve(status.st_size);
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(file.fd(), chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0) {
            failure = LoadFailure::Unreadable;
            return std::nullopt;
        }
        if (count == 0)
            return bytes;
        // A file that grows while it is read is still read no further than the bound.
        if (bytes.size() + count > kMaxNoteFileSize) {
            failure = LoadFailure::TooLarge;
            return std::nullopt;
        }
        bytes.append(chunk, count);
        // All the bytes it was opened with: no read more is needed to find its end.
        // One that says 0 (the system's own files) or has grown is read on to it.
        if (bytes.size() == status.st_size)
            return bytes;
    }
}

} // namespace

bool loadFile(QTextDocument &document, const QString &path, LoadFailure *failure)
{
    LoadFailure why = LoadFailure::Unreadable;
    const std::optional<QByteArray> bytes = readNoteFile(path, why);
    if (bytes && rtf::readRtf(*bytes, document))
        return true;
    if (failure)
        *failure = bytes ? LoadFailure::NotRtf : why;
    return false;
}

std::optional<QString> loadPlainText(const QString &path, QStringView lineEnd, LoadFailure *failure)
{
    LoadFailure why = LoadFailure::Unreadable;
    const std::optional<QByteArray> bytes = readNoteFile(path, why);
    std::optional<QString> text = bytes ? rtf::readRtfText(*bytes, lineEnd) : std::nullopt;
    if (!text && failure)
        *failure = bytes ? LoadFailure::NotRtf : why;
    return text;
}

bool saveFile(const QTextDocument &document, const QString &path, FileType type, qint64 largestNote,
              SaveFailure *failure)
{
    const QByteArray bytes = type == FileType::Rtf ? rtf::writeRtf(document)
                                                   : encodeSystemText(text(document));
    const bool tooLarge = type == FileType::Rtf && bytes.size() > largestNote; // it could never be read again
    if (!tooLarge && saveFileAtomically(path, bytes))
        return true;
    if (failure)
        *failure = tooLarge ? SaveFailure::TooLarge : SaveFailure::Unwritable;
    return false;
}

QString plainText(const QTextDocument &document, QStringView lineEnd, ListLeads leads)
{
    QString result;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (block != document.begin())
            result += lineEnd;
        if (const QTextList *list = block.textList(); list && leads == ListLeads::Shown) {
            const rtf::ListItem item = rtf::listItemOf(list->format());
            result += rtf::itemLead(item, item.start + list->itemNumber(block));
        }
        const QString line = block.text();
        for (const QChar ch : line) {
            if (ch.unicode() == 0x2028)
                result += lineEnd;
            else if (ch != QChar::ObjectReplacementCharacter) // pictures and hidden text are not text
                result += ch;
        }
    }
    return result;
}

QString text(const QTextDocument &document)
{
    return plainText(document, u"\r\n");
}

void setText(QTextDocument &document, QStringView text)
{
    QString normalized = text.toString();
    normalized.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    normalized.replace(u'\r', u'\n');
    // U+FFFC would mark an object, and the document's HTML leave out the text around it.
    normalized.replace(QChar::ObjectReplacementCharacter, QChar::ReplacementCharacter);
    document.setPlainText(normalized);
}

} // namespace kobin::richtext
