#include "ScrapBookXReader.h"

#include "CollectionWalk.h"
#include "SourceFolder.h"

#include <QHash>
#include <QSet>
#include <QXmlStreamReader>

namespace kobin::import {

namespace {

const QString kRoot = QStringLiteral("urn:scrapbook:root");
const QString kItemPrefix = QStringLiteral("urn:scrapbook:item");

struct Description {
    QHash<QString, QString> fields; // by the local name: id, type, title, source, comment, icon, chars
};

struct Rdf {
    QHash<QString, QStringList> sequences; // by the folder's urn
    QHash<QString, Description> descriptions;
};

// RDF's attributes by their local name, whatever prefix the file gives their namespace.
QString attribute(const QXmlStreamReader &reader, QStringView name)
{
    for (const QXmlStreamAttribute &attribute : reader.attributes()) {
        if (attribute.name() == name)
            return attribute.value().toString();
    }
    return {};
}

// Fields come as attributes (what ScrapBook X writes) or as child elements.
void readDescription(QXmlStreamReader &reader, Rdf &rdf)
{
    const QString about = attribute(reader, u"about");
    Description description;
    for (const QXmlStreamAttribute &attribute : reader.attributes())
        description.fields.insert(attribute.name().toString(), attribute.value().toString());
    while (reader.readNextStartElement())
        description.fields.insert(reader.name().toString(), reader.readElementText());
    rdf.descriptions.insert(about, std::move(description));
}

void readSequence(QXmlStreamReader &reader, Rdf &rdf)
{
    QStringList &items = rdf.sequences[attribute(reader, u"about")];
    while (reader.readNextStartElement()) {
        if (reader.name() == u"li")
            items.append(attribute(reader, u"resource"));
        reader.skipCurrentElement();
    }
}

std::optional<Rdf> readRdf(const QByteArray &bytes, QString *failure)
{
    Rdf rdf;
    QXmlStreamReader reader(bytes);
    while (!reader.atEnd()) {
        if (reader.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == u"Description")
            readDescription(reader, rdf);
        else if (reader.name() == u"Seq")
            readSequence(reader, rdf);
    }
    if (reader.hasError()) {
        *failure = QStringLiteral("scrapbook.rdf の %1 行目が読めません（%2）。").arg(reader.lineNumber()).arg(reader.errorString());
        return std::nullopt;
    }
    return rdf;
}

// ScrapBook X's id is the local time it was made: "20200131235959".
QString shownId(const QString &id)
{
    if (id.size() != 14)
        return id;
    return id.left(4) + u'-' + id.mid(4, 2) + u'-' + id.mid(6, 2) + u' ' + id.mid(8, 2) + u':' + id.mid(10, 2) + u':'
        + id.mid(12, 2);
}

class ScrapBookXWalk : public CollectionWalk
{
public:
    ScrapBookXWalk(const SourceFolder &source, Rdf rdf, ImportSink &sink)
        : CollectionWalk(sink), m_source(source), m_rdf(std::move(rdf))
    {
    }

private:
    QStringList childrenOf(const QString &folder) override { return m_rdf.sequences.value(folder); }

    Entry entryOf(const QString &urn) override
    {
        const Description description = m_rdf.descriptions.value(urn);
        Entry entry;
        if (description.fields.isEmpty()) {
            entry.item.title = urn;
            entry.refusal = QStringLiteral("説明がありません");
            return entry;
        }
        const auto field = [&](const char *name) { return description.fields.value(QLatin1String(name)); };
        ImportItem &item = entry.item;
        item.title = field("title");
        const QString type = field("type");
        const QString id = field("id").isEmpty() ? urn.mid(kItemPrefix.size()) : field("id");
        item.address = field("source");
        item.comment = QString(field("comment")).replace(QStringLiteral(" __BR__ "), QStringLiteral("\n"));
        if (!field("icon").isEmpty())
            item.leftOut.append(QStringLiteral("アイコン"));
        if (!id.isEmpty())
            item.leftOut.append(QStringLiteral("作成日時 ") + shownId(id));
        const std::optional<QString> folder = m_source.resolve(QStringLiteral("data/") + id);
        if (type == u"folder") {
            item.kind = ImportItem::Kind::Folder;
            entry.folder = urn;
        } else if (type == u"separator") {
            entry.skip = true;
        } else if (type == u"bookmark") {
            item.kind = ImportItem::Kind::Bookmark;
        } else if (type == u"note" || type == u"notex") {
            item.kind = ImportItem::Kind::Note;
            item.markup = ImportItem::Markup::Html;
            if (folder) {
                item.bodyFile = *folder + QStringLiteral("/index.html");
                item.pictureFolder = *folder + u'/';
            }
            if (!item.comment.isEmpty())
                item.heading = item.comment;
        } else if (type.isEmpty() || type == u"site" || type == u"file" || type == u"image" || type == u"combine"
                   || type == u"marked") {
            item.kind = ImportItem::Kind::Page;
            if (folder) {
                item.pageFolder = *folder + u'/';
                item.pageFile = QStringLiteral("index.html");
            }
        } else {
            entry.refusal = QStringLiteral("種類「%1」は取り込めません").arg(type);
        }
        return entry;
    }

    const SourceFolder &m_source;
    Rdf m_rdf;
};

} // namespace

bool ScrapBookXReader::read(const SourceFolder &source, ImportSink &sink, QString *failure)
{
    const std::optional<QString> path = source.resolve(QStringLiteral("scrapbook.rdf"));
    const std::optional<QByteArray> bytes = path ? source.read(*path, kMaxIndexBytes) : std::nullopt;
    if (!bytes) {
        *failure = QStringLiteral("「 ") + source.root() + QStringLiteral("scrapbook.rdf 」を読めません。");
        return false;
    }
    std::optional<Rdf> rdf = readRdf(*bytes, failure);
    if (!rdf)
        return false;
    sink.expect(static_cast<int>(rdf->descriptions.size()));
    return ScrapBookXWalk(source, std::move(*rdf), sink).run(kRoot);
}

} // namespace kobin::import
