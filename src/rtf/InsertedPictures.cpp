#include "InsertedPictures.h"

#include <QBuffer>
#include <QImageReader>
#include <QTextImageFormat>

namespace kobin::rtf {
namespace {

constexpr int kMaxInsertedSide = 16384; // pixels a side, as the picture drawing allows

std::optional<KeptObject> keptPicture(PictureKind kind, const QByteArray &data, QSize pixels)
{
    if (pixels.isEmpty() || pixels.width() > kMaxInsertedSide || pixels.height() > kMaxInsertedSide)
        return std::nullopt;
    KeptObject object;
    object.kind = KeptObject::Kind::Picture;
    object.rtf = pictureRtf(kind, data, pixels);
    Picture picture;
    picture.kind = kind;
    picture.sourceSize = pixels;
    picture.shownSize = QSizeF(pixels);
    object.picture = picture;
    return object;
}

} // namespace

std::optional<KeptObject> pictureFromFile(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > kMaxInsertedPictureBytes)
        return std::nullopt;
    QByteArray data = bytes;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QByteArray format = reader.format();
    const QSize size = reader.size();
    if (format == "png" && bytes.startsWith("\x89PNG"))
        return keptPicture(PictureKind::Png, bytes, size);
    if (format == "jpeg" && bytes.startsWith("\xFF\xD8"))
        return keptPicture(PictureKind::Jpeg, bytes, size);
    if (size.isValid() && (size.width() > kMaxInsertedSide || size.height() > kMaxInsertedSide))
        return std::nullopt;
    return pictureFromImage(reader.read());
}

std::optional<KeptObject> pictureFromImage(const QImage &image)
{
    if (image.isNull() || image.width() > kMaxInsertedSide || image.height() > kMaxInsertedSide)
        return std::nullopt;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        return std::nullopt;
    return keptPicture(PictureKind::Png, png, image.size());
}

QSizeF fittedSize(QSizeF shown, qreal width)
{
    if (width <= 0 || shown.width() <= width)
        return shown;
    return QSizeF(width, shown.height() * width / shown.width());
}

QTextCharFormat textFormatOf(const QTextCharFormat &format)
{
    QTextCharFormat text = format;
    for (const int property : {int(QTextFormat::ObjectType), int(QTextFormat::ImageName), int(QTextFormat::ImageWidth),
                               int(QTextFormat::ImageHeight), kKeptRtfProperty, kPictureKindProperty,
                               kHiddenTextProperty, kFootnoteTextProperty, kKeptFontsProperty, kKeptFontCodePagesProperty,
                               kKeptOuterCodePageProperty,
                               int(QTextFormat::TextToolTip)})
        text.clearProperty(property);
    return text;
}

} // namespace kobin::rtf
