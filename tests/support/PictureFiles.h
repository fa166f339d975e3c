#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QDataStream>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QtEndian>

// Pictures as notes hold them, made by the tests themselves: image files, DIBs,
// Windows metafiles drawing DIBs, and the hex a note's {\pict} group holds.

// An image of size whose top half is top and bottom half bottom.
inline QImage halvesOf(QSize size, QColor top, QColor bottom)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(bottom);
    for (int y = 0; y < size.height() / 2; ++y) {
        for (int x = 0; x < size.width(); ++x)
            image.setPixelColor(x, y, top);
    }
    return image;
}

inline QByteArray encodedAs(const QImage &image, const char *format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

inline QByteArray pngOf(QSize size, QColor colour)
{
    return encodedAs(halvesOf(size, colour, colour), "PNG");
}

inline QByteArray jpegOf(QSize size, QColor colour)
{
    return encodedAs(halvesOf(size, colour, colour), "JPEG");
}

// A little-endian stream writing into bytes, as every Windows picture format is.
class LittleEndianWriter : public QDataStream
{
public:
    explicit LittleEndianWriter(QByteArray *bytes)
        : QDataStream(bytes, QIODevice::WriteOnly | QIODevice::Append)
    {
        setByteOrder(QDataStream::LittleEndian);
    }
};

// A packed DIB (BITMAPINFOHEADER, colour table, bits) of image in 24 bits a
// pixel, its rows from the bottom up unless topDown.
inline QByteArray dib24Of(const QImage &image, bool topDown = false)
{
    QByteArray dib;
    LittleEndianWriter out(&dib);
    const int rowBytes = (image.width() * 3 + 3) / 4 * 4;
    out << quint32(40) << qint32(image.width()) << qint32(topDown ? -image.height() : image.height())
        << quint16(1) << quint16(24) << quint32(0) << quint32(rowBytes * image.height()) << qint32(3780)
        << qint32(3780) << quint32(0) << quint32(0);
    for (int row = 0; row < image.height(); ++row) {
        const int y = topDown ? row : image.height() - 1 - row;
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            out << quint8(qBlue(pixel)) << quint8(qGreen(pixel)) << quint8(qRed(pixel));
        }
        for (int pad = image.width() * 3; pad < rowBytes; ++pad)
            out << quint8(0);
    }
    return dib;
}

inline QByteArray dib24Of(QSize size, QColor colour)
{
    return dib24Of(halvesOf(size, colour, colour));
}

// A packed DIB of image (of at most 256 colours) in 8 bits a pixel with a
// colour table of the image's colours, rows from the bottom up.
inline QByteArray dib8Of(const QImage &image)
{
    const QImage indexed = image.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    const QList<QRgb> colours = indexed.colorTable();
    QByteArray dib;
    LittleEndianWriter out(&dib);
    const int rowBytes = (image.width() + 3) / 4 * 4;
    out << quint32(40) << qint32(image.width()) << qint32(image.height()) << quint16(1) << quint16(8)
        << quint32(0) << quint32(rowBytes * image.height()) << qint32(3780) << qint32(3780)
        << quint32(colours.size()) << quint32(0);
    for (const QRgb colour : colours)
        out << quint8(qBlue(colour)) << quint8(qGreen(colour)) << quint8(qRed(colour)) << quint8(0);
    for (int y = image.height() - 1; y >= 0; --y) {
        const uchar *line = indexed.constScanLine(y);
        for (int x = 0; x < rowBytes; ++x)
            out << quint8(x < image.width() ? line[x] : 0);
    }
    return dib;
}

// The bytes of a packed DIB's BITMAPINFOHEADER and colour table: where its bits start.
inline int dibInfoSize(const QByteArray &dib)
{
    const auto field = [&dib](int at) { return qFromLittleEndian<quint32>(dib.constData() + at); };
    const quint32 bitCount = qFromLittleEndian<quint16>(dib.constData() + 14);
    const quint32 colours = field(32) != 0 ? field(32) : bitCount <= 8 ? 1U << bitCount : 0;
    return int(field(0) + 4 * colours);
}

inline QSize dibSize(const QByteArray &dib)
{
    return QSize(qFromLittleEndian<qint32>(dib.constData() + 4), qAbs(qFromLittleEndian<qint32>(dib.constData() + 8)));
}

// One WMF record: its 16-bit parameters in the order they lie in the file (the
// reverse of the drawing call's arguments), then tail, padded to whole words.
inline QByteArray wmfRecord(quint16 function, const QList<qint16> &parameters, QByteArray tail = {})
{
    if (tail.size() % 2 != 0)
        tail += '\0';
    QByteArray record;
    LittleEndianWriter out(&record);
    out << quint32(3 + parameters.size() + tail.size() / 2) << function;
    for (const qint16 parameter : parameters)
        out << parameter;
    return record + tail;
}

// META_STRETCHDIB drawing all of dib at dest.
inline QByteArray stretchDibRecord(const QByteArray &dib, QRect dest)
{
    const QSize size = dibSize(dib);
    const quint32 sourceCopy = 0x00CC0020;
    return wmfRecord(0x0F43,
                     {qint16(sourceCopy & 0xFFFF), qint16(sourceCopy >> 16), 0, qint16(size.height()),
                      qint16(size.width()), 0, 0, qint16(dest.height()), qint16(dest.width()), qint16(dest.y()),
                      qint16(dest.x())},
                     dib);
}

// A WMF as a note's \wmetafile holds it (no placeable header): the window set
// to window, then records, then the end record.
inline QByteArray wmfOf(const QList<QByteArray> &records, QRect window)
{
    QByteArray body = wmfRecord(0x020B, {qint16(window.y()), qint16(window.x())})
        + wmfRecord(0x020C, {qint16(window.height()), qint16(window.width())});
    for (const QByteArray &record : records)
        body += record;
    body += wmfRecord(0x0000, {});
    QByteArray wmf;
    LittleEndianWriter out(&wmf);
    out << quint16(1) << quint16(9) << quint16(0x0300) << quint32((18 + body.size()) / 2) << quint16(0)
        << quint32(body.size() / 2) << quint16(0);
    return wmf + body;
}

inline QByteArray wmfWithStretchDib(const QByteArray &dib, QRect dest, QSize windowExtent)
{
    return wmfOf({stretchDibRecord(dib, dest)}, QRect(QPoint(0, 0), windowExtent));
}

// A WMF that only draws a rectangle.
inline QByteArray vectorWmf()
{
    return wmfOf({wmfRecord(0x041B, {90, 90, 10, 10})}, QRect(0, 0, 100, 100));
}

// An EMF of bounds (device pixels) whose one record, EMR_STRETCHDIBITS, draws
// all of dib at dest.
inline QByteArray emfWithStretchDibits(const QByteArray &dib, QRect dest, QRect bounds)
{
    const int infoSize = dibInfoSize(dib);
    const int bitsSize = int(dib.size()) - infoSize;
    const QSize size = dibSize(dib);
    QByteArray stretch;
    LittleEndianWriter record(&stretch);
    record << quint32(81) << quint32(80 + dib.size()) << qint32(dest.left()) << qint32(dest.top())
           << qint32(dest.right()) << qint32(dest.bottom()) << qint32(dest.x()) << qint32(dest.y()) << qint32(0)
           << qint32(0) << qint32(size.width()) << qint32(size.height()) << quint32(80) << quint32(infoSize)
           << quint32(80 + infoSize) << quint32(bitsSize) << quint32(0) << quint32(0x00CC0020)
           << qint32(dest.width()) << qint32(dest.height());
    stretch += dib;
    while (stretch.size() % 4 != 0)
        stretch += '\0';

    const int headerSize = 88;
    const int eofSize = 20;
    QByteArray header;
    LittleEndianWriter out(&header);
    out << quint32(1) << quint32(headerSize) << qint32(bounds.left()) << qint32(bounds.top())
        << qint32(bounds.right()) << qint32(bounds.bottom()) << qint32(0) << qint32(0)
        << qint32(bounds.width() * 26) << qint32(bounds.height() * 26) << quint32(0x464D4520) << quint32(0x10000)
        << quint32(headerSize + stretch.size() + eofSize) << quint32(3) << quint16(1) << quint16(0) << quint32(0)
        << quint32(0) << quint32(0) << qint32(1024) << qint32(768) << qint32(270) << qint32(203);
    QByteArray eof;
    LittleEndianWriter(&eof) << quint32(14) << quint32(eofSize) << quint32(0) << quint32(16) << quint32(eofSize);
    return header + stretch + eof;
}

// bytes as a {\pict} group written by Windows holds them: lower-case hex with
// a CR LF after every 128 digits.
inline QByteArray hexOf(const QByteArray &bytes)
{
    const QByteArray hex = bytes.toHex();
    QByteArray lines;
    for (qsizetype at = 0; at < hex.size(); at += 128) {
        lines += hex.mid(at, 128);
        if (at + 128 <= hex.size())
            lines += "\r\n";
    }
    return lines;
}
