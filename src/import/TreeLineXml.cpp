#include "TreeLineXml.h"

#include <QHash>
#include <QJsonArray>
#include <QSet>
#include <QXmlStreamReader>
#include <vector>

namespace kobin::import {

namespace {

struct XmlFormat {
    QJsonObject format;
    QJsonArray fields;
    QSet<QString> fieldNames;
};

QJsonObject formatOf(const QString &name, const QXmlStreamAttributes &attributes)
{
    QJsonObject format{{QStringLiteral("formatname"), name}};
    format.insert(QStringLiteral("titleline"), attributes.value(QLatin1String("line0")).toString());
    QJsonArray outputLines;
    for (int line = 1; attributes.hasAttribute(QStringLiteral("line%1").arg(line)); ++line)
        outputLines.append(attributes.value(QStringLiteral("line%1").arg(line)).toString());
    format.insert(QStringLiteral("outputlines"), outputLines);
    format.insert(QStringLiteral("formathtml"), attributes.value(QLatin1String("formathtml")).startsWith(u'y'));
    return format;
}

struct OpenTreeLineNode {
    QString format;
    QJsonObject node; // empty when the element is a type's definition alone (item="n")
    QJsonObject data;
    QJsonArray children;
};

} // namespace

std::optional<QJsonObject> treeLineFromXml(const QByteArray &xml, QString *why)
{
    QXmlStreamReader reader(xml);
    QHash<QString, XmlFormat> formats;
    QStringList formatOrder;
    QJsonArray nodes;
    std::vector<OpenTreeLineNode> open; // from the top
    QString top;
    int nextUid = 0;
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement()) {
            const QString tag = reader.name().toString();
            const QXmlStreamAttributes attributes = reader.attributes();
            const QStringView item = attributes.value(QLatin1String("item"));
            if (!item.isEmpty()) {
                if (!formats.contains(tag)) {
                    formats.insert(tag, {formatOf(tag, attributes), {}, {}});
                    formatOrder.append(tag);
                }
                OpenTreeLineNode node{tag, {}, {}, {}};
                if (item == u"y") {
                    const QString uid = QString::number(++nextUid);
                    node.node = {{QStringLiteral("uid"), uid}, {QStringLiteral("format"), tag}};
                    if (!open.empty() && !open.back().node.isEmpty())
                        open.back().children.append(uid);
                    else if (top.isEmpty())
                        top = uid;
                }
                open.push_back(std::move(node));
                continue;
            }
            if (open.empty()) {
                *why = QStringLiteral("一番上が項目ではありません");
                return std::nullopt;
            }
            // A field of the node open, its type told by its first element.
            XmlFormat &format = formats[open.back().format];
            if (!format.fieldNames.contains(tag)) {
                format.fieldNames.insert(tag);
                format.fields.append(QJsonObject{{QStringLiteral("fieldname"), tag},
                                                 {QStringLiteral("fieldtype"), attributes.value(QLatin1String("type")).toString()}});
            }
            const QString text = reader.readElementText(QXmlStreamReader::IncludeChildElements);
            if (!open.back().node.isEmpty() && !text.isEmpty())
                open.back().data.insert(tag, text);
        } else if (reader.isEndElement() && !open.empty()) {
            OpenTreeLineNode node = std::move(open.back());
            open.pop_back();
            if (node.node.isEmpty())
                continue;
            node.node.insert(QStringLiteral("data"), node.data);
            node.node.insert(QStringLiteral("children"), node.children);
            nodes.append(node.node);
        }
    }
    if (reader.hasError() || top.isEmpty()) {
        *why = reader.hasError() ? QStringLiteral("%1 行目: %2").arg(reader.lineNumber()).arg(reader.errorString())
                                 : QStringLiteral("項目がありません");
        return std::nullopt;
    }
    QJsonArray formatArray;
    for (const QString &name : std::as_const(formatOrder)) {
        QJsonObject format = formats.value(name).format;
        format.insert(QStringLiteral("fields"), formats.value(name).fields);
        formatArray.append(format);
    }
    return QJsonObject{{QStringLiteral("formats"), formatArray},
                       {QStringLiteral("nodes"), nodes},
                       {QStringLiteral("properties"), QJsonObject{{QStringLiteral("topnodes"), QJsonArray{top}}}}};
}

} // namespace kobin::import
