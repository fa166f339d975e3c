#include "TreeLineNode.h"

#include "NoteDocument.h"
#include "WebAddresses.h"

#include <QRegularExpression>
#include <QTextDocumentFragment>

namespace kobin::import {

namespace {

// A field or a note longer than these is no text anyone typed: it is cut, and
// the cut is said, so that one node cannot hold up the import.
constexpr qsizetype kMaxFieldCharacters = 1 << 20;
constexpr qsizetype kMaxNoteCharacters = 4 * kMaxFieldCharacters;

// The field types whose stored value is HTML; every other type stores plain text.
bool holdsHtml(const QString &type)
{
    static const QStringList types{QStringLiteral("Text"), QStringLiteral("HtmlText"), QStringLiteral("OneLineText"),
                                   QStringLiteral("ExternalLink"), QStringLiteral("Picture")};
    return type.isEmpty() || types.contains(type);
}

// "{*Name*}": the node's own field; with a mark before the name ("{**Name*}",
// "{*&Name*}", "{*!Name*}"...) a parent's, a child's or the file's, which a
// note made of one node cannot show.
const QRegularExpression &fieldReference()
{
    static const QRegularExpression reference(QStringLiteral(R"(\{\*([*&#!?^]*)([^{}*]+)\*\})"));
    return reference;
}

QString plainTextOf(QString html)
{
    static const QRegularExpression lineBreak(QStringLiteral(R"(<br\s*/?>)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    // With the tags gone only the entities are left for the HTML reader to decode.
    return QTextDocumentFragment::fromHtml(html.replace(lineBreak, QStringLiteral(" ")).remove(tag)).toPlainText();
}

// A link keeps its address only when it is a web page or a mail address: a link
// to another node ("#uid") or a file becomes its text.
QString webLinksOnly(const QString &html)
{
    static const QRegularExpression anchor(QStringLiteral(R"(<a\b[^>]*>)"), QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression href(QStringLiteral(R"re(\bhref\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re"),
                                         QRegularExpression::CaseInsensitiveOption);
    QString out;
    qsizetype from = 0;
    for (auto it = anchor.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(html).mid(from, match.capturedStart() - from);
        const QRegularExpressionMatch address = href.match(match.captured());
        QString target;
        for (int group = 1; group <= 3 && target.isEmpty(); ++group)
            target = address.captured(group);
        target = plainTextOf(target).trimmed();
        out += isWebAddress(target) ? QStringLiteral("<a href=\"%1\">").arg(target.toHtmlEscaped()) : QStringLiteral("<a>");
        from = match.capturedEnd();
    }
    return out += QStringView(html).mid(from);
}

// Spaced text keeps every space and line break.
QString spacedHtml(const QString &text)
{
    return text.toHtmlEscaped().replace(QLatin1String("  "), QLatin1String(" &nbsp;")).replace(u'\n', QLatin1String("<br>"));
}

QString valueOf(const QJsonValue &value)
{
    return value.isString() ? value.toString() : value.toVariant().toString();
}

} // namespace

QHash<QString, TreeLineFormat> treeLineFormats(const QJsonArray &formats)
{
    QHash<QString, TreeLineFormat> byName;
    for (const QJsonValue &value : formats) {
        const QJsonObject object = value.toObject();
        TreeLineFormat format;
        for (const QJsonValue &field : object.value(QLatin1String("fields")).toArray()) {
            const QJsonObject definition = field.toObject();
            const QString name = definition.value(QLatin1String("fieldname")).toString();
            if (name.isEmpty() || format.fields.contains(name))
                continue;
            format.fieldNames.append(name);
            format.fields.insert(name, {definition.value(QLatin1String("fieldtype")).toString(QStringLiteral("Text")),
                                        definition.value(QLatin1String("prefix")).toString(),
                                        definition.value(QLatin1String("suffix")).toString()});
        }
        format.titleLine = object.value(QLatin1String("titleline")).toString();
        for (const QJsonValue &line : object.value(QLatin1String("outputlines")).toArray())
            format.outputLines.append(line.toString());
        format.outputHtml = object.value(QLatin1String("formathtml")).toBool();
        byName.insert(object.value(QLatin1String("formatname")).toString(), format);
    }
    return byName;
}

TreeLineNode::TreeLineNode(const QJsonObject &data, const TreeLineFormat *format) : m_data(data), m_format(format) {}

QString TreeLineNode::fieldHtml(const QString &name, QStringList &leftOut) const
{
    QString value = valueOf(m_data.value(name));
    if (value.size() > kMaxFieldCharacters) {
        value.truncate(kMaxFieldCharacters);
        leftOut.append(QStringLiteral("「%1」の %2 文字より後（長すぎます）").arg(name).arg(kMaxFieldCharacters));
    }
    const QString html = fieldAsHtml(name, value);
    const TreeLineFormat::Field field = m_format ? m_format->fields.value(name) : TreeLineFormat::Field();
    return html.isEmpty() ? html : field.prefix.toHtmlEscaped() + html + field.suffix.toHtmlEscaped();
}

QString TreeLineNode::fieldAsHtml(const QString &name, const QString &value) const
{
    const QString type = m_format ? m_format->fields.value(name).type : QString();
    if (type == u"InternalLink")
        return plainTextOf(value).toHtmlEscaped();
    if (type == u"SpacedText")
        return spacedHtml(value);
    return holdsHtml(type) ? webLinksOnly(value) : value.toHtmlEscaped();
}

QString TreeLineNode::titleHtml(const QString &name) const
{
    return fieldAsHtml(name, valueOf(m_data.value(name)).left(kMaxFieldCharacters));
}

QString TreeLineNode::filled(const QString &line, bool asHtml, QStringList &leftOut, bool *anyFilled) const
{
    QString out;
    qsizetype from = 0;
    for (auto it = fieldReference().globalMatch(line); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const QString literal = line.mid(from, match.capturedStart() - from);
        out += asHtml ? webLinksOnly(literal) : literal.toHtmlEscaped();
        const QString value = match.captured(1).isEmpty() ? fieldHtml(match.captured(2), leftOut) : QString();
        *anyFilled |= !value.isEmpty();
        out += value;
        from = match.capturedEnd();
    }
    const QString rest = line.mid(from);
    return out += asHtml ? webLinksOnly(rest) : rest.toHtmlEscaped();
}

QString TreeLineNode::title() const
{
    QString html;
    if (m_format) {
        qsizetype from = 0;
        for (auto it = fieldReference().globalMatch(m_format->titleLine); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            html += m_format->titleLine.mid(from, match.capturedStart() - from).toHtmlEscaped();
            if (match.captured(1).isEmpty())
                html += titleHtml(match.captured(2));
            from = match.capturedEnd();
        }
        html += m_format->titleLine.mid(from).toHtmlEscaped();
    }
    const QString title = plainTextOf(html).simplified();
    if (!title.isEmpty())
        return title;
    const QStringList names = m_format && !m_format->fieldNames.isEmpty() ? m_format->fieldNames : m_data.keys();
    return names.isEmpty() ? QString() : plainTextOf(titleHtml(names.first())).simplified();
}

ImportItem TreeLineNode::item(ImportItem::Kind kind, const Pictures &pictures) const
{
    ImportItem item;
    item.kind = kind;
    item.title = title();
    QStringList lines;
    if (m_format && !m_format->outputLines.isEmpty()) {
        for (const QString &line : m_format->outputLines) {
            bool anyFilled = false;
            const QString html = filled(line, m_format->outputHtml, item.leftOut, &anyFilled);
            if (!html.isEmpty() && (anyFilled || !line.contains(fieldReference())))
                lines.append(html);
        }
    } else {
        for (const QString &name : m_format ? m_format->fieldNames : m_data.keys()) {
            const QString value = fieldHtml(name, item.leftOut);
            if (!value.isEmpty())
                lines.append(name.toHtmlEscaped() + QStringLiteral(": ") + value);
        }
    }
    QString html;
    for (const QString &line : std::as_const(lines)) {
        if (html.size() + line.size() > kMaxNoteCharacters) {
            item.leftOut.append(QStringLiteral("出力の %1 文字より後（長すぎます）").arg(html.size()));
            break;
        }
        html += QStringLiteral("<div>") + line + QStringLiteral("</div>");
    }
    NoteConversion note = convertNote(html, ImportItem::Markup::Html, pictures);
    item.markup = ImportItem::Markup::Rtf;
    item.body = std::move(note.rtf);
    item.pictures = note.pictures;
    item.leftOut += note.leftOut;
    return item;
}

} // namespace kobin::import
