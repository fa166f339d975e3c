#pragma once

#include "RichTextFiles.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

namespace kobin::richtext {

enum class Conversion {
    PlainText, // UTF-8, one line per paragraph or line break
    Html,      // UTF-8
    Rtf,       // as our writer writes it
};

// The RTF file at path in another form; nothing when it cannot be loaded as a
// note, or when its RTF would be larger than largestNote, so that no note is
// written that could not be read again (*failure tells why). Its HTML holds its
// pictures as data addresses.
std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure = nullptr,
                                         qint64 largestNote = kMaxNoteFileSize);

// Where a note's HTML takes a picture from: the address for its <img>, given
// the bytes a browser shows (PNG, JPEG, or SVG for a framed box standing for
// a picture that cannot be drawn) and their type ("image/png").
using PictureAddress = std::function<QString(const QByteArray &bytes, const QByteArray &mimeType)>;

// The note at path as HTML, its pictures where pictureAddress puts them.
std::optional<QByteArray> noteHtml(const QString &path, const PictureAddress &pictureAddress,
                                   LoadFailure *failure = nullptr);

} // namespace kobin::richtext
