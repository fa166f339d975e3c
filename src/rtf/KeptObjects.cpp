#include "KeptObjects.h"
#include "RtfUnits.h"

#include <QTextImageFormat>
#include <cctype>

namespace kobin::rtf {
namespace {

constexpr int kHexLineLength = 128;     // hex digits a line, as Windows writes picture data
constexpr QSizeF kFootnoteMarkSize(20, 16); // pixels: a mark the size of a character

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
    if (object.kind == KeptObject::Kind::Footnote) {
        format.setProperty(kFootnoteTextProperty, object.footnoteText);
        format.setProperty(kKeptFontsProperty, object.fonts.families);
        format.setProperty(kKeptFontCodePagesProperty, QVariant::fromValue(object.fonts.codePages));
        format.setProperty(kKeptOuterCodePageProperty, object.fonts.outerCodePage);
        format.setToolTip(object.footnoteText);
    }
    const QSizeF size = object.kind == KeptObject::Kind::Footnote ? kFootnoteMarkSize
                        : object.picture                         ? object.picture->shownSize
                                                                 : object.boxSize;
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

bool isFootnote(const QTextFormat &format)
{
    return format.hasProperty(kFootnoteTextProperty);
}

QString footnoteTextOf(const QTextFormat &format)
{
    return format.property(kFootnoteTextProperty).toString();
}

KeptFonts keptFontsOf(const QTextFormat &format)
{
    return {format.property(kKeptFontsProperty).toStringList(),
            format.property(kKeptFontCodePagesProperty).value<QList<int>>(), format.intProperty(kKeptOuterCodePageProperty)};
}

QString footnotePlainText(const QString &footnoteText)
{
    return QStringLiteral("［注: ") + footnoteText + QStringLiteral("］");
}

PictureKind pictureKindOf(const QTextFormat &format)
{
    const int kind = format.intProperty(kPictureKindProperty);
    return kind >= 0 && kind <= static_cast<int>(PictureKind::Other) ? static_cast<PictureKind>(kind)
                                                                      : PictureKind::Other;
}

QString keptObjectLabel(const QTextFormat &format)
{
    if (isFootnote(format))
        return QStringLiteral("注");
    switch (pictureKindOf(format)) {
    case PictureKind::Png: return QStringLiteral("PNG");
    case PictureKind::Jpeg: return QStringLiteral("JPEG");
    case PictureKind::Dib: return QStringLiteral("DIB");
    case PictureKind::Bitmap: return QStringLiteral("BMP");
    case PictureKind::Emf: return QStringLiteral("EMF");
    case PictureKind::Wmf: return QStringLiteral("WMF");
    case PictureKind::Other: break;
    }
    // Kinds no reader here draws are told by the word that names their data in the kept group.
    const QByteArray rtf = keptRtfOf(format);
    if (hasControlWord(rtf, "\\macpict"))
        return QStringLiteral("PICT");
    if (hasControlWord(rtf, "\\pmmetafile"))
        return QStringLiteral("OS/2");
    return hasControlWord(rtf, "\\object") ? QStringLiteral("OLE") : QStringLiteral("?");
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
