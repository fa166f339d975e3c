#pragma once

#include <QString>
#include <QStringView>
#include <optional>

class QTextDocument;

// What the rich-text pane does with files and plain text, over the document of
// its QTextEdit: load and save notes (RTF) and plain text, get and set the text.
namespace kobin::richtext {

enum class FileType { Rtf = 0, PlainText = 1 };

// Notes are regular files of at most this size, far beyond any note typed or
// pasted: a device, a pipe or a larger file is refused rather than read
// without end. A note that would be larger is never written, so that every
// note written reads back (code page text takes four times its bytes in RTF).
constexpr qint64 kMaxNoteFileSize = 256 * 1024 * 1024;

// TooLargeToWrite: read, the note would be written larger than any note is read.
enum class LoadFailure { Unreadable, NotRegularFile, TooLarge, NotRtf, TooLargeToWrite };
enum class SaveFailure { Unwritable, TooLarge };

// Replaces the document with the RTF file at path. A missing or unreadable
// file, one that is not a regular file within kMaxNoteFileSize, or one that is
// not RTF leaves the document unchanged and gives false (*failure tells why).
[[nodiscard]] bool loadFile(QTextDocument &document, const QString &path, LoadFailure *failure = nullptr);

// The text of the RTF file at path as plainText() gives it for the document
// loadFile() makes of it, read without making that document; nothing when
// loadFile() would fail (*failure tells why).
std::optional<QString> loadPlainText(const QString &path, QStringView lineEnd, LoadFailure *failure = nullptr);

// Creates or replaces the file at path with the document as RTF, or with its
// plain text in code page 932 (UTF-8 with a byte-order mark when a character
// does not fit). The file is replaced whole or not at all; an RTF file larger
// than largestNote is not written, and the file stays as it was (*failure tells why).
[[nodiscard]] bool saveFile(const QTextDocument &document, const QString &path, FileType type,
                            qint64 largestNote = kMaxNoteFileSize, SaveFailure *failure = nullptr);

// The document's plain text: paragraphs and line breaks become lineEnd; the
// last paragraph has none.
enum class ListLeads { Omitted, Shown };
// With ListLeads::Shown list items begin with their markers, as readRtfText gives them.
QString plainText(const QTextDocument &document, QStringView lineEnd, ListLeads leads = ListLeads::Omitted);

// The pane's Text: plain text with CR LF line ends.
QString text(const QTextDocument &document);

// Replaces the document with unformatted text; CR LF, CR and LF end paragraphs,
// and the object marker U+FFFC becomes U+FFFD.
void setText(QTextDocument &document, QStringView text);

} // namespace kobin::richtext
