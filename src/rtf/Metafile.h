#pragma once

#include "Picture.h"

#include <QByteArrayView>
#include <QImage>

namespace kobin::rtf {

// The bitmaps that a Windows metafile (kind Wmf or Emf) draws, as one image: a
// lone bitmap as it is, several where the metafile places them in its window
// (WMF) or bounds (EMF). Lines, fills and text are not drawn: a metafile
// without a bitmap gives a null image, as does anything that is not a metafile.
//
// The reader is our own because Qt reads no metafiles and no library Kobin
// uses does; the metafiles notes hold are nearly always one bitmap drawn by a
// stretch-bitmap record, so only the bitmap records are read. Every length and
// offset is checked against the bytes and the image keeps within the picture
// limits (Dib.h), whatever the bytes say.
QImage metafileImage(QByteArrayView bytes, PictureKind kind);

} // namespace kobin::rtf
