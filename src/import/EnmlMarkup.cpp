#include "EnmlMarkup.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

namespace kobin::import {

namespace {

const QString kEncrypted = QStringLiteral("［暗号化された部分］");

// An element of ENML's own, written as HTML; false for any other element.
bool writeOwnElement(QXmlStreamReader &reader, QXmlStreamWriter &writer, const MediaAddress &media, EnmlHtml &out)
{
    const QStringView name = reader.name();
    const QXmlStreamAttributes attributes = reader.attributes();
    if (name == u"en-note") {
        writer.writeStartElement(QStringLiteral("div"));
        return true;
    }
    if (name == u"en-todo") {
        const bool checked = attributes.value(QStringLiteral("checked")) == u"true";
        writer.writeStartElement(QStringLiteral("span"));
        writer.writeCharacters(checked ? QStringLiteral("☑") : QStringLiteral("☐"));
        return true;
    }
    if (name == u"en-crypt") {
        reader.skipCurrentElement();
        writer.writeStartElement(QStringLiteral("span"));
        writer.writeCharacters(kEncrypted);
        out.leftOut.append(QStringLiteral("暗号化された部分"));
        return true;
    }
    if (name == u"en-media") {
        const QByteArray hash = attributes.value(QStringLiteral("hash")).toLatin1().toLower();
        const QByteArray type = attributes.value(QStringLiteral("type")).toLatin1().toLower();
        const QString address = type.startsWith("image/") ? media(hash, type) : QString();
        if (address.isEmpty()) {
            out.leftOut.append(QStringLiteral("添付ファイル（") + QString::fromLatin1(type) + QStringLiteral("）"));
            writer.writeStartElement(QStringLiteral("span"));
        } else {
            writer.writeStartElement(QStringLiteral("img"));
            writer.writeAttribute(QStringLiteral("src"), address);
        }
        return true;
    }
    return false;
}

// Malformed ENML read as HTML, which Qt's HTML reader takes as it comes: ENML's own elements go.
EnmlHtml asHtml(const QString &enml)
{
    static const QRegularExpression crypt(QStringLiteral("<en-crypt\\b.*?</en-crypt>"),
                                          QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression own(QStringLiteral("</?en-[^>]*>"));
    EnmlHtml out;
    out.html = QString(enml).replace(crypt, kEncrypted).remove(own);
    out.leftOut.append(QStringLiteral("ENML が壊れているため、書式の一部"));
    return out;
}

} // namespace

EnmlHtml htmlFromEnml(const QString &enml, const MediaAddress &media)
{
    EnmlHtml out;
    QXmlStreamWriter writer(&out.html);
    writer.writeStartElement(QStringLiteral("html"));
    writer.writeStartElement(QStringLiteral("body"));
    QXmlStreamReader reader(enml);
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement:
            if (!writeOwnElement(reader, writer, media, out)) {
                writer.writeStartElement(reader.name().toString());
                for (const QXmlStreamAttribute &attribute : reader.attributes())
                    writer.writeAttribute(attribute.name().toString(), attribute.value().toString());
            }
            // A skipped element (en-crypt) has been read to its end.
            if (reader.isEndElement())
                writer.writeEndElement();
            break;
        case QXmlStreamReader::EndElement:
            writer.writeEndElement();
            break;
        case QXmlStreamReader::Characters:
            writer.writeCharacters(reader.text().toString());
            break;
        case QXmlStreamReader::EntityReference:
            // ENML's DTD declares HTML's entities; Qt's HTML reader knows them.
            writer.writeEntityReference(reader.name().toString());
            break;
        default:
            break;
        }
    }
    if (reader.hasError())
        return asHtml(enml);
    writer.writeEndDocument();
    return out;
}

} // namespace kobin::import
