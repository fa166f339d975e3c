#include "CherryTreeNote.h"

#include "InsertedPictures.h"
#include "NoteFormats.h"
#include "NoteTable.h"
#include "RtfWriter.h"

#include <QDateTime>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QXmlStreamReader>
#include <algorithm>
#include <utility>

namespace kobin::import {

namespace {

// What one node may hold: past these a note would be no note anyone keeps, and
// its text, cells and objects are cut there.
constexpr qint64 kMaxCharacters = 16LL * 1024 * 1024;
constexpr size_t kMaxObjects = 10000;

// "#rrggbb" or CherryTree's "#rrrrggggbbbb".
QColor colorOf(QStringView text)
{
    if (text.size() == 13 && text.startsWith(u'#')) {
        const QString shortened = QStringLiteral("#%1%2%3").arg(text.mid(1, 2), text.mid(5, 2), text.mid(9, 2));
        return QColor(shortened);
    }
    return QColor(text);
}

double pointsOf(QStringView scale)
{
    static const QHash<QString, double> points{{QStringLiteral("h1"), 20}, {QStringLiteral("h2"), 17},
                                               {QStringLiteral("h3"), 15}, {QStringLiteral("h4"), 13},
                                               {QStringLiteral("h5"), 12}, {QStringLiteral("h6"), 11},
                                               {QStringLiteral("small"), 8}};
    return points.value(scale.toString(), 0);
}

QString decodedPath(QStringView base64)
{
    return QString::fromUtf8(QByteArray::fromBase64(base64.toLatin1()));
}

class CherryTreeNoteBuilder
{
public:
    CherryTreeNoteBuilder(QTextDocument &document, CherryTreeNote &note) : m_cursor(&document), m_note(note) {}

    void beginRun(const CherryTreeContent::Run &run, bool plain);
    // Alignment and indent belong to the paragraphs the run lies in.
    void endRun();
    void addObject(const CherryTreeContent::Object &object);
    void addText(QStringView text);

private:
    QTextCharFormat formatOf(const QXmlStreamAttributes &attributes);
    void addTable(const QList<QStringList> &rows);

    QTextCursor m_cursor;
    CherryTreeNote &m_note;
    QTextCharFormat m_format;
    QTextBlockFormat m_paragraph;
    int m_firstBlock = 0;
    bool m_paragraphEnded = false;
};

// A new paragraph starts with no alignment or indent: those of a run hold for its own paragraphs alone.
void CherryTreeNoteBuilder::addText(QStringView text)
{
    // A table or code box ends its paragraph already: the line break after it would add an empty one.
    if (std::exchange(m_paragraphEnded, false) && text.startsWith(u'\n'))
        text = text.mid(1);
    for (qsizetype from = 0;;) {
        const qsizetype end = text.indexOf(u'\n', from);
        m_cursor.insertText(text.mid(from, end < 0 ? -1 : end - from).toString(), m_format);
        if (end < 0)
            return;
        m_cursor.insertBlock(QTextBlockFormat(), m_format);
        from = end + 1;
    }
}

QTextCharFormat CherryTreeNoteBuilder::formatOf(const QXmlStreamAttributes &attributes)
{
    QTextCharFormat format;
    if (attributes.value(QLatin1String("family")) == u"monospace")
        format = fixedPitch();
    if (attributes.value(QLatin1String("weight")) == u"heavy")
        format.setFontWeight(QFont::Bold);
    if (attributes.value(QLatin1String("style")) == u"italic")
        format.setFontItalic(true);
    if (!attributes.value(QLatin1String("underline")).isEmpty())
        format.setFontUnderline(true);
    if (attributes.value(QLatin1String("strikethrough")) == u"true")
        format.setFontStrikeOut(true);
    if (const QColor color = colorOf(attributes.value(QLatin1String("foreground"))); color.isValid())
        format.setForeground(color);
    if (const QColor color = colorOf(attributes.value(QLatin1String("background"))); color.isValid())
        format.setBackground(color);
    const QStringView scale = attributes.value(QLatin1String("scale"));
    if (scale == u"sup")
        format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (scale == u"sub")
        format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else if (const double points = pointsOf(scale); points > 0)
        format.setFontPointSize(points);
    const QStringView link = attributes.value(QLatin1String("link"));
    if (link.startsWith(u"webs ")) {
        format.setAnchor(true);
        format.setAnchorHref(link.mid(5).trimmed().toString());
        format.setFontUnderline(true);
        format.setForeground(QColor(Qt::blue));
    } else if (link.startsWith(u"node ")) {
        m_note.leftOut.append(QStringLiteral("ノートへのリンク（文字のまま）"));
    } else if (link.startsWith(u"file ") || link.startsWith(u"fold ")) {
        m_note.leftOut.append(QStringLiteral("ファイルへのリンク「%1」（文字のまま）").arg(decodedPath(link.mid(5))));
    }
    return format;
}

void CherryTreeNoteBuilder::beginRun(const CherryTreeContent::Run &run, bool plain)
{
    m_format = plain ? fixedPitch() : formatOf(run.attributes);
    m_firstBlock = m_cursor.blockNumber();
    m_paragraph = QTextBlockFormat();
    const QStringView justification = run.attributes.value(QLatin1String("justification"));
    if (justification == u"center")
        m_paragraph.setAlignment(Qt::AlignHCenter);
    else if (justification == u"right")
        m_paragraph.setAlignment(Qt::AlignRight);
    else if (justification == u"fill")
        m_paragraph.setAlignment(Qt::AlignJustify);
    if (const QStringView indent = run.attributes.value(QLatin1String("indent")); !indent.isEmpty())
        m_paragraph.setLeftMargin(qBound(0, indent.toInt(), 20) * kIndentPixels);
}

void CherryTreeNoteBuilder::endRun()
{
    if (m_paragraph.propertyCount() == 0)
        return;
    QTextCursor paragraphs = m_cursor;
    paragraphs.setPosition(m_cursor.document()->findBlockByNumber(m_firstBlock).position(), QTextCursor::KeepAnchor);
    paragraphs.mergeBlockFormat(m_paragraph);
}

void CherryTreeNoteBuilder::addTable(const QList<QStringList> &rows)
{
    m_paragraphEnded |= insertNoteTable(m_cursor, rows, [](QTextCursor &cell, const QString &text, const QTextCharFormat &format) {
        cell.insertText(text, format);
    });
}

void CherryTreeNoteBuilder::addObject(const CherryTreeContent::Object &object)
{
    using Kind = CherryTreeContent::Object::Kind;
    switch (object.kind) {
    case Kind::Picture:
        if (const std::optional<rtf::KeptObject> picture = rtf::pictureFromFile(object.bytes)) {
            m_cursor.insertText(QString(QChar::ObjectReplacementCharacter), rtf::keptObjectFormat(*picture));
            ++m_note.pictures;
        } else {
            m_note.leftOut.append(QStringLiteral("絵（読めません）"));
        }
        break;
    case Kind::Table:
        addTable(object.rows);
        break;
    case Kind::CodeBox:
        if (!m_cursor.atBlockStart())
            m_cursor.insertBlock(QTextBlockFormat());
        m_cursor.insertText(object.text, fixedPitch());
        m_cursor.insertBlock(QTextBlockFormat());
        m_paragraphEnded = true;
        break;
    case Kind::File:
        m_cursor.insertText(QStringLiteral("［添付ファイル「%1」］").arg(object.text), QTextCharFormat());
        m_note.leftOut.append(QStringLiteral("添付ファイル「%1」").arg(object.text));
        break;
    case Kind::Anchor:
        break;
    }
}

} // namespace

bool CherryTreeContent::readElement(QXmlStreamReader &reader)
{
    const QStringView name = reader.name();
    const QXmlStreamAttributes attributes = reader.attributes();
    Object object;
    object.offset = attributes.value(QLatin1String("char_offset")).toLongLong();
    if (name == u"rich_text") {
        QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        if (characters + text.size() > kMaxCharacters)
            text.truncate(std::max<qint64>(0, kMaxCharacters - characters));
        characters += text.size();
        runs.push_back({std::move(text), attributes});
        return true;
    }
    if (name == u"table") {
        object.kind = Object::Kind::Table;
        while (reader.readNextStartElement()) {
            if (reader.name() != u"row" || object.rows.size() >= kMaxTableRows) {
                reader.skipCurrentElement();
                continue;
            }
            QStringList row;
            while (reader.readNextStartElement()) {
                QString cell = reader.readElementText(QXmlStreamReader::IncludeChildElements);
                if (row.size() < kMaxTableColumns && characters + cell.size() <= kMaxCharacters) {
                    characters += cell.size();
                    row.append(std::move(cell));
                }
            }
            object.rows.append(row);
        }
        // The header row is stored last.
        if (!object.rows.isEmpty())
            object.rows.prepend(object.rows.takeLast());
    } else if (name == u"codebox") {
        object.kind = Object::Kind::CodeBox;
        object.text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        characters += object.text.size();
    } else if (name == u"encoded_png") {
        const QString base64 = reader.readElementText(QXmlStreamReader::IncludeChildElements);
        object.kind = !attributes.value(QLatin1String("anchor")).isEmpty()       ? Object::Kind::Anchor
                      : !attributes.value(QLatin1String("filename")).isEmpty() ? Object::Kind::File
                                                                   : Object::Kind::Picture;
        object.text = attributes.value(QLatin1String("filename")).toString();
        if (object.kind == Object::Kind::Picture)
            object.bytes = QByteArray::fromBase64(base64.toLatin1());
        object.link = attributes.value(QLatin1String("link")).toString();
        if (const QStringView sum = attributes.value(QLatin1String("sha256sum")); !sum.isEmpty())
            object.file = sum.toString() + QStringLiteral(".png");
    } else {
        return false;
    }
    if (objects.size() < kMaxObjects)
        objects.push_back(std::move(object));
    return true;
}

void CherryTreeContent::addTable(qint64 offset, const QString &xml)
{
    QXmlStreamReader reader(xml);
    if (reader.readNextStartElement() && reader.name() == u"table") {
        readElement(reader);
        if (!objects.empty())
            objects.back().offset = offset;
    }
}

CherryTreeNote convertCherryTreeNote(const CherryTreeContent &content)
{
    CherryTreeNote note;
    QTextDocument document;
    document.setUndoRedoEnabled(false);
    // Within one edit block a cursor does not lay out its paragraph after each
    // insert: a paragraph of many runs took quadratic time.
    QTextCursor edit(&document);
    edit.beginEditBlock();
    CherryTreeNoteBuilder builder(document, note);
    std::vector<const CherryTreeContent::Object *> objects;
    for (const CherryTreeContent::Object &object : content.objects)
        objects.push_back(&object);
    std::stable_sort(objects.begin(), objects.end(), [](const auto *a, const auto *b) { return a->offset < b->offset; });
    auto next = objects.cbegin();
    qint64 position = 0;
    for (const CherryTreeContent::Run &run : content.runs) {
        builder.beginRun(run, content.plain);
        const QString &text = run.text;
        qsizetype from = 0;
        for (qsizetype i = 0; i < text.size(); ++position) {
            // Objects stand between the code points, each taking a place of its own.
            for (; next != objects.cend() && (*next)->offset <= position; ++next, ++position) {
                builder.addText(QStringView(text).mid(from, i - from));
                from = i;
                builder.addObject(**next);
            }
            i += text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
        }
        builder.addText(QStringView(text).mid(from));
        builder.endRun();
    }
    int outside = 0;
    for (; next != objects.cend(); ++next, ++position) {
        outside += (*next)->offset > position ? 1 : 0;
        builder.addObject(**next);
    }
    if (outside > 0)
        note.leftOut.append(QStringLiteral("本文の外の位置にある %1 個の物（末尾に置きました）").arg(outside));
    note.leftOut.removeDuplicates();
    edit.endEditBlock();
    note.rtf = rtf::writeRtf(document);
    return note;
}

CherryTreeNode cherryTreeNode(const QXmlStreamAttributes &attributes)
{
    CherryTreeNode node;
    node.name = attributes.value(QLatin1String("name")).toString();
    node.marks = cherryTreeMarks(attributes.value(QLatin1String("tags")).toString(),
                                 attributes.value(QLatin1String("readonly")) == u"1",
                                 attributes.value(QLatin1String("ts_creation")).toLongLong(),
                                 attributes.value(QLatin1String("ts_lastsave")).toLongLong());
    const QStringView language = attributes.value(QLatin1String("prog_lang"));
    node.content.plain = !language.isEmpty() && language != u"custom-colors";
    return node;
}

ImportItem cherryTreeItem(ImportItem::Kind kind, const CherryTreeNode &node)
{
    ImportItem item;
    item.kind = kind;
    item.title = node.name;
    CherryTreeNote note = convertCherryTreeNote(node.content);
    item.markup = ImportItem::Markup::Rtf;
    item.body = std::move(note.rtf);
    item.pictures = note.pictures;
    item.leftOut = node.marks + note.leftOut;
    return item;
}

QStringList cherryTreeMarks(const QString &tags, bool readOnly, qint64 created, qint64 saved)
{
    QStringList marks;
    if (!tags.trimmed().isEmpty())
        marks.append(QStringLiteral("タグ: ") + tags.trimmed());
    if (readOnly)
        marks.append(QStringLiteral("読み取り専用"));
    const auto shown = [](qint64 seconds) {
        return QDateTime::fromSecsSinceEpoch(seconds).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    };
    if (created > 0)
        marks.append(QStringLiteral("作成日時 ") + shown(created));
    if (saved > 0)
        marks.append(QStringLiteral("更新日時 ") + shown(saved));
    return marks;
}

} // namespace kobin::import
