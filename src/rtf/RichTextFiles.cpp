#include "RichTextFiles.h"

#include "AtomicFile.h"
#include "Cp932.h"
#include "KeptObjects.h"
#include "ListMarkers.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "WriterRows.h"

#include <QFile>
#include <QTextBlock>
#include <QTextList>
#include <QTextDocument>
#include <QTextTable>
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

void appendFrameText(QString &result, QTextFrame::iterator it, QStringView lineEnd, ListLeads leads, bool document);

void appendBlockText(QString &result, const QTextBlock &block, QStringView lineEnd, ListLeads leads)
{
    if (const QTextList *list = block.textList(); list && leads == ListLeads::Shown) {
        const rtf::ListItem item = rtf::listItemOf(list->format());
        result += rtf::itemLead(item, item.start + list->itemNumber(block));
    }
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const bool footnote = rtf::isFootnote(fragment.charFormat());
        for (const QChar ch : fragment.text()) {
            if (ch.unicode() == 0x2028)
                result += lineEnd;
            else if (ch != QChar::ObjectReplacementCharacter) // pictures and hidden text are not text
                result += ch;
            else if (footnote)
                result += rtf::footnotePlainText(rtf::footnoteTextOf(fragment.charFormat()));
        }
    }
}

// Rows joined by lineEnd, each cell's text ending with a tab; a cell merged into
// another is an empty one, as it was read.
void appendTableText(QString &result, const QTextTable &table, QStringView lineEnd, ListLeads leads)
{
    for (int row = 0; row < table.rows(); ++row) {
        if (row > 0)
            result += lineEnd;
        for (int column = 0; column < table.columns(); ++column) {
            const QTextTableCell cell = table.cellAt(row, column);
            if (rtf::isAbsentCell(cell))
                continue;
            if (cell.row() == row && cell.column() == column)
                appendFrameText(result, cell.begin(), lineEnd, leads, false);
            result += u'\t';
        }
    }
}

// Lines joined by lineEnd. A table has a paragraph before it and one after it:
// the first of the document or of a cell, empty before a table, is no line, nor
// is the document's last, empty after a table.
void appendFrameText(QString &result, QTextFrame::iterator it, QStringView lineEnd, ListLeads leads, bool document)
{
    qsizetype firstLine = -1; // where the first paragraph's line begins, while it is the only one and empty
    bool started = false;
    bool afterTable = false;
    while (!it.atEnd()) {
        const QTextFrame *frame = it.currentFrame();
        const QTextBlock block = it.currentBlock();
        ++it;
        if (const auto *table = qobject_cast<const QTextTable *>(frame)) {
            if (firstLine >= 0)
                result.truncate(firstLine);
            else if (started)
                result += lineEnd;
            appendTableText(result, *table, lineEnd, leads);
            afterTable = true;
            firstLine = -1;
            started = true;
            continue;
        }
        if (frame)
            continue; // the note makes no frames but tables
        if (started)
            result += lineEnd;
        const qsizetype lineStart = result.size();
        appendBlockText(result, block, lineEnd, leads);
        const bool empty = result.size() == lineStart;
        firstLine = !started && empty ? lineStart : -1;
        if (document && afterTable && empty && it.atEnd())
            result.truncate(lineStart - lineEnd.size());
        afterTable = false;
        started = true;
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
    appendFrameText(result, document.rootFrame()->begin(), lineEnd, leads, true);
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
