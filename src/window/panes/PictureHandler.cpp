#include "PictureHandler.h"

#include "InsertedPictures.h"
#include "KeptObjects.h"
#include "PictureImage.h"
#include "RtfReader.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextDocument>
#include <QTextImageFormat>

namespace kobin {
namespace {

constexpr int kCacheKilobytes = 256 * 1024; // decoded pictures kept for drawing again

void drawBox(QPainter &painter, const QRectF &rect, const QTextFormat &format)
{
    painter.save();
    painter.setPen(QPen(Qt::gray, 1, Qt::DashLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    painter.setPen(Qt::darkGray);
    painter.drawText(rect, Qt::AlignCenter, rtf::keptObjectLabel(format));
    painter.restore();
}

} // namespace

PictureHandler::PictureHandler(QObject *parent) : QObject(parent)
{
    m_drawn.setMaxCost(kCacheKilobytes);
}

void PictureHandler::handle(QTextDocument &document)
{
    document.documentLayout()->registerHandler(QTextFormat::ImageObject, this);
    document.documentLayout()->registerHandler(rtf::kHiddenTextObject, this);
}

QSizeF PictureHandler::intrinsicSize(QTextDocument *document, int, const QTextFormat &format)
{
    if (format.objectType() != QTextFormat::ImageObject)
        return {}; // hidden text
    const QTextImageFormat image = format.toImageFormat();
    const qreal width = document->textWidth() > 0 ? document->textWidth() - 2 * document->documentMargin() : 0;
    return rtf::fittedSize(QSizeF(image.width(), image.height()), width);
}

void PictureHandler::drawObject(QPainter *painter, const QRectF &rect, QTextDocument *, int,
                                const QTextFormat &format)
{
    if (format.objectType() != QTextFormat::ImageObject)
        return;
    const QImage image = imageOf(format);
    if (image.isNull()) {
        drawBox(*painter, rect, format);
        return;
    }
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(rect, image);
    painter->restore();
}

QImage PictureHandler::imageOf(const QTextFormat &format)
{
    const QByteArray rtf = rtf::keptRtfOf(format);
    if (rtf.isEmpty())
        return {};
    // The format's bytes are shared, not copied: their address names them, and
    // the entry holding them keeps that address from being reused.
    const auto key = reinterpret_cast<quintptr>(rtf.constData());
    if (const Drawn *drawn = m_drawn.object(key))
        return drawn->image;
    const std::optional<rtf::Picture> picture = rtf::readKeptPicture(rtf);
    auto *drawn = new Drawn{rtf, picture ? rtf::pictureImage(*picture) : QImage()};
    const QImage image = drawn->image;
    m_drawn.insert(key, drawn, qMax<qsizetype>(1, image.sizeInBytes() / 1024));
    return image;
}

} // namespace kobin
