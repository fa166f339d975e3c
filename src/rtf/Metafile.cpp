#include "Metafile.h"

#include "Dib.h"
#include "LittleEndian.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <vector>

namespace kobin::rtf {
namespace {

// The pixels of the bitmaps decoded and of the canvas drawn over, together,
// for one metafile: a hostile one's further bitmaps are left out rather than
// drawn for minutes.
constexpr double kMaxDrawingWork = 4.0 * kMaxPicturePixels;
// Far more bitmap records than a program writes (even one that draws a picture
// in bands); further ones are left out.
constexpr size_t kMaxBitmaps = 4096;
constexpr double kCanvasPixelsAlwaysAllowed = 4.0 * 1024 * 1024;

// A bitmap record's DIB and where it is drawn.
struct PlacedDib {
    QByteArrayView info; // header and colour table
    QByteArrayView bits;
    QSize size;          // in pixels
    QRectF dest;         // in logical units
    QRectF window;       // the logical rectangle the picture shows; empty when the metafile sets none
};

// Adds a DIB unless it is cut short (or drawn nowhere): one that cannot be
// drawn neither makes another the lone bitmap nor enlarges the canvas.
void addDib(std::vector<PlacedDib> &placed, QByteArrayView info, QByteArrayView bits, const QRectF &dest,
            const QRectF &window)
{
    const std::optional<DibHeader> header = readWholeDibHeader(info, bits);
    const QRectF area = dest.normalized();
    if (header && !area.isEmpty() && placed.size() < kMaxBitmaps)
        placed.push_back({info, bits, header->size, area, window});
}

void addPackedDib(std::vector<PlacedDib> &placed, QByteArrayView dib, const QRectF &dest, const QRectF &window)
{
    const std::optional<DibHeader> header = readDibHeader(dib);
    if (header && header->infoSize <= dib.size())
        addDib(placed, dib.first(header->infoSize), dib.sliced(header->infoSize), dest, window);
}

// rect as a part of window, (0, 0, 1, 1) being all of it.
QRectF partOf(const QRectF &window, const QRectF &rect)
{
    return QRectF((rect.x() - window.x()) / window.width(), (rect.y() - window.y()) / window.height(),
                  rect.width() / window.width(), rect.height() / window.height());
}

// The picture's frame at the resolution of its sharpest bitmap, but never more
// than a pixel a logical unit (a window measured in pixels gives an image of its
// size), within the picture limits, and of no more than a few times the
// bitmaps' pixels, beyond a floor: a metafile placing small bitmaps in a vast
// window is drawn smaller rather than as a vast empty image.
QSize canvasSize(QSizeF frame, const std::vector<PlacedDib> &placed, const std::vector<QRectF> &parts)
{
    double scale = 0;
    double bitmapPixels = 0;
    for (size_t i = 0; i < placed.size(); ++i) {
        const QSize bitmap = placed[i].size;
        scale = std::max({scale, bitmap.width() / (parts[i].width() * frame.width()),
                          bitmap.height() / (parts[i].height() * frame.height())});
        bitmapPixels += double(bitmap.width()) * bitmap.height();
    }
    const double maxPixels =
        std::min(double(kMaxPicturePixels), std::max(kCanvasPixelsAlwaysAllowed, 4 * bitmapPixels));
    QSizeF size = frame * std::min(scale, 1.0);
    size *= std::min({1.0, kMaxPictureSide / size.width(), kMaxPictureSide / size.height(),
                      std::sqrt(maxPixels / (size.width() * size.height()))});
    const QSize rounded(std::max(1, qRound(size.width())), std::max(1, qRound(size.height())));
    if (isWithinPictureLimits(rounded))
        return rounded;
    return QSize(std::max(1, int(size.width())), std::max(1, int(size.height())));
}

// Draws image at target, of which only the part on the canvas is drawn so that
// painting never meets coordinates far outside it.
void drawClipped(QPainter &painter, const QImage &image, const QRectF &target, const QRectF &visible)
{
    const double xScale = image.width() / target.width();
    const double yScale = image.height() / target.height();
    const QRectF source((visible.x() - target.x()) * xScale, (visible.y() - target.y()) * yScale,
                        visible.width() * xScale, visible.height() * yScale);
    painter.drawImage(visible, image, source);
}

// Draws each bitmap on canvas at its part of it, while the work allows;
// false when none could be drawn.
bool drawBitmaps(QImage &canvas, const std::vector<PlacedDib> &placed, const std::vector<QRectF> &parts)
{
    QPainter painter(&canvas);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF whole(canvas.rect());
    double work = 0;
    bool drawn = false;
    for (size_t i = 0; i < placed.size(); ++i) {
        const QRectF target(parts[i].x() * whole.width(), parts[i].y() * whole.height(),
                            parts[i].width() * whole.width(), parts[i].height() * whole.height());
        const QRectF visible = target.intersected(whole);
        work += double(placed[i].size.width()) * placed[i].size.height() + visible.width() * visible.height();
        if (work > kMaxDrawingWork)
            break;
        const QImage image = visible.isEmpty() ? QImage() : dibImage(placed[i].info, placed[i].bits);
        if (!image.isNull()) {
            drawClipped(painter, image, target, visible);
            drawn = true;
        }
    }
    return drawn;
}

// The bitmaps as one image: a lone one as it is, several drawn on a canvas of
// the first one's window, each at its destination in its own window. Bitmaps
// placed without a window are placed in the rectangle that all of them cover.
QImage drawnBitmaps(const std::vector<PlacedDib> &placed)
{
    if (placed.empty())
        return {};
    if (placed.size() == 1)
        return dibImage(placed.front().info, placed.front().bits);

    QRectF covered;
    for (const PlacedDib &dib : placed)
        covered |= dib.dest;
    const auto windowOf = [&covered](const PlacedDib &dib) { return dib.window.isEmpty() ? covered : dib.window; };
    std::vector<QRectF> parts;
    for (const PlacedDib &dib : placed)
        parts.push_back(partOf(windowOf(dib), dib.dest));

    QImage canvas(canvasSize(windowOf(placed.front()).size(), placed, parts), QImage::Format_ARGB32_Premultiplied);
    if (canvas.isNull())
        return {};
    canvas.fill(Qt::transparent);
    return drawBitmaps(canvas, placed, parts) ? canvas : QImage();
}

QByteArrayView tailFrom(QByteArrayView bytes, qint64 offset)
{
    return offset <= bytes.size() ? bytes.sliced(offset) : QByteArrayView();
}

// WMF: 16-bit records of parameters written last one first.
constexpr quint32 kPlaceableKey = 0x9AC6CDD7;
constexpr qint64 kPlaceableHeaderSize = 22;
constexpr qint64 kMetaHeaderSize = 18;
constexpr qint64 kRecordHeaderSize = 6;

enum WmfFunction : quint16 {
    MetaEof = 0x0000,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    DibBitBlt = 0x0940,
    DibStretchBlt = 0x0B41,
    StretchDib = 0x0F43,
};

// The destination of a bitmap record: height, width, y and x from heightAt on.
QRectF wmfDestination(QByteArrayView record, qint64 heightAt)
{
    const auto field = [record](qint64 at) { return qreal(littleEndianAt<qint16>(record, at)); };
    return QRectF(field(heightAt + 6), field(heightAt + 4), field(heightAt + 2), field(heightAt));
}

QImage wmfImage(QByteArrayView bytes)
{
    const qint64 start = littleEndianAt<quint32>(bytes, 0) == kPlaceableKey ? kPlaceableHeaderSize : 0;
    const quint16 type = littleEndianAt<quint16>(bytes, start);
    if ((type != 1 && type != 2) || littleEndianAt<quint16>(bytes, start + 2) != kMetaHeaderSize / 2)
        return {};

    std::vector<PlacedDib> placed;
    QPointF origin;
    QSizeF extent;
    for (qint64 at = start + kMetaHeaderSize; at <= bytes.size() - kRecordHeaderSize;) {
        const quint32 words = littleEndianAt<quint32>(bytes, at);
        const quint16 function = littleEndianAt<quint16>(bytes, at + 4);
        if (words * qint64(2) < kRecordHeaderSize || words > (bytes.size() - at) / 2 || function == MetaEof)
            break;
        const QByteArrayView record = bytes.sliced(at, words * qint64(2));
        at += record.size();
        const auto field = [record](qint64 offset) { return qreal(littleEndianAt<qint16>(record, offset)); };
        const QRectF window = QRectF(origin, extent).normalized();
        switch (function) {
        case SetWindowOrg:
            origin = QPointF(field(8), field(6));
            break;
        case SetWindowExt:
            extent = QSizeF(field(8), field(6));
            break;
        case StretchDib:
            addPackedDib(placed, tailFrom(record, 28), wmfDestination(record, 20), window);
            break;
        // The BLT records without a bitmap fill with the brush's pattern; they
        // end before a bitmap would start.
        case DibStretchBlt:
            addPackedDib(placed, tailFrom(record, 26), wmfDestination(record, 18), window);
            break;
        case DibBitBlt:
            addPackedDib(placed, tailFrom(record, 22), wmfDestination(record, 14), window);
            break;
        default:
            break;
        }
    }
    return drawnBitmaps(placed);
}

// EMF: 32-bit records; a bitmap record says where in itself its DIB lies.
constexpr quint32 kEmfSignature = 0x464D4520; // " EMF"
constexpr qint64 kEmfRecordHeaderSize = 8;

enum EmfRecord : quint32 {
    EmrHeader = 1,
    EmrEof = 14,
    EmrBitBlt = 76,
    EmrStretchBlt = 77,
    EmrSetDibitsToDevice = 80,
    EmrStretchDibits = 81,
};

bool liesIn(QByteArrayView bytes, quint32 offset, quint32 size)
{
    return qint64(offset) + size <= bytes.size();
}

// The DIB given by the offBmiSrc, cbBmiSrc, offBitsSrc, cbBitsSrc fields at fieldsAt.
void addEmfDib(std::vector<PlacedDib> &placed, QByteArrayView record, qint64 fieldsAt, const QRectF &dest,
               const QRectF &bounds)
{
    const auto infoAt = littleEndianAt<quint32>(record, fieldsAt);
    const auto infoSize = littleEndianAt<quint32>(record, fieldsAt + 4);
    const auto bitsAt = littleEndianAt<quint32>(record, fieldsAt + 8);
    const auto bitsSize = littleEndianAt<quint32>(record, fieldsAt + 12);
    // A BLT record without a bitmap fills with the brush's pattern.
    if (infoSize == 0 || !liesIn(record, infoAt, infoSize) || !liesIn(record, bitsAt, bitsSize))
        return;
    addDib(placed, record.sliced(infoAt, infoSize), record.sliced(bitsAt, bitsSize), dest, bounds);
}

QImage emfImage(QByteArrayView bytes)
{
    if (littleEndianAt<quint32>(bytes, 0) != EmrHeader || littleEndianAt<quint32>(bytes, 40) != kEmfSignature)
        return {};
    const auto headerField = [bytes](qint64 at) { return qreal(littleEndianAt<qint32>(bytes, at)); };
    // rclBounds: its right and bottom edges are inside it.
    const QRectF bounds(QPointF(headerField(8), headerField(12)),
                        QPointF(headerField(16) + 1, headerField(20) + 1));

    std::vector<PlacedDib> placed;
    for (qint64 at = 0; at <= bytes.size() - kEmfRecordHeaderSize;) {
        const quint32 type = littleEndianAt<quint32>(bytes, at);
        const quint32 size = littleEndianAt<quint32>(bytes, at + 4);
        if (size < kEmfRecordHeaderSize || size > bytes.size() - at || type == EmrEof)
            break;
        const QByteArrayView record = bytes.sliced(at, size);
        at += size;
        const auto field = [record](qint64 offset) { return qreal(littleEndianAt<qint32>(record, offset)); };
        switch (type) {
        case EmrStretchDibits:
            addEmfDib(placed, record, 48, QRectF(field(24), field(28), field(72), field(76)), bounds);
            break;
        case EmrSetDibitsToDevice:
            addEmfDib(placed, record, 48, QRectF(field(24), field(28), field(40), field(44)), bounds);
            break;
        case EmrBitBlt:
        case EmrStretchBlt:
            addEmfDib(placed, record, 84, QRectF(field(24), field(28), field(32), field(36)), bounds);
            break;
        default:
            break;
        }
    }
    return drawnBitmaps(placed);
}

} // namespace

QImage metafileImage(QByteArrayView bytes, PictureKind kind)
{
    switch (kind) {
    case PictureKind::Wmf:
        return wmfImage(bytes);
    case PictureKind::Emf:
        return emfImage(bytes);
    default:
        return {};
    }
}

} // namespace kobin::rtf
