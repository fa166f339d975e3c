#include "CherryTreeFolder.h"

#include "CherryTreeNote.h"
#include "DepthOrder.h"
#include "InsertedPictures.h"
#include "SourceFolder.h"

#include <QHash>
#include <QRegularExpression>
#include <QXmlStreamReader>
#include <vector>

namespace kobin::import {

namespace {

constexpr qint64 kMaxListBytes = 4 * 1024 * 1024;
constexpr qint64 kMaxNodeBytes = 64LL * 1024 * 1024;

const QString kList = QStringLiteral("subnodes.lst");

struct FolderNode {
    QString id;
    QString folder; // relative to the source, ending in "/"
    int depth;
};

class FolderWalk
{
public:
    FolderWalk(const SourceFolder &source, ImportSink &sink) : m_source(source), m_sink(sink) {}

    // The nodes in the tree's order, each once.
    void scan();
    bool walk();
    int nodes() const { return static_cast<int>(m_entries.size()); }

private:
    QStringList idsIn(const QString &folder);
    CherryTreeNode nodeIn(const QString &folder, qint64 *master);

    const SourceFolder &m_source;
    ImportSink &m_sink;
    std::vector<FolderNode> m_entries;
    QHash<QString, QString> m_folders; // by id
};

QStringList FolderWalk::idsIn(const QString &folder)
{
    static const QRegularExpression number(QStringLiteral("^[0-9]{1,18}$"));
    const std::optional<QString> path = m_source.resolve(folder + kList);
    const std::optional<QByteArray> bytes = path ? m_source.read(*path, kMaxListBytes) : std::nullopt;
    QStringList ids;
    for (const QString &part : QString::fromUtf8(bytes.value_or(QByteArray())).split(u',', Qt::SkipEmptyParts)) {
        const QString id = part.trimmed();
        if (id.contains(number))
            ids.append(id);
        else
            m_sink.leaveOut(folder + kList, QStringLiteral("「%1」（ノードの番号ではありません）").arg(id.left(100)));
    }
    return ids;
}

void FolderWalk::scan()
{
    struct Level {
        QString folder;
        QStringList ids;
        qsizetype next;
    };
    std::vector<Level> levels{{QString(), idsIn(QString()), 0}};
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.ids.size()) {
            levels.pop_back();
            continue;
        }
        const QString id = level.ids[level.next++];
        const QString folder = level.folder + id + u'/';
        if (m_folders.contains(id)) {
            m_sink.leaveOut(QStringLiteral("ノード %1").arg(id), QStringLiteral("二度目に出てきたため（親子の輪）"));
            continue;
        }
        if (!m_source.resolve(folder + QStringLiteral("node.xml"))) {
            m_sink.leaveOut(folder, QStringLiteral("node.xml がないか、フォルダの外を指しています"));
            continue;
        }
        m_folders.insert(id, folder);
        m_entries.push_back({id, folder, static_cast<int>(levels.size()) - 1});
        levels.push_back({folder, idsIn(folder), 0});
    }
}

CherryTreeNode FolderWalk::nodeIn(const QString &folder, qint64 *master)
{
    CherryTreeNode node;
    const std::optional<QString> path = m_source.resolve(folder + QStringLiteral("node.xml"));
    const std::optional<QByteArray> bytes = path ? m_source.read(*path, kMaxNodeBytes) : std::nullopt;
    if (!bytes) {
        node.marks.append(QStringLiteral("本文（%1node.xml を読めません）").arg(folder));
        return node;
    }
    QXmlStreamReader reader(*bytes);
    while (reader.readNextStartElement()) {
        if (reader.name() == u"cherrytree")
            continue;
        if (reader.name() != u"node") {
            reader.skipCurrentElement();
            continue;
        }
        node = cherryTreeNode(reader.attributes());
        *master = reader.attributes().value(QLatin1String("master_id")).toLongLong();
        while (reader.readNextStartElement()) {
            if (!node.content.readElement(reader))
                reader.skipCurrentElement();
        }
        break;
    }
    if (reader.hasError())
        node.marks.append(QStringLiteral("%1node.xml の %2 行目より後（%3）").arg(folder).arg(reader.lineNumber()).arg(reader.errorString()));
    // Pictures lie beside node.xml.
    for (CherryTreeContent::Object &object : node.content.objects) {
        if (object.file.isEmpty())
            continue;
        const std::optional<QString> picture = m_source.resolve(folder + object.file);
        object.bytes = picture ? m_source.read(*picture, rtf::kMaxInsertedPictureBytes).value_or(QByteArray()) : QByteArray();
    }
    return node;
}

bool FolderWalk::walk()
{
    DepthOrder order(m_sink);
    for (size_t i = 0; i < m_entries.size(); ++i) {
        const FolderNode &entry = m_entries[i];
        qint64 master = 0;
        CherryTreeNode node = nodeIn(entry.folder, &master);
        if (master > 0) {
            const QString masterFolder = m_folders.value(QString::number(master));
            qint64 ignored = 0;
            node = masterFolder.isEmpty() ? CherryTreeNode{} : nodeIn(masterFolder, &ignored);
            node.marks.prepend(QStringLiteral("「%1」の複製（内容を写しました）").arg(node.name));
        }
        const bool folder = i + 1 < m_entries.size() && m_entries[i + 1].depth > entry.depth;
        ImportItem item = cherryTreeItem(folder ? ImportItem::Kind::Folder : ImportItem::Kind::Note, node);
        if (!order.put(item, entry.depth))
            return false;
    }
    return order.finish();
}

} // namespace

bool CherryTreeFolder::holdsDocument(const SourceFolder &source)
{
    return source.resolve(kList).has_value();
}

bool CherryTreeFolder::read(const SourceFolder &source, ImportSink &sink, QString *failure)
{
    FolderWalk walk(source, sink);
    walk.scan();
    if (walk.nodes() == 0) {
        *failure = QStringLiteral("「 ") + source.root() + QStringLiteral(" 」の subnodes.lst にはノードがありません。");
        return false;
    }
    sink.expect(walk.nodes());
    return walk.walk();
}

} // namespace kobin::import
