#pragma once

// A canonical description of a document's text and formats, independent of how
// QTextDocument happens to split it into fragments, so that two documents can
// be compared (and their differences read) with one QCOMPARE.
#include "FormatProperties.h"

#include <QFile>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>

namespace testing {

// Spacing, line spacing and tab stops; empty when the paragraph has none.
inline QString describeSpacing(const QTextBlockFormat &format)
{
    QString spacing;
    if (format.topMargin() != 0 || format.bottomMargin() != 0)
        spacing += QStringLiteral(" sb%1 sa%2").arg(qRound(format.topMargin() * 15)).arg(qRound(format.bottomMargin() * 15));
    if (format.lineHeightType() != QTextBlockFormat::SingleHeight)
        spacing += QStringLiteral(" line%1:%2").arg(format.lineHeightType()).arg(format.lineHeight());
    for (const QTextOption::Tab &tab : format.tabPositions())
        spacing += QStringLiteral(" tab%1:%2").arg(int(tab.type)).arg(qRound(tab.position * 15));
    return spacing;
}

inline QString describeParagraph(const QTextBlockFormat &format)
{
    const Qt::Alignment alignment = format.alignment() & Qt::AlignHorizontal_Mask;
    const char *name = alignment & Qt::AlignRight    ? "right"
                     : alignment & Qt::AlignHCenter  ? "center"
                     : alignment & Qt::AlignJustify  ? "justify"
                                                     : "left";
    return QStringLiteral("[%1 li%2 ri%3 fi%4%5]")
        .arg(QLatin1String(name))
        .arg(qRound(format.leftMargin() * 15))
        .arg(qRound(format.rightMargin() * 15))
        .arg(qRound(format.textIndent() * 15))
        .arg(describeSpacing(format));
}

inline QString colorName(const QTextCharFormat &format, QTextFormat::Property property)
{
    if (!format.hasProperty(property))
        return QStringLiteral("auto");
    const QBrush brush = format.brushProperty(property);
    return brush.style() == Qt::NoBrush ? QStringLiteral("auto") : brush.color().name();
}

// Strike-through, super- and subscript and raised text; empty for plain text.
inline QString describeScript(const QTextCharFormat &format)
{
    QString more;
    if (format.fontStrikeOut())
        more += QStringLiteral(" strike");
    if (format.verticalAlignment() != QTextCharFormat::AlignNormal)
        more += QStringLiteral(" script%1").arg(int(format.verticalAlignment()));
    if (format.hasProperty(kobin::rtf::kRaiseProperty))
        more += QStringLiteral(" raised%1").arg(format.intProperty(kobin::rtf::kRaiseProperty));
    if (format.isAnchor())
        more += QStringLiteral(" href=") + format.anchorHref();
    return more;
}

inline QString describeRun(const QTextDocument &document, const QTextCharFormat &format)
{
    const QStringList families = format.fontFamilies().toStringList();
    const QString family = families.isEmpty() ? document.defaultFont().family() : families.first();
    const double size = format.fontPointSize() > 0 ? format.fontPointSize() : document.defaultFont().pointSizeF();
    return QStringLiteral("{%1 %2pt%3%4 ul%5 fg%6 bg%7%8}")
        .arg(family)
        .arg(size)
        .arg(format.fontWeight() > QFont::Medium ? " bold" : "")
        .arg(format.fontItalic() ? " italic" : "")
        .arg(int(format.underlineStyle()))
        .arg(colorName(format, QTextFormat::ForegroundBrush), colorName(format, QTextFormat::BackgroundBrush), describeScript(format));
}

// The list a paragraph is an item of: its style, level, number and marker
// text, and which list of the document it is (by first use); empty for none.
inline QString describeListItem(const QTextBlock &block, QList<const QTextList *> &lists)
{
    const QTextList *list = block.textList();
    if (!list)
        return {};
    if (!lists.contains(list))
        lists.append(list);
    const QTextListFormat format = list->format();
    return QStringLiteral("<list%1 style%2 indent%3 #%4 \"%5%6\" from%7 hang%8>")
        .arg(lists.indexOf(list)).arg(int(format.style())).arg(format.indent()).arg(list->itemNumber(block))
        .arg(format.numberPrefix(), format.numberSuffix())
        .arg(format.hasProperty(kobin::rtf::kListStartProperty) ? format.intProperty(kobin::rtf::kListStartProperty) : 1)
        .arg(block.blockFormat().intProperty(kobin::rtf::kListHangingProperty));
}

// Paragraph formats in brackets, a run's format in braces before its text.
inline QString describe(const QTextDocument &document)
{
    QString out;
    QList<const QTextList *> lists;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        out += describeParagraph(block.blockFormat()) + describeListItem(block, lists);
        QString current;
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const QString run = describeRun(document, fragment.charFormat());
            if (run != current)
                out += run;
            current = run;
            out += fragment.text();
        }
        out += u'\n';
    }
    return out;
}

// The character format of the character at position.
inline QTextCharFormat formatAt(const QTextDocument &document, int position)
{
    QTextCursor cursor(const_cast<QTextDocument *>(&document));
    cursor.setPosition(position + 1);
    return cursor.charFormat();
}

inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace testing
