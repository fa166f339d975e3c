#include "NoteDocument.h"

#include "InsertedPictures.h"
#include "RichTextFiles.h"
#include "RtfWriter.h"
#include "WebAddresses.h"

#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <functional>
#include <optional>
#include <vector>

namespace kobin::import {

namespace {

// A document that loads no resource: the pictures an imported note names are
// taken from the source by the converter alone, never from a path or the web.
class ClosedDocument : public QTextDocument
{
protected:
    QVariant loadResource(int, const QUrl &) override { return {}; }
};

// Qt's HTML reader drops form controls: a checkbox is kept as the character it shows.
QString checkboxesAsCharacters(QString html)
{
    static const QRegularExpression checkbox(QStringLiteral("<input\\b[^>]*\\btype\\s*=\\s*[\"']?checkbox[^>]*>"),
                                             QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression checked(QStringLiteral("\\bchecked\\b"), QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = checkbox.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(html).mid(from, match.capturedStart() - from);
        out += match.captured().contains(checked) ? u'☑' : u'☐';
        from = match.capturedEnd();
    }
    return out += QStringView(html).mid(from);
}

// Markdown task lists come as list markers that the note cannot hold: the box is
// written out in place of the list's bullet, at the list's indent.
void taskMarkersAsCharacters(QTextDocument &document)
{
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextBlockFormat::MarkerType marker = block.blockFormat().marker();
        QTextList *list = block.textList();
        if (marker == QTextBlockFormat::MarkerType::NoMarker || !list)
            continue;
        const int indent = list->format().indent();
        list->remove(block);
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setMarker(QTextBlockFormat::MarkerType::NoMarker);
        format.setIndent(indent);
        cursor.setBlockFormat(format);
        cursor.insertText(marker == QTextBlockFormat::MarkerType::Checked ? QStringLiteral("☑ ") : QStringLiteral("☐ "));
    }
}

struct ImageAt {
    int position;
    QString name;
};

// Every picture the reader placed, by its address, replaced with the picture's own bytes or left out.
void takePictures(QTextDocument &document, const PictureSource &pictures, NoteConversion &note)
{
    std::vector<ImageAt> images;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            const QString name = fragment.charFormat().toImageFormat().name();
            for (int i = 0; i < fragment.length(); ++i)
                images.push_back({fragment.position() + i, name});
        }
    }
    // From the end, so that the positions before stay valid.
    for (auto it = images.rbegin(); it != images.rend(); ++it) {
        QTextCursor cursor(&document);
        cursor.setPosition(it->position);
        cursor.setPosition(it->position + 1, QTextCursor::KeepAnchor);
        const std::optional<QByteArray> bytes = pictures ? pictures(it->name) : std::nullopt;
        const std::optional<rtf::KeptObject> picture = bytes ? rtf::pictureFromFile(*bytes) : std::nullopt;
        if (picture) {
            cursor.insertText(QString(QChar::ObjectReplacementCharacter), rtf::keptObjectFormat(*picture));
            ++note.pictures;
        } else {
            cursor.removeSelectedText();
            note.leftOut.append(QStringLiteral("絵「") + it->name.left(200) + QStringLiteral("」（読めません）"));
        }
    }
}

// Gives each fragment the format reformat makes of its own, where it makes one:
// all are found first, as a new format may join a fragment to its neighbours.
void reformatFragments(QTextDocument &document,
                       const std::function<std::optional<QTextCharFormat>(const QTextCharFormat &)> &reformat)
{
    struct Run {
        int position;
        int length;
        QTextCharFormat format;
    };
    std::vector<Run> runs;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            if (std::optional<QTextCharFormat> format = reformat(it.fragment().charFormat()))
                runs.push_back({it.fragment().position(), it.fragment().length(), std::move(*format)});
        }
    }
    QTextCursor cursor(&document);
    for (const Run &run : runs) {
        cursor.setPosition(run.position);
        cursor.setPosition(run.position + run.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(run.format);
    }
}

// A note follows only web and mail links: any other (a file, another program's
// note) would lead nowhere or somewhere unsafe, so its text stays without it.
void foreignLinksAsText(QTextDocument &document, const LinkNamer &nameLink, NoteConversion &note)
{
    QString last;
    reformatFragments(document, [&](QTextCharFormat format) -> std::optional<QTextCharFormat> {
        if (!format.isAnchor() || isWebAddress(format.anchorHref()))
            return std::nullopt;
        const QString address = format.anchorHref();
        format.setAnchor(false);
        format.clearProperty(QTextFormat::AnchorHref);
        format.clearForeground(); // no longer looks like a link
        if (address != last) { // one link may be split into fragments by its formats
            last = address;
            const QString named = nameLink ? nameLink(address) : QString();
            note.leftOut.append(!named.isEmpty() ? named
                                                 : QStringLiteral("リンク「") + address.left(200) + QStringLiteral("」（文字のまま）"));
        }
        return format;
    });
}

// Headings come from HTML and Markdown with sizes relative to the text; a note
// holds sizes in points, so each gets the size it is shown at.
void relativeSizesAsPoints(QTextDocument &document)
{
    // Qt's steps for the adjustments from -2 to +4 (HTML's font sizes 1 to 7).
    static constexpr qreal kScale[] = {0.7, 0.8, 1.0, 1.2, 1.5, 2.0, 2.4};
    const qreal textSize = document.defaultFont().pointSizeF();
    reformatFragments(document, [textSize](QTextCharFormat format) -> std::optional<QTextCharFormat> {
        if (!format.hasProperty(QTextFormat::FontSizeAdjustment))
            return std::nullopt;
        const int step = qBound(0, format.intProperty(QTextFormat::FontSizeAdjustment) + 2, 6);
        const qreal size = format.hasProperty(QTextFormat::FontPointSize) ? format.fontPointSize() : textSize;
        format.setFontPointSize(size * kScale[step]);
        format.clearProperty(QTextFormat::FontSizeAdjustment);
        return format;
    });
}

} // namespace

NoteConversion convertNote(const QString &markup, ImportItem::Markup kind, const PictureSource &pictures,
                           const QString &firstLine, const LinkNamer &nameLink)
{
    ClosedDocument document;
    if (kind == ImportItem::Markup::Markdown) {
        document.setMarkdown(markup, QTextDocument::MarkdownDialectGitHub);
        taskMarkersAsCharacters(document);
    } else {
        document.setHtml(checkboxesAsCharacters(markup));
    }
    relativeSizesAsPoints(document);
    NoteConversion note;
    takePictures(document, pictures, note);
    foreignLinksAsText(document, nameLink, note);
    if (!firstLine.isEmpty()) {
        QTextCursor cursor(&document);
        cursor.insertText(firstLine, QTextCharFormat());
        cursor.insertBlock();
    }
    note.rtf = rtf::writeRtf(document);
    return note;
}

QByteArray plainNote(const QString &text)
{
    QTextDocument document;
    richtext::setText(document, text);
    return rtf::writeRtf(document);
}

} // namespace kobin::import
