#pragma once

#include "FormatProperties.h"
#include "KeptFonts.h"
#include "Picture.h"

#include <QByteArray>
#include <QString>
#include <QTextFormat>
#include <optional>

class QTextCharFormat;

namespace kobin::rtf {

// What a note holds that the editor does not edit: pictures, embedded objects,
// footnotes and hidden text. Each stands in the document as one object character
// (U+FFFC) whose format carries what the writer needs to write it back.
struct KeptObject {
    enum class Kind : uint8_t { Picture, Object, Footnote, HiddenText };
    Kind kind = Kind::Picture;
    QByteArray rtf;                 // Picture, Object, Footnote: the group as read, written back byte for byte
    std::optional<Picture> picture; // what a Picture or an Object shows
    QSizeF boxSize;                 // Object without a picture: the size it takes, in pixels
    QString hiddenText;             // HiddenText
    QString footnoteText;           // Footnote: its text on one line
    KeptFonts fonts;                // Footnote: the fonts its \fN name, numbered in its own list
};

// The image name every picture has: pictures are told apart by their formats, not their names.
inline constexpr QStringView kPictureImageName = u"kobin-picture";

// The format of the object character that stands for the kept object: an
// image of the picture's shown size for pictures and objects, a small mark with
// the footnote's text as its tool tip for footnotes, an object of no size for
// hidden text.
QTextCharFormat keptObjectFormat(const KeptObject &object);
// The RTF to write for the object character's format; empty when the format
// is none of ours.
bool isKeptObject(const QTextFormat &format);
QByteArray keptRtfOf(const QTextFormat &format);
QString hiddenTextOf(const QTextFormat &format);
bool isFootnote(const QTextFormat &format);
QString footnoteTextOf(const QTextFormat &format);
KeptFonts keptFontsOf(const QTextFormat &format);
// A footnote's text as plain text shows it: "［注: its text］".
QString footnotePlainText(const QString &footnoteText);
// The kind of picture the format shows.
PictureKind pictureKindOf(const QTextFormat &format);
// What the box drawn for a picture that cannot be drawn says: "PNG", "WMF", "PICT" (\macpict),
// "OS/2" (\pmmetafile), "OLE" for an object without a picture, "注" for a footnote, "?" for a
// kind the group does not name.
QString keptObjectLabel(const QTextFormat &format);

// The RTF group a picture put into a note is kept as: PNG or JPEG data with
// its size in pixels and twips.
QByteArray pictureRtf(PictureKind kind, const QByteArray &data, QSize pixels);

} // namespace kobin::rtf
