#include "ZimWikiText.h"

#include "InsertedPictures.h"
#include "NoteFormats.h"
#include "NoteTable.h"
#include "KeptObjects.h"
#include "RtfWriter.h"

#include <QRegularExpression>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <vector>

namespace kobin::import {

namespace {

bool isWebAddress(const QString &target)
{
    static const QRegularExpression address(QStringLiteral("^(?:[a-z][a-z0-9+.-]*://|mailto:)"),
                                            QRegularExpression::CaseInsensitiveOption);
    return target.contains(address);
}

class WikiNoteBuilder
{
public:
    WikiNoteBuilder(QTextDocument &document, ZimNote &note, const ZimWikiText::PictureSource &pictures)
        : m_cursor(&document), m_note(note), m_pictures(pictures)
    {
    }

    void addLine(const QString &line);
    void addVerbatim(const QString &line);
    void addTable(const QList<QStringList> &rows);

private:
    void newParagraph(const QTextBlockFormat &format = {});
    void addInline(QTextCursor &cursor, QStringView text, const QTextCharFormat &format);
    void addLink(QTextCursor &cursor, const QString &inside, const QTextCharFormat &format);
    void addPicture(QTextCursor &cursor, const QString &inside);
    bool addListItem(const QString &line);

    QTextCursor m_cursor;
    ZimNote &m_note;
    const ZimWikiText::PictureSource &m_pictures;
    bool m_empty = true;
    std::vector<QTextList *> m_lists; // open by level
};

void WikiNoteBuilder::newParagraph(const QTextBlockFormat &format)
{
    if (!std::exchange(m_empty, false))
        m_cursor.insertBlock(format, QTextCharFormat());
    else
        m_cursor.setBlockFormat(format);
}

void WikiNoteBuilder::addInline(QTextCursor &cursor, QStringView text, const QTextCharFormat &format)
{
    // A bare web address comes first, so that its "//" is no italic.
    static const QRegularExpression marks(QStringLiteral(
        R"(\b((?:https?|ftp)://[^\s\]|]+)|\*\*(.+?)\*\*|//(.+?)//|__(.+?)__|~~(.+?)~~|''(.+?)''|\^\{(.+?)\}|_\{(.+?)\}|\[\[(.+?)\]\]|\{\{(.+?)\}\}|(?<!\S)(@\w+))"),
        QRegularExpression::UseUnicodePropertiesOption);
    qsizetype from = 0;
    QRegularExpressionMatchIterator matches = marks.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch match = matches.next();
        cursor.insertText(text.mid(from, match.capturedStart() - from).toString(), format);
        from = match.capturedEnd();
        QTextCharFormat inner = format;
        int group = 1;
        while (match.capturedStart(group) < 0)
            ++group;
        const QString captured = match.captured(group);
        switch (group) {
        case 1: addLink(cursor, captured, format); continue;
        case 2: inner.setFontWeight(QFont::Bold); break;
        case 3: inner.setFontItalic(true); break;
        case 4: inner.setBackground(QColor(Qt::yellow)); break;
        case 5: inner.setFontStrikeOut(true); break;
        case 6: inner.merge(fixedPitch()); cursor.insertText(captured, inner); continue;
        case 7: inner.setVerticalAlignment(QTextCharFormat::AlignSuperScript); break;
        case 8: inner.setVerticalAlignment(QTextCharFormat::AlignSubScript); break;
        case 9: addLink(cursor, captured, format); continue;
        case 10: addPicture(cursor, captured); continue;
        default:
            cursor.insertText(captured, format);
            m_note.leftOut.append(QStringLiteral("タグ ") + captured);
            continue;
        }
        addInline(cursor, captured, inner);
    }
    cursor.insertText(text.mid(from).toString(), format);
}

void WikiNoteBuilder::addLink(QTextCursor &cursor, const QString &inside, const QTextCharFormat &format)
{
    const qsizetype bar = inside.indexOf(u'|');
    const QString target = bar < 0 ? inside : inside.left(bar);
    const QString label = bar < 0 || bar + 1 == inside.size() ? target : inside.mid(bar + 1);
    // Zim takes a bare e-mail address for a mailto link.
    static const QRegularExpression mail(QStringLiteral(R"(^[^\s:/@]+@[^\s:/@]+\.[^\s:/@]+$)"));
    const QString address = target.contains(mail) ? QStringLiteral("mailto:") + target : target;
    if (!isWebAddress(address)) {
        cursor.insertText(label, format);
        m_note.leftOut.append(QStringLiteral("ページへのリンク「%1」（文字のまま）").arg(target));
        return;
    }
    QTextCharFormat link = format;
    link.setAnchor(true);
    link.setAnchorHref(address);
    link.setFontUnderline(true);
    link.setForeground(QColor(Qt::blue));
    cursor.insertText(label, link);
}

void WikiNoteBuilder::addPicture(QTextCursor &cursor, const QString &inside)
{
    const QString name = inside.section(u'?', 0, 0).trimmed();
    if (const std::optional<rtf::KeptObject> picture = rtf::pictureFromFile(m_pictures(name))) {
        cursor.insertText(QString(QChar::ObjectReplacementCharacter), rtf::keptObjectFormat(*picture));
        ++m_note.pictures;
    } else {
        cursor.insertText(QStringLiteral("［絵「%1」］").arg(name), QTextCharFormat());
        m_note.leftOut.append(QStringLiteral("絵「%1」（ないか読めません）").arg(name));
    }
}

// "* ", "1. ", "a. " and checkboxes, a tab a level deeper.
bool WikiNoteBuilder::addListItem(const QString &line)
{
    static const QRegularExpression item(QStringLiteral(R"(^(\t*)(?:(\*)|(\d+)\.|([a-zA-Z])\.|\[([ *x><])\]) (.*)$)"));
    const QRegularExpressionMatch match = item.match(line);
    if (!match.hasMatch()) {
        m_lists.clear();
        return false;
    }
    const int level = static_cast<int>(match.capturedLength(1));
    QTextListFormat::Style style = QTextListFormat::ListDisc;
    QString text = match.captured(6);
    if (match.capturedStart(3) >= 0)
        style = QTextListFormat::ListDecimal;
    else if (match.capturedStart(4) >= 0)
        style = match.captured(4).at(0).isUpper() ? QTextListFormat::ListUpperAlpha : QTextListFormat::ListLowerAlpha;
    newParagraph();
    if (match.capturedStart(5) >= 0) {
        // A checkbox is kept as the mark it shows: done, or not done (struck out, moved on or back).
        const QChar box = match.captured(5).at(0);
        const QString mark = box == u' ' ? QStringLiteral("☐") : box == u'*' ? QStringLiteral("☑") : QStringLiteral("☒");
        QTextBlockFormat indented;
        indented.setLeftMargin(level * kIndentPixels);
        m_cursor.setBlockFormat(indented);
        m_cursor.insertText(mark + u' ');
        m_lists.resize(std::min<size_t>(m_lists.size(), level));
    } else {
        m_lists.resize(level + 1, nullptr);
        QTextList *&list = m_lists[level];
        if (list && list->format().style() == style) {
            list->add(m_cursor.block());
        } else {
            QTextListFormat format;
            format.setStyle(style);
            format.setIndent(level + 1);
            list = m_cursor.createList(format);
        }
    }
    addInline(m_cursor, text, QTextCharFormat());
    return true;
}

void WikiNoteBuilder::addLine(const QString &line)
{
    if (addListItem(line))
        return;
    static const QRegularExpression heading(QStringLiteral(R"(^(={2,6})\s+(.*?)\s+={2,6}\s*$)"));
    if (const QRegularExpressionMatch match = heading.match(line); match.hasMatch()) {
        // "======" is the first level, "==" the fifth.
        static const double points[] = {20, 17, 15, 13, 12};
        QTextCharFormat format;
        format.setFontWeight(QFont::Bold);
        format.setFontPointSize(points[6 - match.capturedLength(1)]);
        QTextBlockFormat block;
        block.setHeadingLevel(7 - static_cast<int>(match.capturedLength(1)));
        newParagraph(block);
        addInline(m_cursor, match.captured(2), format);
        return;
    }
    newParagraph();
    addInline(m_cursor, line, QTextCharFormat());
}

void WikiNoteBuilder::addVerbatim(const QString &line)
{
    newParagraph();
    m_cursor.insertText(line, fixedPitch());
}

void WikiNoteBuilder::addTable(const QList<QStringList> &rows)
{
    const bool inserted = insertNoteTable(m_cursor, rows, [this](QTextCursor &cell, const QString &text, const QTextCharFormat &format) {
        addInline(cell, text, format);
    });
    m_empty = m_empty || inserted;
}

// A table row "| a | b |"; the line of dashes under the header is no row.
std::optional<QStringList> tableRow(const QString &line)
{
    static const QRegularExpression rule(QStringLiteral(R"(^\|[-:|\s]+\|\s*$)"));
    if (!line.startsWith(u'|') || line.contains(rule))
        return std::nullopt;
    QStringList cells = line.trimmed().split(u'|');
    cells.removeFirst();
    if (!cells.isEmpty() && cells.last().isEmpty())
        cells.removeLast();
    for (QString &cell : cells)
        cell = cell.trimmed().replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    return cells.mid(0, kMaxTableColumns);
}

} // namespace

ZimNote ZimWikiText::convert(const QString &text) const
{
    ZimNote note;
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    // Within one edit block a cursor does not lay out its paragraph after each
    // insert, which made a paragraph of many marked runs take quadratic time.
    QTextCursor edit(&document);
    edit.beginEditBlock();
    WikiNoteBuilder builder(document, note, m_pictures);
    QStringList lines = text.split(u'\n');
    if (lines.size() > 1 && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line
    bool verbatim = false;
    QList<QStringList> rows;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed() == QLatin1String("'''")) {
            verbatim = !verbatim;
            continue;
        }
        if (verbatim) {
            builder.addVerbatim(line);
            continue;
        }
        if (line.startsWith(u'|')) {
            if (const std::optional<QStringList> row = tableRow(line); row && rows.size() < kMaxTableRows)
                rows.append(*row);
            const bool last = i + 1 == lines.size() || !lines[i + 1].startsWith(u'|');
            if (last)
                builder.addTable(std::exchange(rows, {}));
            continue;
        }
        builder.addLine(line);
    }
    edit.endEditBlock();
    note.leftOut.removeDuplicates();
    note.rtf = rtf::writeRtf(document);
    return note;
}

QString zimPageBody(const QString &file, QString *created)
{
    if (!file.startsWith(QLatin1String("Content-Type:")))
        return file;
    const qsizetype end = file.indexOf(QLatin1String("\n\n"));
    const QString header = file.left(end < 0 ? file.size() : end);
    static const QRegularExpression date(QStringLiteral(R"(^Creation-Date:[ \t]*(.+?)[ \t]*$)"), QRegularExpression::MultilineOption);
    *created = date.match(header).captured(1);
    return end < 0 ? QString() : file.mid(end + 2);
}

} // namespace kobin::import
