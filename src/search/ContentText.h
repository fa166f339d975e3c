#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kobin::search {

// Pages larger than this are not read for search: a saved page is far smaller,
// and a file of hundreds of megabytes must not hold up the index.
constexpr qint64 kMaxPageFileSize = 32 * 1024 * 1024;

// The text a browser shows of a page: its title and the text of its body, with
// scripts, styles and markup left out, and a line break after each block. The
// page is decoded in its own encoding (a byte-order mark, the charset it
// declares, what its bytes tell, code page 932). Nothing when the bytes are
// binary data rather than a page. A single-file archive (MHTML) gives the text
// of its page.
std::optional<QString> visiblePageText(QByteArrayView page);

// The visible text of the page file at path; nothing when it is no regular file
// within kMaxPageFileSize, cannot be read or is not a page.
std::optional<QString> pageFileText(const QString &path);

// The plain text of a note (an RTF file), one line per paragraph; nothing when
// it cannot be read as a note.
std::optional<QString> noteFileText(const QString &path);
// The same of a note's bytes already read.
std::optional<QString> noteText(QByteArrayView note);

} // namespace kobin::search
