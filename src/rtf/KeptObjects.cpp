#include "KeptObjects.h"
#include "RtfUnits.h"

#include <QTextImageFormat>
#include <cctype>

namespace kobin::rtf {
namespace {

constexpr int kHexLineLength = 128;     // hex digits a line, as Windows writes picture data

const char *blipWord(PictureKind kind)
{
    return kind == PictureKind::Jpeg ? "\\jpegblip" : "\\pngblip";
}

// The control word itself, not one that only begins with it.
bool hasControlWord(QByteArrayView rtf, QByteArrayView word)
{
    for (qsizetype at = rtf.indexOf(word); at >= 0; at = rtf.indexOf(word, at + 1)) {
        const qsizetype after = at + word.size();
        if (after == rtf.size() || !std::isalpha(static_cast<unsigned char>(rtf[after])))
            return true;
    }
    return false;
}

} // namespace

QTextCharFormat keptObjectFormat(const KeptObject &object)
{
    if (object.kind == KeptObject::Kind::HiddenText) {
        QTextCharFormat format;
        format.setObjectType(kHiddenTextObject);
        format.setProperty(kHiddenTextProperty, object.hiddenText);
        return format;
    }
    QTextImageFormat format;
    format.setName(kPictureImageName.toString());
    const QSizeF size = object.picture ? object.picture->shownSize : object.boxSize;
    format.setWidth(size.width());
    format.setHeight(size.height());
    format.setProperty(kKeptRtfProperty, object.rtf);
    format.setProperty(kPictureKindProperty,
                       static_cast<int>(object.picture ? object.picture->kind : PictureKind::Other));
    return format;
}

bool isKeptObject(const QTextFormat &format)
{
    return format.hasProperty(kKeptRtfProperty) || format.hasProperty(kHiddenTextProperty);
}

QByteArray keptRtfOf(const QTextFormat &format)
{
    return format.property(kKeptRtfProperty).toByteArray();
}

QString hiddenTextOf(const QTextFormat &format)
{
    return format.property(kHiddenTextProperty).toString();
}

PictureKind pictureKindOf(const QTextFormat &format)
{
    const int kind = format.intProperty(kPictureKindProperty);
    return kind >= 0 && kind <= static_cast<int>(PictureKind::Other) ? static_cast<PictureKind>(kind)
                                                                      : PictureKind::Other;
}

QByteArray keptObjectLabel(const QTextFormat &format)
{
    switch (pictureKindOf(format)) {
    case PictureKind::Png: return "PNG";
    case PictureKind::Jpeg: return "JPEG";
    case PictureKind::Dib: return "DIB";
    case PictureKind::Bitmap: return "BMP";
    case PictureKind::Emf: return "EMF";
    case PictureKind::Wmf: return "WMF";
    case PictureKind::Other: break;
    }
    // Kinds no reader here draws are told by the word that names their data in the kept group.
    const QByteArray rtf = keptRtfOf(format);
    if (hasControlWord(rtf, "\\macpict"))
        return "PICT";
    if (hasControlWord(rtf, "\\pmmetafile"))
        return "OS/2";
    return hasControlWord(rtf, "\\object") ? "OLE" : "?";
}

QByteArray pictureRtf(PictureKind kind, const QByteArray &data, QSize pixels)
{
    QByteArray rtf = "{\\pict";
    rtf += blipWord(kind);
    rtf += "\\picw" + QByteArray::number(pixels.width()) + "\\pich" + QByteArray::number(pixels.height());
    rtf += "\\picwgoal" + QByteArray::number(qRound(pixels.width() * kTwipsPerPixel));
    rtf += "\\pichgoal" + QByteArray::number(qRound(pixels.height() * kTwipsPerPixel));
    rtf += "\r\n";
    const QByteArray hex = data.toHex();
    rtf.reserve(rtf.size() + hex.size() + hex.size() / kHexLineLength * 2 + 4);
    for (qsizetype at = 0; at < hex.size(); at += kHexLineLength) {
        rtf += QByteArrayView(hex).sliced(at, qMin<qsizetype>(kHexLineLength, hex.size() - at));
        rtf += "\r\n";
    }
    rtf += '}';
    return rtf;
}

} // namespace kobin::rtf
