#include "RtfConversion.h"

#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

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

// The note as HTML: a font name a note brings goes in only when it is one.
QByteArray htmlOf(QTextDocument &document)
{
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
            if (withoutForeignFontNames(format))
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

std::optional<QByteArray> convertRtfFile(const QString &path, Conversion to, LoadFailure *failure)
{
    if (to == Conversion::PlainText) {
        const std::optional<QString> text = loadPlainText(path, u"\n", failure);
        if (!text)
            return std::nullopt;
        return (*text + u'\n').toUtf8();
    }
    QTextDocument document;
    if (!loadFile(document, path, failure))
        return std::nullopt;
    return to == Conversion::Html ? htmlOf(document) : rtf::writeRtf(document);
}

} // namespace kobin::richtext
