#include "CherryTreeDatabase.h"

#include "CherryTreeNote.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <QXmlStreamReader>
#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include <vector>

namespace kobin::import {

namespace {

struct Closer {
    void operator()(sqlite3 *db) const { sqlite3_close(db); }
    void operator()(sqlite3_stmt *statement) const { sqlite3_finalize(statement); }
};
using Database = std::unique_ptr<sqlite3, Closer>;

// One query; a failed step counts as the end of its rows and is remembered.
class Query
{
public:
    Query(sqlite3 *db, const char *sql)
    {
        sqlite3_stmt *statement = nullptr;
        m_failed = sqlite3_prepare_v2(db, sql, -1, &statement, nullptr) != SQLITE_OK;
        m_statement.reset(statement);
    }
    bool prepared() const { return !m_failed; }
    bool failed() const { return m_failed; }
    Query &bind(qint64 value)
    {
        if (m_statement) {
            sqlite3_reset(m_statement.get());
            sqlite3_bind_int64(m_statement.get(), 1, value);
        }
        return *this;
    }
    bool next()
    {
        if (!m_statement)
            return false;
        const int result = sqlite3_step(m_statement.get());
        m_failed = m_failed || (result != SQLITE_ROW && result != SQLITE_DONE);
        return result == SQLITE_ROW;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(m_statement.get(), column); }
    QString text(int column) const
    {
        const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(m_statement.get(), column));
        return QString::fromUtf8(bytes, sqlite3_column_bytes(m_statement.get(), column));
    }
    QByteArray blob(int column) const
    {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement.get(), column));
        return QByteArray(bytes, sqlite3_column_bytes(m_statement.get(), column));
    }

private:
    std::unique_ptr<sqlite3_stmt, Closer> m_statement;
    bool m_failed = false;
};

struct Child {
    qint64 sequence;
    qint64 node;
    qint64 master; // the node whose content a clone shows; 0 for none
};

class DatabaseWalk
{
public:
    DatabaseWalk(sqlite3 *db, ImportSink &sink)
        : m_db(db), m_sink(sink),
          m_node(db, "SELECT name, txt, syntax, tags, is_ro, is_richtxt, has_codebox, has_table, has_image, "
                     "ts_creation, ts_lastsave FROM node WHERE node_id=?"),
          m_images(db, "SELECT offset, anchor, png, filename, link FROM image WHERE node_id=?"),
          m_tables(db, "SELECT offset, txt FROM grid WHERE node_id=?"),
          m_codeBoxes(db, "SELECT offset, txt FROM codebox WHERE node_id=?")
    {
    }

    // False when the children table cannot be read.
    bool readChildren();
    // False when the sink stopped the walk.
    bool walk();
    // A query that could not be made (a table missing) or a step that failed.
    bool damaged() const { return m_node.failed() || m_images.failed() || m_tables.failed() || m_codeBoxes.failed(); }
    int nodes() const { return m_childCount; }

private:
    bool hand(const Child &child, bool folder);
    CherryTreeContent contentOf(qint64 node, QString *name, QStringList *marks);

    sqlite3 *m_db;
    ImportSink &m_sink;
    Query m_node;
    Query m_images;
    Query m_tables;
    Query m_codeBoxes;
    QHash<qint64, std::vector<Child>> m_children; // by parent, in order
    int m_childCount = 0;
};

bool DatabaseWalk::readChildren()
{
    // Older documents have no clones, and no master_id column.
    Query children(m_db, "SELECT node_id, father_id, sequence, master_id FROM children");
    if (!children.prepared())
        children = Query(m_db, "SELECT node_id, father_id, sequence, 0 FROM children");
    while (children.next()) {
        m_children[children.integer(1)].push_back({children.integer(2), children.integer(0), children.integer(3)});
        ++m_childCount;
    }
    for (std::vector<Child> &list : m_children)
        std::stable_sort(list.begin(), list.end(), [](const Child &a, const Child &b) { return a.sequence < b.sequence; });
    return children.prepared() && !children.failed();
}

CherryTreeContent DatabaseWalk::contentOf(qint64 node, QString *name, QStringList *marks)
{
    CherryTreeContent content;
    if (!m_node.bind(node).next()) {
        *name = QStringLiteral("ノード %1").arg(node);
        marks->append(QStringLiteral("本文（データベースにありません）"));
        return content;
    }
    *name = m_node.text(0);
    const qint64 readOnly = m_node.integer(4);
    const qint64 rich = m_node.integer(5);
    *marks += cherryTreeMarks(m_node.text(3), readOnly & 1, m_node.integer(9), m_node.integer(10));
    const bool codeBoxes = m_node.integer(6) != 0, tables = m_node.integer(7) != 0, images = m_node.integer(8) != 0;
    const QString text = m_node.text(1);
    if (!(rich & 1)) {
        content.plain = true;
        content.runs.push_back({text, {}});
        return content;
    }
    QXmlStreamReader reader(text);
    if (reader.readNextStartElement()) {
        while (reader.readNextStartElement()) {
            if (!content.readElement(reader))
                reader.skipCurrentElement();
        }
    }
    if (reader.hasError())
        marks->append(QStringLiteral("本文の %1 行目より後（%2）").arg(reader.lineNumber()).arg(reader.errorString()));
    using Kind = CherryTreeContent::Object::Kind;
    for (m_images.bind(node); images && m_images.next();) {
        CherryTreeContent::Object object;
        object.offset = m_images.integer(0);
        object.kind = !m_images.text(1).isEmpty() ? Kind::Anchor : !m_images.text(3).isEmpty() ? Kind::File : Kind::Picture;
        object.text = m_images.text(3);
        if (object.kind == Kind::Picture)
            object.bytes = m_images.blob(2);
        object.link = m_images.text(4);
        content.objects.push_back(std::move(object));
    }
    for (m_tables.bind(node); tables && m_tables.next();)
        content.addTable(m_tables.integer(0), m_tables.text(1));
    for (m_codeBoxes.bind(node); codeBoxes && m_codeBoxes.next();) {
        CherryTreeContent::Object object;
        object.kind = Kind::CodeBox;
        object.offset = m_codeBoxes.integer(0);
        object.text = m_codeBoxes.text(1);
        content.objects.push_back(std::move(object));
    }
    return content;
}

bool DatabaseWalk::hand(const Child &child, bool folder)
{
    CherryTreeNode node;
    node.content = contentOf(child.master > 0 ? child.master : child.node, &node.name, &node.marks);
    if (child.master > 0)
        node.marks.prepend(QStringLiteral("「%1」の複製（内容を写しました）").arg(node.name));
    ImportItem item = cherryTreeItem(folder ? ImportItem::Kind::Folder : ImportItem::Kind::Note, node);
    return folder ? m_sink.openFolder(item) : m_sink.add(item);
}

bool DatabaseWalk::walk()
{
    struct Level {
        const std::vector<Child> *children;
        size_t next;
    };
    static const std::vector<Child> none;
    QSet<qint64> met{0};
    std::vector<Level> levels{{m_children.contains(0) ? &m_children[0] : &none, 0}};
    qsizetype visited = 0;
    while (!levels.empty()) {
        Level &level = levels.back();
        if (level.next == level.children->size()) {
            levels.pop_back();
            if (!levels.empty() && !m_sink.closeFolder())
                return false;
            continue;
        }
        const Child child = (*level.children)[level.next++];
        ++visited;
        if (met.contains(child.node)) {
            m_sink.leaveOut(QStringLiteral("ノード %1").arg(child.node), QStringLiteral("二度目に出てきたため（親子の輪）"));
            continue;
        }
        met.insert(child.node);
        const auto below = m_children.constFind(child.node);
        const bool folder = below != m_children.cend() && !below->empty();
        if (!hand(child, folder))
            return false;
        if (folder)
            levels.push_back({&*below, 0});
    }
    const qsizetype unreached = m_childCount - visited;
    if (unreached > 0)
        m_sink.leaveOut(QStringLiteral("ノード %1 個").arg(unreached), QStringLiteral("一番上からたどれないため（親子の輪か、ない親）"));
    return true;
}

} // namespace

bool CherryTreeDatabase::read(const QString &path, ImportSink &sink, QString *failure)
{
    const QString unreadable = QStringLiteral("「 ") + path + QStringLiteral(" 」は CherryTree の文書として読めません（壊れているか、別の形式です）。");
    // immutable: SQLite neither locks nor journals, so nothing is written beside the file.
    const QByteArray uri = QUrl::fromLocalFile(path).toEncoded() + "?mode=ro&immutable=1";
    sqlite3 *handle = nullptr;
    const int opened = sqlite3_open_v2(uri.constData(), &handle, SQLITE_OPEN_READONLY | SQLITE_OPEN_URI, nullptr);
    const Database db(handle);
    if (opened != SQLITE_OK) {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」を開けません。");
        return false;
    }
    DatabaseWalk walk(db.get(), sink);
    if (!walk.readChildren()) {
        *failure = unreadable;
        return false;
    }
    sink.expect(walk.nodes());
    if (!walk.walk())
        return false;
    if (walk.damaged()) {
        *failure = unreadable;
        return false;
    }
    return true;
}

} // namespace kobin::import
