#include "Dib.h"

#include "LittleEndian.h"

#include <QtEndian>
#include <cstdlib>
#include <limits>

namespace kobin::rtf {
namespace {

constexpr quint32 kCoreHeaderSize = 12;
constexpr quint32 kInfoHeaderSize = 40;
constexpr qint64 kFileHeaderSize = 14;

enum Compression : quint32 { Rgb = 0, Bitfields = 3, AlphaBitfields = 6 };

bool isBitCount(int bits)
{
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// Rows of DIB bits are padded to whole 32-bit words.
qint64 rowBytes(qint64 width, int bitCount)
{
    return (width * bitCount + 31) / 32 * 4;
}

// Colour masks that a plain BITMAPINFOHEADER is followed by; longer headers hold them.
qint64 masksSize(quint32 headerSize, quint32 compression)
{
    if (headerSize != kInfoHeaderSize)
        return 0;
    return compression == Bitfields ? 12 : compression == AlphaBitfields ? 16 : 0;
}

// The colours an indexed format's pixels can pick; 0 for the others.
int indexesOf(QImage::Format format)
{
    switch (format) {
    case QImage::Format_Indexed8: return 256;
    case QImage::Format_Mono:
    case QImage::Format_MonoLSB: return 2;
    default: return 0;
    }
}

void appendLittleEndian(QByteArray &bytes, quint32 value)
{
    char field[4];
    qToLittleEndian(value, field);
    bytes.append(field, 4);
}

} // namespace

bool isWithinPictureLimits(QSize size)
{
    return size.width() > 0 && size.height() > 0 && size.width() <= kMaxPictureSide
        && size.height() <= kMaxPictureSide && qint64(size.width()) * size.height() <= kMaxPicturePixels;
}

QImage withWholeColourTable(QImage image)
{
    const int indexes = indexesOf(image.format());
    if (image.colorCount() == indexes)
        return image;
    QList<QRgb> colours = image.colorTable();
    colours.resize(indexes, qRgb(0, 0, 0));
    image.setColorTable(colours);
    return image;
}

std::optional<DibHeader> readDibHeader(QByteArrayView info)
{
    const quint32 headerSize = littleEndianAt<quint32>(info, 0);
    if (headerSize > info.size() || (headerSize != kCoreHeaderSize && headerSize < kInfoHeaderSize))
        return std::nullopt;
    const bool core = headerSize == kCoreHeaderSize;
    const qint64 width = core ? littleEndianAt<quint16>(info, 4) : littleEndianAt<qint32>(info, 4);
    const qint64 height = std::llabs(core ? littleEndianAt<quint16>(info, 6) : littleEndianAt<qint32>(info, 8));
    const int bitCount = littleEndianAt<quint16>(info, core ? 10 : 14);
    const quint32 compression = core ? Rgb : littleEndianAt<quint32>(info, 16);
    const quint32 coloursUsed = core ? 0 : littleEndianAt<quint32>(info, 32);
    if (!isBitCount(bitCount) || width > kMaxPictureSide || height > kMaxPictureSide
        || !isWithinPictureLimits(QSize(int(width), int(height))))
        return std::nullopt;

    const qint64 colours = coloursUsed != 0 ? coloursUsed : bitCount <= 8 ? qint64(1) << bitCount : 0;
    DibHeader header;
    header.size = QSize(int(width), int(height));
    header.infoSize = headerSize + masksSize(headerSize, compression) + colours * (core ? 3 : 4);
    const bool uncompressed = compression == Rgb || compression == Bitfields || compression == AlphaBitfields;
    header.bitsSize = uncompressed ? rowBytes(width, bitCount) * height : 0;
    return header;
}

std::optional<DibHeader> readWholeDibHeader(QByteArrayView info, QByteArrayView bits)
{
    std::optional<DibHeader> header = readDibHeader(info);
    if (header && (header->infoSize > info.size() || header->bitsSize > bits.size()))
        return std::nullopt;
    return header;
}

QImage dibImage(QByteArrayView packedDib)
{
    const std::optional<DibHeader> header = readDibHeader(packedDib);
    if (!header || header->infoSize > packedDib.size())
        return {};
    return dibImage(packedDib.first(header->infoSize), packedDib.sliced(header->infoSize));
}

QImage dibImage(QByteArrayView info, QByteArrayView bits)
{
    if (!readWholeDibHeader(info, bits))
        return {};
    // Qt reads DIBs only as BMP files: the file header in front says where the bits start.
    const qint64 bitsOffset = kFileHeaderSize + info.size();
    const qint64 fileSize = bitsOffset + bits.size();
    if (fileSize > std::numeric_limits<quint32>::max())
        return {};
    QByteArray file;
    file.reserve(fileSize);
    file.append("BM");
    appendLittleEndian(file, quint32(fileSize));
    appendLittleEndian(file, 0); // reserved
    appendLittleEndian(file, quint32(bitsOffset));
    file.append(info.data(), info.size());
    file.append(bits.data(), bits.size());
    return withWholeColourTable(QImage::fromData(file, "BMP"));
}

} // namespace kobin::rtf
