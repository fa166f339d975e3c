#pragma once

#include "KeptObjects.h"

#include <QByteArray>
#include <QImage>
#include <QSizeF>
#include <optional>

namespace kobin::rtf {

// The largest image file put into a note: a larger one is refused, not read.
inline constexpr qint64 kMaxInsertedPictureBytes = 64 * 1024 * 1024;

// A picture put into a note from an image file's bytes: PNG and JPEG data are
// kept as they are, any other image Qt reads is kept as PNG. Nothing when the
// bytes are no image.
std::optional<KeptObject> pictureFromFile(const QByteArray &bytes);
// A picture put into a note from an image on the clipboard, kept as PNG.
std::optional<KeptObject> pictureFromImage(const QImage &image);

// The size a picture is shown at in a pane whose text is width wide: its own,
// or scaled down to the width when it is wider. Its stored size stays.
QSizeF fittedSize(QSizeF shown, qreal width);

// The format for typing at a place whose format is an object's: the text
// formats without the object.
QTextCharFormat textFormatOf(const QTextCharFormat &format);

} // namespace kobin::rtf
