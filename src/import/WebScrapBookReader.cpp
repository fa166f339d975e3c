#include "WebScrapBookReader.h"

#include "CollectionWalk.h"
#include "SourceFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace kobin::import {

namespace {

// The folder of the tree files, relative to the collection: "tree" or ".wsb/tree".
std::optional<QString> treeFolder(const SourceFolder &source)
{
    for (const QString &folder : {QStringLiteral("tree"), QStringLiteral(".wsb/tree")}) {
        if (source.resolve(folder + QStringLiteral("/meta.js")) || source.resolve(folder + QStringLiteral("/toc.js")))
            return folder;
    }
    return std::nullopt;
}

// The data folder the items' index names are relative to, ending in "/": the
// collection's own setting, else "data/" beside "tree/", else the collection itself.
QString dataFolder(const SourceFolder &source, const QString &tree)
{
    if (const std::optional<QString> config = source.resolve(QStringLiteral(".wsb/config.ini"))) {
        const QByteArray text = source.read(*config, 1 << 20).value_or(QByteArray());
        for (const QByteArray &line : text.split('\n')) {
            const QByteArray trimmed = line.trimmed();
            if (!trimmed.startsWith("data_dir"))
                continue;
            const QString value = QString::fromUtf8(trimmed.mid(trimmed.indexOf('=') + 1).trimmed());
            if (value.isEmpty())
                return source.root();
            if (const std::optional<QString> folder = source.resolve(value))
                return *folder + u'/';
        }
    }
    if (tree == u"tree") {
        if (const std::optional<QString> folder = source.resolve(QStringLiteral("data")))
            return *folder + u'/';
    }
    return source.root();
}

// meta.js, meta1.js, meta2.js … merged, later files over earlier ones.
std::optional<QJsonObject> readTreeFiles(const SourceFolder &source, const QString &tree, const QString &kind,
                                         QString *failure)
{
    QJsonObject merged;
    for (int number = 0;; ++number) {
        const QString name = tree + u'/' + kind + (number ? QString::number(number) : QString()) + QStringLiteral(".js");
        const std::optional<QString> path = source.resolve(name);
        if (!path)
            return merged;
        const std::optional<QByteArray> bytes = source.read(*path, WebScrapBookReader::kMaxIndexBytes);
        const qsizetype open = bytes ? bytes->indexOf('(') : -1;
        const qsizetype close = bytes ? bytes->lastIndexOf(')') : -1;
        QJsonParseError error;
        const QJsonDocument document =
            open >= 0 && close > open ? QJsonDocument::fromJson(bytes->mid(open + 1, close - open - 1), &error) : QJsonDocument();
        if (!document.isObject()) {
            *failure = QStringLiteral("「 ") + source.root() + name + QStringLiteral(" 」を読めません。");
            return std::nullopt;
        }
        const QJsonObject object = document.object();
        for (auto it = object.begin(); it != object.end(); ++it)
            merged.insert(it.key(), it.value());
    }
}

class WebScrapBookWalk : public CollectionWalk
{
public:
    WebScrapBookWalk(const SourceFolder &source, QString data, QJsonObject meta, QJsonObject toc, ImportSink &sink)
        : CollectionWalk(sink), m_source(source), m_data(std::move(data)), m_meta(std::move(meta)), m_toc(std::move(toc))
    {
    }

private:
    QStringList childrenOf(const QString &folder) override
    {
        QStringList ids;
        for (const QJsonValue &id : m_toc.value(folder).toArray())
            ids.append(id.toString());
        return ids;
    }

    Entry entryOf(const QString &id) override
    {
        const QJsonObject meta = m_meta.value(id).toObject();
        Entry entry;
        ImportItem &item = entry.item;
        item.title = meta.value(QLatin1String("title")).toString();
        if (meta.isEmpty()) {
            entry.refusal = QStringLiteral("説明がありません");
            return entry;
        }
        const QString type = meta.value(QLatin1String("type")).toString();
        item.address = meta.value(QLatin1String("source")).toString();
        item.comment = meta.value(QLatin1String("comment")).toString();
        if (!meta.value(QLatin1String("icon")).toString().isEmpty())
            item.leftOut.append(QStringLiteral("アイコン"));
        const QString create = meta.value(QLatin1String("create")).toString();
        if (create.size() >= 14)
            item.leftOut.append(QStringLiteral("作成日時 %1-%2-%3 %4:%5:%6 UTC")
                                    .arg(create.left(4), create.mid(4, 2), create.mid(6, 2), create.mid(8, 2),
                                         create.mid(10, 2), create.mid(12, 2)));
        const QString index = meta.value(QLatin1String("index")).toString();
        const QString name = relativeName(index);
        const std::optional<QString> path = name.isEmpty() ? std::nullopt : resolve(name);
        if (type == u"folder") {
            item.kind = ImportItem::Kind::Folder;
            entry.folder = id;
        } else if (type == u"separator") {
            entry.skip = true;
        } else if (type == u"bookmark") {
            item.kind = ImportItem::Kind::Bookmark;
        } else if (type == u"note" || type == u"postit") {
            takeNote(item, path);
        } else if (type.isEmpty() || type == u"site" || type == u"file" || type == u"image" || type == u"combine") {
            takePage(item, name, path);
        } else {
            entry.refusal = QStringLiteral("種類「%1」は取り込めません").arg(type);
        }
        if (!index.isEmpty() && !path && entry.refusal.isEmpty() && !entry.skip
            && item.kind != ImportItem::Kind::Bookmark && item.kind != ImportItem::Kind::Folder)
            entry.refusal = QStringLiteral("「%1」がないか、コレクションの外を指しています").arg(index);
        return entry;
    }

    std::optional<QString> resolve(const QString &name) const
    {
        const std::optional<QString> path = SourceFolder(m_data).resolve(name);
        return path && m_source.contains(*path) ? path : std::nullopt;
    }

    static void takeNote(ImportItem &item, const std::optional<QString> &path)
    {
        item.kind = ImportItem::Kind::Note;
        item.markup = ImportItem::Markup::Html;
        if (!path)
            return;
        item.bodyFile = *path;
        item.pictureFolder = path->left(path->lastIndexOf(u'/') + 1);
        // A Markdown note keeps its text beside the page that shows it.
        const QString markdown = item.pictureFolder + QStringLiteral("index.md");
        if (path->endsWith(QLatin1String("/index.html")) && QFileInfo(markdown).isFile()) {
            item.bodyFile = markdown;
            item.markup = ImportItem::Markup::Markdown;
        }
        if (!item.comment.isEmpty())
            item.heading = std::exchange(item.comment, {});
    }

    static void takePage(ImportItem &item, const QString &name, const std::optional<QString> &path)
    {
        item.kind = ImportItem::Kind::Page;
        if (!path)
            return;
        const QString lower = name.toLower();
        if (lower.endsWith(QLatin1String(".htz")) || lower.endsWith(QLatin1String(".maff"))) {
            item.pageArchive = *path;
        } else if (name.contains(u'/')) {
            // A page in a folder of its own, with its files.
            item.pageFolder = path->left(path->lastIndexOf(u'/') + 1);
            item.pageFile = path->mid(item.pageFolder.size());
        } else {
            // A single file beside the other items' files: only it is taken.
            item.pageFolder = path->left(path->lastIndexOf(u'/') + 1);
            item.pageFile = path->mid(item.pageFolder.size());
            item.pageFileOnly = true;
        }
    }

    const SourceFolder &m_source;
    QString m_data;
    QJsonObject m_meta;
    QJsonObject m_toc;
};

} // namespace

bool WebScrapBookReader::holdsCollection(const SourceFolder &source)
{
    return treeFolder(source).has_value();
}

bool WebScrapBookReader::read(const SourceFolder &source, ImportSink &sink, QString *failure)
{
    const std::optional<QString> tree = treeFolder(source);
    if (!tree) {
        *failure = QStringLiteral("「 ") + source.root() + QStringLiteral(" 」に tree/meta.js がありません。");
        return false;
    }
    std::optional<QJsonObject> meta = readTreeFiles(source, *tree, QStringLiteral("meta"), failure);
    std::optional<QJsonObject> toc = meta ? readTreeFiles(source, *tree, QStringLiteral("toc"), failure) : std::nullopt;
    if (!toc)
        return false;
    sink.expect(static_cast<int>(meta->size()));
    return WebScrapBookWalk(source, dataFolder(source, *tree), std::move(*meta), std::move(*toc), sink).run(QStringLiteral("root"));
}

} // namespace kobin::import
