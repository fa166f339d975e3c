#include "CherryTreeReader.h"

#include "CherryTreeArchive.h"
#include "CherryTreeDatabase.h"
#include "CherryTreeFolder.h"
#include "CherryTreeNote.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <vector>

namespace kobin::import {

namespace {

// A node read so far: its text and objects come before its children, so the
// first child makes it a folder.
struct OpenNode {
    CherryTreeNode node;
    bool folder = false;
};

// Hands the node over as what its children made it: a folder opened, or a note.
bool openOrAdd(OpenNode &open, ImportSink &sink)
{
    ImportItem item = cherryTreeItem(open.folder ? ImportItem::Kind::Folder : ImportItem::Kind::Note, open.node);
    open.node.content = {};
    return open.folder ? sink.openFolder(item) : sink.add(item);
}

bool readXmlDocument(const QString &path, ImportSink &sink, QString *failure)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」を開けません。");
        return false;
    }
    QXmlStreamReader reader(&file);
    if (!reader.readNextStartElement() || reader.name() != u"cherrytree") {
        *failure = QStringLiteral("「 ") + path + QStringLiteral(" 」は CherryTree の文書ではありません。");
        return false;
    }
    sink.expect(0);
    std::vector<OpenNode> nodes; // from the outermost
    while (!reader.atEnd() && !reader.hasError()) {
        reader.readNext();
        if (reader.isStartElement() && reader.name() == u"node") {
            if (!nodes.empty() && !nodes.back().folder) {
                nodes.back().folder = true;
                if (!openOrAdd(nodes.back(), sink))
                    return false;
            }
            nodes.push_back({cherryTreeNode(reader.attributes())});
        } else if (reader.isStartElement()) {
            if (nodes.empty() || !nodes.back().node.content.readElement(reader))
                reader.skipCurrentElement();
        } else if (reader.isEndElement() && reader.name() == u"node" && !nodes.empty()) {
            OpenNode node = std::move(nodes.back());
            nodes.pop_back();
            if (!(node.folder ? sink.closeFolder() : openOrAdd(node, sink)))
                return false;
        }
    }
    if (!reader.hasError())
        return true;
    // What was read before the damage is kept.
    sink.leaveOut(QFileInfo(path).fileName(), QStringLiteral("%1 行目より後（%2）").arg(reader.lineNumber()).arg(reader.errorString()));
    for (; !nodes.empty(); nodes.pop_back()) {
        if (!(nodes.back().folder ? sink.closeFolder() : openOrAdd(nodes.back(), sink)))
            return false;
    }
    return true;
}

} // namespace

bool CherryTreeReader::isDocument(const QString &path)
{
    return path.endsWith(QLatin1String(".ctd"), Qt::CaseInsensitive)
        || path.endsWith(QLatin1String(".ctb"), Qt::CaseInsensitive) || CherryTreeArchive::isArchive(path);
}

bool CherryTreeReader::needsPassword(const QString &path)
{
    return CherryTreeArchive::isArchive(path);
}

bool CherryTreeReader::read(const QString &file, const QString &password, const SourceFolder &folder, ImportSink &sink,
                            QString *failure)
{
    if (file.isEmpty())
        return CherryTreeFolder::read(folder, sink, failure);
    if (CherryTreeArchive::isArchive(file)) {
        // Unpacked where only this user can read it, and removed with what it holds once read.
        const QTemporaryDir unpacked;
        const QString document = unpacked.isValid() ? CherryTreeArchive::unpack(file, password, unpacked.path(), failure) : QString();
        if (!unpacked.isValid())
            *failure = QStringLiteral("一時フォルダを作成できません。");
        return !document.isEmpty() && read(document, {}, folder, sink, failure);
    }
    if (file.endsWith(QLatin1String(".ctb"), Qt::CaseInsensitive))
        return CherryTreeDatabase::read(file, sink, failure);
    return readXmlDocument(file, sink, failure);
}

} // namespace kobin::import
