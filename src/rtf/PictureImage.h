#pragma once

#include "Picture.h"

#include <QByteArray>
#include <QImage>

namespace kobin::rtf {

// The bitmap a note's picture shows, or a null image when it holds none Kobin
// can draw: PNG and JPEG data, DIBs (\dibitmap), device-dependent bitmaps of 1,
// 24 and 32 bits a pixel (\wbitmap) and the bitmaps metafiles draw
// (Metafile.h). Nothing larger than the picture limits (Dib.h) is made.
QImage pictureImage(const Picture &picture);

// Bytes a web browser shows for the picture: PNG and JPEG data as they are,
// when they can be read, and any other picture pictureImage() draws as PNG;
// empty when nothing can be drawn. *mimeType is set to the bytes' type
// ("image/png", "image/jpeg"), or emptied with them.
QByteArray webImage(const Picture &picture, QByteArray *mimeType);

} // namespace kobin::rtf
