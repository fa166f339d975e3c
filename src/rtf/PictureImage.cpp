#include "PictureImage.h"

#include "Dib.h"
#include "Metafile.h"

#include <QBuffer>
#include <QImageReader>
#include <cstring>

namespace kobin::rtf {
namespace {

// PNG or JPEG data as the image it is, whichever of the two the bytes are
// (writers do not always name their data rightly); *format is "png" or "jpeg".
QImage encodedImage(const QByteArray &data, QByteArray *format)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    *format = QImageReader::imageFormat(&buffer);
    if (*format != "png" && *format != "jpeg")
        return {};
    QImageReader reader(&buffer, *format);
    if (!isWithinPictureLimits(reader.size()))
        return {};
    return withWholeColourTable(reader.read());
}

QImage::Format deviceBitmapFormat(int bitsPerPixel)
{
    switch (bitsPerPixel) {
    case 1: return QImage::Format_Mono;
    case 24: return QImage::Format_BGR888;
    case 32: return QImage::Format_RGB32;
    default: return QImage::Format_Invalid;
    }
}

// \wbitmap bits: rows from the top, each bitmapWidthBytes long; a 1-bit pixel
// is black for 0 and white for 1, the others blue, green, red (and a byte unused).
QImage deviceBitmapImage(const Picture &picture)
{
    const QSize size = picture.sourceSize;
    const int bitsPerPixel = picture.bitmapBitsPerPixel;
    const QImage::Format format = deviceBitmapFormat(bitsPerPixel);
    if (format == QImage::Format_Invalid || !isWithinPictureLimits(size))
        return {};
    const qint64 rowBytes = (qint64(size.width()) * bitsPerPixel + 7) / 8;
    const qint64 rowStride = picture.bitmapWidthBytes;
    if (rowStride < rowBytes || rowStride * size.height() > picture.data.size())
        return {};
    QImage image(size, format);
    if (image.isNull())
        return {};
    for (int y = 0; y < size.height(); ++y) {
        const auto *row = reinterpret_cast<const uchar *>(picture.data.constData() + y * rowStride);
        if (bitsPerPixel == 32) {
            auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
            for (int x = 0; x < size.width(); ++x)
                line[x] = qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
        } else {
            std::memcpy(image.scanLine(y), row, size_t(rowBytes));
        }
    }
    if (bitsPerPixel == 1)
        image.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    return image;
}

QByteArray pngOf(const QImage &image)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return png;
}

} // namespace

QImage pictureImage(const Picture &picture)
{
    QByteArray format;
    switch (picture.kind) {
    case PictureKind::Png:
    case PictureKind::Jpeg:
        return encodedImage(picture.data, &format);
    case PictureKind::Dib:
        return dibImage(picture.data);
    case PictureKind::Bitmap:
        return deviceBitmapImage(picture);
    case PictureKind::Wmf:
    case PictureKind::Emf:
        return metafileImage(picture.data, picture.kind);
    case PictureKind::Other:
        break;
    }
    return {};
}

QByteArray webImage(const Picture &picture, QByteArray *mimeType)
{
    QByteArray bytes;
    QByteArray format;
    if (picture.kind == PictureKind::Png || picture.kind == PictureKind::Jpeg) {
        if (!encodedImage(picture.data, &format).isNull())
            bytes = picture.data;
    } else if (const QImage image = pictureImage(picture); !image.isNull()) {
        bytes = pngOf(image);
        format = "png";
    }
    if (mimeType)
        *mimeType = bytes.isEmpty() ? QByteArray() : "image/" + format;
    return bytes;
}

} // namespace kobin::rtf
