#include "RtfConversion.h"

#include "InsertedPictures.h"
#include "KeptObjects.h"
#include "PictureImage.h"
#include "RtfReader.h"
#include "RtfWriter.h"
#include "WebAddresses.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>

namespace kobin::richtext {

namespace {

// Whether a note's font name can stand in a page's style as it is: a name holds
// letters, digits, spaces and a few marks (".", "-", "&", "@" of vertical fonts),
// never quotes, semicolons, brackets or backslashes that would end the quoted
// CSS string it is written as and start declarations of their own.
bool isFontName(const QString &family)
{
    if (family.trimmed().isEmpty())
        return false;
    for (const QChar c : family) {
        if (c.unicode() < 0x80) {
            if (!c.isLetterOrNumber() && !QStringView(u" -_.&+@!#").contains(c))
                return false;
        } else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format
                   || c.category() == QChar::Separator_Line || c.category() == QChar::Separator_Paragraph) {
            return false;
        }
    }
    return true;
}

// The format without the font names no font has; false when it had none.
bool withoutForeignFontNames(QTextCharFormat &format)
{
    const QStringList families = format.property(QTextFormat::FontFamilies).toStringList();
    const QString family = format.property(QTextFormat::FontFamily).toString();
    QStringList kept;
    for (const QString &name : families) {
        if (isFontName(name))
            kept << name;
    }
    const bool familyForeign = !family.isEmpty() && !isFontName(family);
    if (kept.size() == families.size() && !familyForeign)
        return false;
    format.clearProperty(QTextFormat::FontFamilies);
    if (!kept.isEmpty())
        format.setFontFamilies(kept);
    if (familyForeign)
        format.clearProperty(QTextFormat::FontFamily);
    return true;
}

// The format without a link that is not to a web page or a mail address: a
// page written from a note links nowhere else. False when it had none.
bool withoutForeignLink(QTextCharFormat &format)
{
    if (!format.isAnchor() || isWebAddress(format.anchorHref()))
        return false;
    format.setAnchor(false);
    format.clearProperty(QTextFormat::AnchorHref);
    return true;
}

// A framed box of the picture's size with its kind in it, for a picture that cannot be drawn.
QByteArray boxSvg(QSize size, const QByteArray &label)
{
    const QByteArray width = QByteArray::number(size.width());
    const QByteArray height = QByteArray::number(size.height());
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + width + "\" height=\"" + height + "\">"
        "<rect x=\"0.5\" y=\"0.5\" width=\"" + QByteArray::number(qMax(0, size.width() - 1)) + "\" height=\""
        + QByteArray::number(qMax(0, size.height() - 1)) + "\" fill=\"none\" stroke=\"gray\" stroke-dasharray=\"3\"/>"
        "<text x=\"50%\" y=\"50%\" text-anchor=\"middle\" dominant-baseline=\"middle\" fill=\"gray\" "
        "font-family=\"sans-serif\" font-size=\"12\">" + label + "</text></svg>";
}

// The picture as an image the HTML shows from pictureAddress.
QTextImageFormat shownPicture(const QTextImageFormat &image, const PictureAddress &pictureAddress)
{
    const std::optional<rtf::Picture> picture = rtf::readKeptPicture(rtf::keptRtfOf(image));
    QByteArray mimeType;
    QByteArray bytes = picture ? rtf::webImage(*picture, &mimeType) : QByteArray();
    if (bytes.isEmpty()) {
        bytes = boxSvg(QSize(qRound(image.width()), qRound(image.height())), rtf::keptObjectLabel(image).toUtf8());
        mimeType = "image/svg+xml";
    }
    QTextImageFormat shown;
    shown.setName(pictureAddress(bytes, mimeType));
    shown.setWidth(image.width());
    shown.setHeight(image.height());
    return shown;
}

// Pictures get the addresses of what a browser shows of them, in the order they
// stand; footnotes show their text where they stand; hidden text goes.
void placePictures(QTextDocument &document, const PictureAddress &pictureAddress)
{
    struct Kept {
        int position;
        QTextCharFormat format; // what stands there instead; an empty format: nothing
        QString text;           // or the text that does
    };
    std::vector<Kept> kept;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QTextCharFormat format = fragment.charFormat();
            if (!rtf::isKeptObject(format))
                continue;
            const QString text = fragment.text();
            for (int i = 0; i < text.size(); ++i) {
                if (text[i] != QChar::ObjectReplacementCharacter)
                    continue;
                if (rtf::isFootnote(format)) {
                    kept.push_back({fragment.position() + i, rtf::textFormatOf(format),
                                    rtf::footnotePlainText(rtf::footnoteTextOf(format))});
                    continue;
                }
                const QTextCharFormat shown = format.isImageFormat()
                    ? shownPicture(format.toImageFormat(), pictureAddress)
                    : QTextCharFormat();
                kept.push_back({fragment.position() + i, shown, {}});
            }
        }
    }
    QTextCursor cursor(&document);
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) { // from the back, so that removals move nothing ahead
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + 1, QTextCursor::KeepAnchor);
        if (!it->text.isEmpty())
            cursor.insertText(it->text, it->format);
        else if (it->format.isImageFormat())
            cursor.insertText(QString(QChar::ObjectReplacementCharacter), it->format);
        else
            cursor.removeSelectedText();
    }
}

QString dataAddress(const QByteArray &bytes, const QByteArray &mimeType)
{
    return QStringLiteral("data:") + QString::fromLatin1(mimeType) + QStringLiteral(";base64,")
        + QString::fromLatin1(bytes.toBase64());
}

// The note as HTML: a font name a note brings goes in only when it is one, a
// link only when it is to a web page or a mail address.
QByteArray htmlOf(QTextDocument &document, const PictureAddress &pictureAddress)
{
    placePictures(document, pictureAddress);
    struct Change {
        int start;
        int end; // -1: the format of the paragraph's mark
        QTextCharFormat format;
    };
    std::vector<Change> changes; // applied after the walk: a change can merge the fragments walked
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        if (QTextCharFormat mark = block.charFormat(); withoutForeignFontNames(mark))
            changes.push_back({block.position(), -1, mark});
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            QTextCharFormat format = it.fragment().charFormat();
            const bool foreignFonts = withoutForeignFontNames(format);
            if (withoutForeignLink(format) || foreignFonts)
                changes.push_back({it.fragment().position(), it.fragment().position() + it.fragment().length(), format});
        }
    }
    QTextCursor cursor(&document);
    for (const Change &change : changes) {
        cursor.setPosition(change.start);
        if (change.end < 0) {
            cursor.setBlockCharFormat(change.format);
            continue;
        }
        cursor.setPosition(change.end, QTextCursor::KeepAnchor);
        cursor.setCharFormat(change.format);
    }
    return document.toHtml().toUtf8();
}

} // namespace

std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure, qint64 largestNote)
{
    if (to == Conversion::PlainText) {
        const std::optional<QString> text = loadPlainText(path, u"\n", failure);
        if (!text)
            return std::nullopt;
        return (*text + u'\n').toUtf8();
    }
    if (to == Conversion::Html)
        return noteHtml(path, dataAddress, failure);
    QTextDocument document;
    if (!loadFile(document, path, failure))
        return std::nullopt;
    QByteArray rtf = rtf::writeRtf(document);
    if (rtf.size() > largestNote) {
        if (failure)
            *failure = LoadFailure::TooLargeToWrite;
        return std::nullopt;
    }
    return rtf;
}

std::optional<QByteArray> noteHtml(const QString &path, const PictureAddress &pictureAddress, LoadFailure *failure)
{
    QTextDocument document;
    if (!loadFile(document, path, failure))
        return std::nullopt;
    return htmlOf(document, pictureAddress);
}

} // namespace kobin::richtext
