#include "ZimReader.h"

#include "DepthOrder.h"
#include "InsertedPictures.h"
#include "SourceFolder.h"
#include "ZimWikiText.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>
#include <QSet>
#include <QUrl>
#include <vector>

namespace kobin::import {

namespace {

constexpr qint64 kMaxPageBytes = 16LL * 1024 * 1024;

const QString kNotebookFile = QStringLiteral("notebook.zim");
const QString kPageSuffix = QStringLiteral(".txt");

struct Page {
    QString name;   // as Zim shows it
    QString file;   // relative to the notebook; empty for a folder with no page file
    QString folder; // of its sub-pages and attachments, ending in "/"
    bool hasFolder = false;
    int depth = 0;
};

class NotebookWalk
{
public:
    NotebookWalk(const SourceFolder &source, ImportSink &sink) : m_source(source), m_sink(sink) {}

    void scan();
    bool walk();
    int pages() const { return static_cast<int>(m_pages.size()); }

private:
    // The pages in folder (relative, ending in "/" or empty), sorted by name.
    std::vector<Page> pagesIn(const QString &folder, int depth);
    ImportItem itemOf(const Page &page);

    const SourceFolder &m_source;
    ImportSink &m_sink;
    std::vector<Page> m_pages;
    QSet<QString> m_seenFolders; // links followed
};

std::vector<Page> NotebookWalk::pagesIn(const QString &folder, int depth)
{
    QMap<QString, Page> byFile; // by the name on disk, without .txt
    const QFileInfoList entries = QDir(m_source.root() + folder).entryInfoList(
        QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot | QDir::System, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const bool isPage = entry.isFile() && entry.fileName().endsWith(kPageSuffix);
        if (!isPage && !entry.isDir())
            continue; // an attachment, or notebook.zim
        const QString relative = folder + entry.fileName();
        if (!m_source.contains(entry.filePath())) {
            m_sink.leaveOut(relative, QStringLiteral("ノートブックのフォルダの外を指しています"));
            continue;
        }
        const QString stem = isPage ? entry.fileName().chopped(kPageSuffix.size()) : entry.fileName();
        Page &page = byFile[stem];
        page.depth = depth;
        page.folder = folder + stem + u'/';
        if (isPage) {
            page.file = relative;
        } else if (m_seenFolders.contains(entry.canonicalFilePath())) {
            m_sink.leaveOut(relative, QStringLiteral("二度目に出てきたため（フォルダへのリンクの輪）"));
        } else {
            m_seenFolders.insert(entry.canonicalFilePath());
            page.hasFolder = true;
        }
    }
    std::vector<Page> pages;
    for (auto it = byFile.begin(); it != byFile.end(); ++it) {
        if (it->file.isEmpty() && !it->hasFolder)
            continue;
        it->name = QUrl::fromPercentEncoding(it.key().toUtf8()).replace(u'_', u' ');
        pages.push_back(*it);
    }
    // Zim's order: by name, case aside.
    std::stable_sort(pages.begin(), pages.end(), [](const Page &a, const Page &b) {
        return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
    });
    return pages;
}

void NotebookWalk::scan()
{
    m_seenFolders.insert(QFileInfo(m_source.root()).canonicalFilePath());
    std::vector<std::vector<Page>> levels{pagesIn(QString(), 0)};
    std::reverse(levels.back().begin(), levels.back().end());
    while (!levels.empty()) {
        if (levels.back().empty()) {
            levels.pop_back();
            continue;
        }
        Page page = std::move(levels.back().back());
        levels.back().pop_back();
        m_pages.push_back(page);
        if (page.hasFolder) {
            levels.push_back(pagesIn(page.folder, page.depth + 1));
            std::reverse(levels.back().begin(), levels.back().end());
        }
    }
}

ImportItem NotebookWalk::itemOf(const Page &page)
{
    ImportItem item;
    item.kind = page.hasFolder ? ImportItem::Kind::Folder : ImportItem::Kind::Note;
    item.title = page.name;
    if (page.file.isEmpty())
        return item;
    const std::optional<QString> path = m_source.resolve(page.file);
    const std::optional<QByteArray> bytes = path ? m_source.read(*path, kMaxPageBytes) : std::nullopt;
    if (!bytes) {
        item.leftOut.append(QStringLiteral("本文（%1 が大きすぎるか読めません）").arg(page.file));
        return item;
    }
    QString created;
    const QString text = zimPageBody(QString::fromUtf8(*bytes).replace(QLatin1String("\r\n"), QLatin1String("\n")), &created);
    // Pictures lie in the page's folder; "../" may climb to the notebook's top and no further.
    const ZimWikiText wikiText([this, &page](const QString &name) {
        const std::optional<QString> picture = m_source.resolve(QDir::cleanPath(page.folder + name));
        return picture ? m_source.read(*picture, rtf::kMaxInsertedPictureBytes).value_or(QByteArray()) : QByteArray();
    });
    ZimNote note = wikiText.convert(text);
    item.markup = ImportItem::Markup::Rtf;
    item.body = std::move(note.rtf);
    item.pictures = note.pictures;
    if (!created.isEmpty())
        item.leftOut.append(QStringLiteral("作成日時 ") + created);
    item.leftOut += note.leftOut;
    return item;
}

bool NotebookWalk::walk()
{
    DepthOrder order(m_sink);
    for (const Page &page : m_pages) {
        ImportItem item = itemOf(page);
        if (!order.put(item, page.depth))
            return false;
    }
    return order.finish();
}

} // namespace

bool ZimReader::holdsNotebook(const SourceFolder &source)
{
    return source.resolve(kNotebookFile).has_value();
}

bool ZimReader::read(const SourceFolder &source, ImportSink &sink, QString *failure)
{
    NotebookWalk walk(source, sink);
    walk.scan();
    if (walk.pages() == 0) {
        *failure = QStringLiteral("「 ") + source.root() + QStringLiteral(" 」のノートブックにはページがありません。");
        return false;
    }
    sink.expect(walk.pages());
    return walk.walk();
}

} // namespace kobin::import
