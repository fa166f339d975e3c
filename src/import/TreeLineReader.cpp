#include "TreeLineReader.h"

#include "ArchiveReader.h"
#include "ImportReport.h"
#include "InsertedPictures.h"
#include "SourceFolder.h"
#include "TreeLineNode.h"
#include "TreeLineXml.h"

#include <QFile>
#include <QJsonDocument>
#include <QSet>
#include <algorithm>
#include <archive.h>
#include <vector>

namespace kobin::import {

namespace {

// A document larger than this, as stored or once expanded, is no outline anyone
// keeps: a gzip bomb stops here.
constexpr qint64 kMaxDocumentBytes = 32LL * 1024 * 1024;
// A node under two parents on every level doubles the tree with each level when
// copied whole: copies past as many as the document has nodes, and at least
// this many, are left out.
constexpr int kMinCopies = 1000;

std::optional<QByteArray> gunzipped(const QByteArray &gzip, QString *why)
{
    const ArchiveReader reader(archive_read_new());
    archive_read_support_filter_gzip(reader.get());
    archive_read_support_format_raw(reader.get());
    const auto failed = [&reader, why]() -> std::optional<QByteArray> {
        const char *error = archive_error_string(reader.get());
        *why = error ? QString::fromUtf8(error) : QStringLiteral("途中で終わっています");
        return std::nullopt;
    };
    archive_entry *entry = nullptr;
    if (archive_read_open_memory(reader.get(), gzip.constData(), static_cast<size_t>(gzip.size())) != ARCHIVE_OK
        || archive_read_next_header(reader.get(), &entry) != ARCHIVE_OK)
        return failed();
    QByteArray expanded;
    QByteArray block(1 << 16, '\0');
    for (;;) {
        const la_ssize_t read = archive_read_data(reader.get(), block.data(), static_cast<size_t>(block.size()));
        if (read < 0)
            return failed();
        if (read == 0)
            return expanded;
        if (expanded.size() + read > kMaxDocumentBytes) {
            *why = QStringLiteral("展開すると %1 MB を超えます").arg(kMaxDocumentBytes >> 20);
            return std::nullopt;
        }
        expanded.append(block.constData(), read);
    }
}

std::optional<QJsonObject> loadDocument(const QString &path, QString *failure)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = quotedPath(path) + QStringLiteral("を開けません。");
        return std::nullopt;
    }
    QByteArray bytes = file.read(kMaxDocumentBytes + 1);
    if (bytes.size() > kMaxDocumentBytes) {
        *failure = quotedPath(path) + QStringLiteral("は大きすぎます（%1 MB まで）。").arg(kMaxDocumentBytes >> 20);
        return std::nullopt;
    }
    if (bytes.startsWith("\x1f\x8b")) {
        QString why;
        std::optional<QByteArray> expanded = gunzipped(bytes, &why);
        if (!expanded) {
            *failure = quotedPath(path) + QStringLiteral("の圧縮が壊れています（%1）。").arg(why);
            return std::nullopt;
        }
        bytes = std::move(*expanded);
    }
    if (path.endsWith(QLatin1String(".trl"), Qt::CaseInsensitive)) {
        QString why;
        std::optional<QJsonObject> document = treeLineFromXml(bytes, &why);
        if (!document)
            *failure = quotedPath(path) + QStringLiteral("は TreeLine の文書として読めません（%1）。").arg(why);
        return document;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.object().value(QLatin1String("nodes")).isArray()) {
        *failure = quotedPath(path) + QStringLiteral("は TreeLine の文書として読めません（%1）。")
                                      .arg(error.error != QJsonParseError::NoError
                                               ? QStringLiteral("%1 バイト目: %2").arg(error.offset).arg(error.errorString())
                                               : QStringLiteral("nodes がありません"));
        return std::nullopt;
    }
    return document.object();
}

QStringList uidsOf(const QJsonValue &array)
{
    QStringList uids;
    for (const QJsonValue &uid : array.toArray())
        uids.append(uid.toString());
    return uids;
}

// The nodes in the order they become items, planned before any is made so that
// the progress knows their number and no loop is followed.
class NodeWalk
{
public:
    NodeWalk(const QJsonObject &document, const SourceFolder &source, ImportSink &sink);
    int items() const { return m_items; }
    bool walk() const;

private:
    struct Step {
        enum class Kind { Open, Add, Close };
        QString uid;
        Kind kind = Kind::Add;
        int parents = 0; // when placed the first time under several parents; else 0
    };
    struct Frame {
        QString uid;
        QStringList children;
        qsizetype next = 0;
    };

    void plan(const QStringList &topNodes);
    void place(const QString &uid, std::vector<Frame> &path, QSet<QString> &onPath);
    TreeLineNode nodeOf(const QString &uid) const;

    const SourceFolder &m_source;
    ImportSink &m_sink;
    QHash<QString, TreeLineFormat> m_formats;
    QHash<QString, QJsonObject> m_nodes;
    QHash<QString, int> m_parents;
    QSet<QString> m_placed;
    std::vector<Step> m_steps;
    int m_items = 0;
    int m_copies = 0;
};

NodeWalk::NodeWalk(const QJsonObject &document, const SourceFolder &source, ImportSink &sink)
    : m_source(source), m_sink(sink), m_formats(treeLineFormats(document.value(QLatin1String("formats")).toArray()))
{
    QStringList inOrder;
    for (const QJsonValue &value : document.value(QLatin1String("nodes")).toArray()) {
        const QJsonObject node = value.toObject();
        const QString uid = node.value(QLatin1String("uid")).toString();
        if (uid.isEmpty() || m_nodes.contains(uid))
            continue;
        m_nodes.insert(uid, node);
        inOrder.append(uid);
        const QStringList children = uidsOf(node.value(QLatin1String("children")));
        for (const QString &child : QSet<QString>(children.cbegin(), children.cend()))
            ++m_parents[child];
    }
    const QJsonValue topNodes = document.value(QLatin1String("properties")).toObject().value(QLatin1String("topnodes"));
    if (topNodes.isArray()) {
        plan(uidsOf(topNodes));
        return;
    }
    // A document that does not name its top nodes: those no node holds.
    inOrder.removeIf([this](const QString &uid) { return m_parents.contains(uid); });
    plan(inOrder);
}

TreeLineNode NodeWalk::nodeOf(const QString &uid) const
{
    const QJsonObject node = m_nodes.value(uid);
    const auto format = m_formats.constFind(node.value(QLatin1String("format")).toString());
    return TreeLineNode(node.value(QLatin1String("data")).toObject(), format == m_formats.cend() ? nullptr : &*format);
}

void NodeWalk::place(const QString &uid, std::vector<Frame> &path, QSet<QString> &onPath)
{
    if (!m_nodes.contains(uid)) {
        m_sink.leaveOut(uid.left(100), QStringLiteral("文書にない項目を指しています"));
        return;
    }
    if (onPath.contains(uid)) {
        m_sink.leaveOut(nodeOf(uid).title(), QStringLiteral("二度目に出てきたため（親子の輪）"));
        return;
    }
    const bool copy = m_placed.contains(uid);
    const int maxCopies = std::max(kMinCopies, static_cast<int>(m_nodes.size()));
    if (copy && ++m_copies > maxCopies) {
        m_sink.leaveOut(nodeOf(uid).title(), QStringLiteral("写しが %1 個を超えたため").arg(maxCopies));
        return;
    }
    m_placed.insert(uid);
    ++m_items;
    const int parents = copy ? 0 : m_parents.value(uid);
    QStringList children = uidsOf(m_nodes.value(uid).value(QLatin1String("children")));
    if (children.isEmpty()) {
        m_steps.push_back({uid, Step::Kind::Add, parents > 1 ? parents : 0});
        return;
    }
    m_steps.push_back({uid, Step::Kind::Open, parents > 1 ? parents : 0});
    onPath.insert(uid);
    path.push_back({uid, std::move(children)});
}

void NodeWalk::plan(const QStringList &topNodes)
{
    std::vector<Frame> path; // from the top
    QSet<QString> onPath;
    for (const QString &top : topNodes) {
        place(top, path, onPath);
        while (!path.empty()) {
            Frame &frame = path.back();
            if (frame.next == frame.children.size()) {
                m_steps.push_back({frame.uid, Step::Kind::Close});
                onPath.remove(frame.uid);
                path.pop_back();
                continue;
            }
            const QString child = frame.children.at(frame.next++);
            place(child, path, onPath);
        }
    }
}

bool NodeWalk::walk() const
{
    const TreeLineNode::Pictures pictures = [this](const QString &address) -> std::optional<QByteArray> {
        const std::optional<QString> path = m_source.resolve(address);
        return path ? m_source.read(*path, rtf::kMaxInsertedPictureBytes) : std::nullopt;
    };
    for (const Step &step : m_steps) {
        if (step.kind == Step::Kind::Close) {
            if (!m_sink.closeFolder())
                return false;
            continue;
        }
        const bool folder = step.kind == Step::Kind::Open;
        ImportItem item = nodeOf(step.uid).item(folder ? ImportItem::Kind::Folder : ImportItem::Kind::Note, pictures);
        if (step.parents > 0)
            item.leftOut.prepend(QStringLiteral("%1 個の親の下にあるため、それぞれに写しました").arg(step.parents));
        if (!(folder ? m_sink.openFolder(item) : m_sink.add(item)))
            return false;
    }
    return true;
}

} // namespace

bool TreeLineReader::isDocument(const QString &path)
{
    return path.endsWith(QLatin1String(".trln"), Qt::CaseInsensitive) || path.endsWith(QLatin1String(".trl"), Qt::CaseInsensitive);
}

bool TreeLineReader::read(const QString &file, const SourceFolder &folder, ImportSink &sink, QString *failure)
{
    const std::optional<QJsonObject> document = loadDocument(file, failure);
    if (!document)
        return false;
    const NodeWalk walk(*document, folder, sink);
    if (walk.items() == 0) {
        *failure = quotedPath(file) + QStringLiteral("には項目がありません。");
        return false;
    }
    sink.expect(walk.items());
    return walk.walk();
}

} // namespace kobin::import
