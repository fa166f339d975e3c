#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QSize>
#include <optional>

namespace kobin::rtf {

// No picture's bitmap is made larger than this, whatever its header says, so
// that a few bytes of a note never make a huge allocation.
constexpr int kMaxPictureSide = 16384;
constexpr qint64 kMaxPicturePixels = qint64(64) * 1024 * 1024;

bool isWithinPictureLimits(QSize size);

// image, with the colour table of an indexed image filled out with black to
// every index its pixels can hold, and no longer. Image readers keep the colours
// a file gives, and Qt paints an indexed image through its table without checking
// the index: a pixel beyond the table would read beyond it; a table longer than
// its pixels can index cannot be written as PNG.
QImage withWholeColourTable(QImage image);

// What the header of a device-independent bitmap (a BITMAPCOREHEADER, or a
// BITMAPINFOHEADER or one of its longer successors) says of it.
struct DibHeader {
    QSize size;           // in pixels, whichever way up the rows lie
    qint64 infoSize = 0;  // header, colour masks and colour table: where a packed DIB's bits start
    qint64 bitsSize = 0;  // bytes the bits need; 0 for compressed bits, whose size only decoding tells
};

// The header at the start of info, or nothing when it is not one Kobin reads
// or describes a bitmap beyond the picture limits.
std::optional<DibHeader> readDibHeader(QByteArrayView info);

// The header at the start of info when info holds all its colour table and
// bits all the bits it says (as far as that is known before decoding).
std::optional<DibHeader> readWholeDibHeader(QByteArrayView info, QByteArrayView bits);

// The bitmap of a packed DIB (header, colour table, bits, as \dibitmap and
// the WMF bitmap records hold them), or a null image.
QImage dibImage(QByteArrayView packedDib);

// The bitmap of a DIB whose header and colour table (info) lie apart from its
// bits, as EMF records keep them, or a null image.
QImage dibImage(QByteArrayView info, QByteArrayView bits);

} // namespace kobin::rtf
