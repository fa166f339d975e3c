#include "EvernoteReader.h"

#include "EnexData.h"

#include <QCryptographicHash>
#include <QFileInfo>
#include <QXmlStreamReader>

namespace kobin::import {

namespace {

// All the resources of one note held at once stay below this.
constexpr qint64 kMaxNoteResources = 256LL * 1024 * 1024;

struct Resource {
    QByteArray base64;
    QByteArray mime;
    QString fileName;
};

struct Note {
    QString title;
    QString content;
    QString created;
    QString updated;
    QStringList tags;
    QString sourceUrl;
    QString source;
    QString author;
    std::vector<Resource> resources;
};

// "20200131T235959Z" as "2020-01-31 23:59:59 UTC".
QString shownEnexTime(const QString &stamp)
{
    if (stamp.size() != 16 || stamp[8] != u'T')
        return stamp;
    return stamp.left(4) + u'-' + stamp.mid(4, 2) + u'-' + stamp.mid(6, 2) + u' ' + stamp.mid(9, 2) + u':'
        + stamp.mid(11, 2) + u':' + stamp.mid(13, 2) + QStringLiteral(" UTC");
}

void readAttributes(QXmlStreamReader &reader, Note &note)
{
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"source-url")
            note.sourceUrl = reader.readElementText().trimmed();
        else if (name == u"source")
            note.source = reader.readElementText().trimmed();
        else if (name == u"author")
            note.author = reader.readElementText().trimmed();
        else
            reader.skipCurrentElement();
    }
}

void readResource(QXmlStreamReader &reader, Note &note)
{
    Resource resource;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"data") {
            resource.base64 = reader.readElementText().toLatin1();
        } else if (name == u"mime") {
            resource.mime = reader.readElementText().trimmed().toLatin1().toLower();
        } else if (name == u"resource-attributes") {
            while (reader.readNextStartElement()) {
                if (reader.name() == u"file-name")
                    resource.fileName = reader.readElementText().trimmed();
                else
                    reader.skipCurrentElement();
            }
        } else {
            reader.skipCurrentElement();
        }
    }
    note.resources.push_back(std::move(resource));
}

Note readNote(QXmlStreamReader &reader)
{
    Note note;
    while (reader.readNextStartElement()) {
        const QStringView name = reader.name();
        if (name == u"title")
            note.title = reader.readElementText().trimmed();
        else if (name == u"content")
            note.content = reader.readElementText();
        else if (name == u"created")
            note.created = reader.readElementText().trimmed();
        else if (name == u"updated")
            note.updated = reader.readElementText().trimmed();
        else if (name == u"tag")
            note.tags.append(reader.readElementText().trimmed());
        else if (name == u"note-attributes")
            readAttributes(reader, note);
        else if (name == u"resource")
            readResource(reader, note);
        else
            reader.skipCurrentElement();
    }
    return note;
}

// The note's resources decoded into the item, each by the MD5 of its bytes; what cannot be had is told.
void takeResources(Note &note, ImportItem &item)
{
    qint64 held = 0;
    for (Resource &resource : note.resources) {
        const QString name = resource.fileName.isEmpty() ? QString::fromLatin1(resource.mime) : resource.fileName;
        QByteArray text = std::exchange(resource.base64, {});
        if (text == EnexData::kTooLarge) {
            item.leftOut.append(QStringLiteral("資料「%1」（%2 MB を超えます）").arg(name).arg(EvernoteReader::kMaxResourceText * 3 / 4 >> 20));
            continue;
        }
        text.replace('\n', "").replace('\r', "").replace(' ', "").replace('\t', "");
        const QByteArray::FromBase64Result decoded =
            QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded) {
            item.leftOut.append(QStringLiteral("資料「%1」（base64 が壊れています）").arg(name));
            continue;
        }
        held += decoded.decoded.size();
        if (held > kMaxNoteResources) {
            item.leftOut.append(QStringLiteral("資料「%1」（一つのノートの資料が %2 MB を超えます）").arg(name).arg(kMaxNoteResources >> 20));
            continue;
        }
        if (!resource.mime.startsWith("image/"))
            item.leftOut.append(QStringLiteral("添付ファイル「%1」").arg(name));
        const QByteArray hash = QCryptographicHash::hash(decoded.decoded, QCryptographicHash::Md5).toHex();
        item.resources.insert(hash, decoded.decoded);
        item.resourceTypes.insert(hash, resource.mime);
    }
}

ImportItem itemOf(Note &note)
{
    ImportItem item;
    item.title = note.title;
    item.markup = ImportItem::Markup::Enml;
    item.body = note.content.toUtf8();
    const bool webAddress = note.sourceUrl.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
        || note.sourceUrl.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    const bool clipped = webAddress && (note.source.isEmpty() || note.source.startsWith(QLatin1String("web.clip")));
    item.kind = clipped ? ImportItem::Kind::Page : ImportItem::Kind::Note;
    item.address = note.sourceUrl;
    QStringList heading;
    if (!note.tags.isEmpty()) {
        heading.append(QStringLiteral("タグ: ") + note.tags.join(QStringLiteral(", ")));
        item.leftOut.append(QStringLiteral("タグ（先頭の行に書きました）"));
    }
    if (!note.sourceUrl.isEmpty())
        heading.append(QStringLiteral("元のアドレス: ") + note.sourceUrl);
    item.heading = heading.join(QStringLiteral("　"));
    if (!note.created.isEmpty())
        item.leftOut.append(QStringLiteral("作成日時 ") + shownEnexTime(note.created));
    if (!note.updated.isEmpty())
        item.leftOut.append(QStringLiteral("更新日時 ") + shownEnexTime(note.updated));
    if (!note.author.isEmpty())
        item.leftOut.append(QStringLiteral("作者 ") + note.author);
    takeResources(note, item);
    return item;
}

bool readFile(const QString &path, ImportSink &sink, QString *failure)
{
    EnexData data(path, EvernoteReader::kMaxResourceText);
    if (!data.open(QIODevice::ReadOnly)) {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」を開けません。");
        return false;
    }
    QXmlStreamReader reader(&data);
    if (!reader.readNextStartElement() || reader.name() != u"en-export") {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」は Evernote の書き出したファイルではありません。");
        return false;
    }
    ImportItem notebook;
    notebook.kind = ImportItem::Kind::Folder;
    notebook.title = QFileInfo(path).completeBaseName();
    if (!sink.openFolder(notebook))
        return false;
    while (reader.readNextStartElement()) {
        if (reader.name() != u"note") {
            reader.skipCurrentElement();
            continue;
        }
        Note note = readNote(reader);
        // A note broken part way keeps what was read of it.
        if (reader.hasError() && note.title.isEmpty() && note.content.isEmpty())
            break;
        ImportItem item = itemOf(note);
        if (reader.hasError())
            item.leftOut.append(QStringLiteral("%1 行目より後").arg(reader.lineNumber()));
        if (!sink.add(item))
            return false;
        if (reader.hasError())
            break;
    }
    if (reader.hasError())
        sink.leaveOut(notebook.title, QStringLiteral("%1 行目より後（%2）").arg(reader.lineNumber()).arg(reader.errorString()));
    return sink.closeFolder();
}

} // namespace

bool EvernoteReader::read(const QStringList &files, ImportSink &sink, QString *failure)
{
    sink.expect(0);
    for (const QString &file : files) {
        if (!readFile(file, sink, failure))
            return false;
    }
    return true;
}

} // namespace kobin::import
