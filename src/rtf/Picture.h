#pragma once

#include <QByteArray>
#include <QSize>
#include <QSizeF>
#include <cstdint>

namespace kobin::rtf {

// The kinds of picture a note's {\pict} group holds, by the word naming its data.
enum class PictureKind : uint8_t {
    Png,    // \pngblip
    Jpeg,   // \jpegblip
    Dib,    // \dibitmap: a packed device-independent bitmap (header, colours, bits)
    Bitmap, // \wbitmap: device-dependent bits described by \picw \pich \picwbmwidthbytes \picwbmbitspixel
    Emf,    // \emfblip
    Wmf,    // \wmetafile: a Windows metafile without the placeable header
    Other,  // \pmmetafile, \macpict and kinds no reader here draws
};

// One picture as a note holds it.
struct Picture {
    PictureKind kind = PictureKind::Other;
    QByteArray data;        // the picture's own bytes (the hex or \bin data decoded)
    QSize sourceSize;       // \picw \pich: pixels for bitmaps, hundredths of a millimetre for metafiles
    int bitmapWidthBytes = 0; // \wbitmap only: bytes in one row of bits
    int bitmapBitsPerPixel = 0; // \wbitmap only
    QSizeF shownSize;       // pixels at 96 dots per inch, as the note shows it
};

} // namespace kobin::rtf
