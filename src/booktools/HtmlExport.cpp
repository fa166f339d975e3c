#include "HtmlExport.h"

#include "BookOutline.h"
#include "ExportFolder.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "PageNames.h"
#include "RtfConversion.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QUrl>

namespace kobin {

namespace {

// A page's files folder holds what one saved page needs, never more than this.
constexpr int kMaxPageFiles = 10000;

const char kStyle[] = R"(body { font-family: sans-serif; margin: 0; }
.book { display: flex; height: 100vh; }
.tree { width: 18em; overflow: auto; padding: 0.5em; border-right: 1px solid #ccc; }
.tree ul { list-style: none; padding-left: 1.2em; margin: 0; }
.tree > ul { padding-left: 0; }
.item { flex: 1; border: 0; height: 100%; }
.content { padding: 0.5em 1em; }
.homepage { display: flex; height: 80vh; gap: 0.5em; }
.homepage iframe { flex: 3; border: 1px solid #ccc; }
.homepage .note { flex: 1; overflow: auto; }
.missing { color: #a00; }
.note p, .note li { white-space: pre-wrap; }
)";

QString escaped(const QString &text)
{
    return text.toHtmlEscaped();
}

// A relative address from the components of a path inside the site.
QString address(const QStringList &components)
{
    QStringList encoded;
    for (const QString &component : components)
        encoded << QString::fromLatin1(QUrl::toPercentEncoding(component));
    return encoded.join(u'/');
}

QString itemFile(const TreeItem &item)
{
    return item.key() + QStringLiteral(".html");
}

QString document(const QString &title, const QString &stylesheet, const QString &body)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n<title>") + escaped(title)
        + QStringLiteral("</title>\n<link rel=\"stylesheet\" href=\"") + stylesheet + QStringLiteral("\">\n</head>\n")
        + body + QStringLiteral("</html>\n");
}

// A note's body as the RTF engine's HTML gives it, in a block that keeps the
// body's own style (its font); an empty block when there is no readable note.
QString noteBlock(const std::optional<QString> &file)
{
    if (!file)
        return QStringLiteral("<div class=\"note\"></div>\n");
    const std::optional<QByteArray> html = richtext::convertRtfFile(*file, richtext::Conversion::Html);
    if (!html)
        return QStringLiteral("<div class=\"note\"></div>\n");
    const QString text = QString::fromUtf8(*html);
    const qsizetype bodyStart = text.indexOf(QLatin1String("<body"));
    const qsizetype bodyOpenEnd = bodyStart < 0 ? -1 : text.indexOf(u'>', bodyStart);
    const qsizetype bodyEnd = text.lastIndexOf(QLatin1String("</body>"));
    if (bodyOpenEnd < 0 || bodyEnd < bodyOpenEnd)
        return QStringLiteral("<div class=\"note\"></div>\n");
    const QString attributes = text.mid(bodyStart + 5, bodyOpenEnd - bodyStart - 5);
    return QStringLiteral("<div class=\"note\"") + attributes + u'>' + text.mid(bodyOpenEnd + 1, bodyEnd - bodyOpenEnd - 1)
        + QStringLiteral("</div>\n");
}

class SiteWriter
{
public:
    SiteWriter(const HtmlExport::Source &source, ExportFolder &folder) : m_source(source), m_folder(folder) {}

    bool writeItem(const TreeItem &item)
    {
        const QString header = QStringLiteral("<body>\n<div class=\"content\">\n<h1>") + escaped(item.text())
            + QStringLiteral("</h1>\n");
        QString content;
        if (kindOf(item) == ItemKind::Homepage) {
            const std::optional<QString> page = copyPage(item.key());
            if (!page)
                return false;
            content = *page;
        } else {
            content = noteBlock(m_source.contentFile(WorkingFolder::textFileName(item.key())));
        }
        return m_folder.write(QStringLiteral("items/") + itemFile(item),
                              document(item.text(), QStringLiteral("../kobin.css"),
                                       header + content + QStringLiteral("</div>\n</body>\n"))
                                  .toUtf8());
    }

    bool writeIndex(const ItemTree &tree)
    {
        QString list;
        int open = 0; // lists opened and not yet closed
        for (const auto &[item, depth] : itemsInTreeOrder(tree)) {
            if (depth + 1 > open) {
                list += QStringLiteral("<ul>\n");
                ++open;
            } else {
                list += QStringLiteral("</li>\n");
                for (; open > depth + 1; --open)
                    list += QStringLiteral("</ul>\n</li>\n");
            }
            list += QStringLiteral("<li><a href=\"items/") + address({itemFile(*item)}) + QStringLiteral("\" target=\"item\">")
                + escaped(item->text()) + QStringLiteral("</a>");
        }
        for (; open > 0; --open)
            list += QStringLiteral("</li>\n</ul>\n");
        const auto &top = tree.topLevelItems();
        const QString title = top.empty() ? QString() : top.front()->text();
        const QString first = top.empty() ? QString() : QStringLiteral("items/") + address({itemFile(*top.front())});
        const QString body = QStringLiteral("<body>\n<div class=\"book\">\n<nav class=\"tree\">\n") + list
            + QStringLiteral("</nav>\n<iframe class=\"item\" name=\"item\" title=\"") + escaped(title)
            + QStringLiteral("\" src=\"") + first + QStringLiteral("\"></iframe>\n</div>\n</body>\n");
        return m_folder.write(QStringLiteral("kobin.css"), QByteArray(kStyle))
            && m_folder.write(QStringLiteral("index.html"), document(title, QStringLiteral("kobin.css"), body).toUtf8());
    }

private:
    // The page beside its side note, its files copied; nullopt when a copy fails.
    std::optional<QString> copyPage(const QString &key)
    {
        const std::optional<QString> page = m_source.page(key);
        if (!page)
            return QStringLiteral("<p class=\"missing\">ページが見つかりません。</p>\n");
        const QString fileName = QFileInfo(*page).fileName();
        const QString folder = QStringLiteral("pages/") + key + u'/';
        if (!m_folder.copy(*page, folder + fileName))
            return std::nullopt;
        const QString files = HtmlExport::filesFolderOf(*page, foldersIn(QFileInfo(*page).absolutePath()));
        if (!files.isEmpty() && !m_folder.copyFolder(files, folder + QFileInfo(files).fileName(), kMaxPageFiles))
            return std::nullopt;
        const QString source = QStringLiteral("../") + address({QStringLiteral("pages"), key, fileName});
        const QString sideNote = WorkingFolder::textFileName(pageTextName(key, pageBaseName(*page)));
        return QStringLiteral("<p><a href=\"") + source + QStringLiteral("\">ページだけを開く</a></p>\n")
            + QStringLiteral("<div class=\"homepage\">\n<iframe src=\"") + source + QStringLiteral("\" title=\"")
            + escaped(fileName) + QStringLiteral("\"></iframe>\n") + noteBlock(m_source.contentFile(sideNote))
            + QStringLiteral("</div>\n");
    }

    // The folders in folder, listed once: many pages lie in one folder.
    const QStringList &foldersIn(const QString &folder)
    {
        auto listed = m_folders.find(folder);
        if (listed == m_folders.end())
            listed = m_folders.insert(folder, QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden));
        return *listed;
    }

    const HtmlExport::Source &m_source;
    ExportFolder &m_folder;
    QHash<QString, QStringList> m_folders;
};

} // namespace

QString HtmlExport::filesFolderOf(const QString &page, const QStringList &foldersBeside)
{
    const QFileInfo info(page);
    const QString base = info.completeBaseName();
    for (const QString &name : foldersBeside) {
        if (name.compare(base + QStringLiteral("_files"), Qt::CaseInsensitive) == 0
            || name.compare(base + QStringLiteral(".files"), Qt::CaseInsensitive) == 0) {
            const QFileInfo folder(info.dir().filePath(name));
            if (folder.isDir() && !folder.isSymLink())
                return folder.filePath();
        }
    }
    return {};
}

HtmlExport::Outcome HtmlExport::write(const Source &source, const QString &folder, const Progress &progress)
{
    ExportFolder site(folder);
    if (!site.isValid())
        return Outcome::Failed;
    SiteWriter writer(source, site);
    const std::vector<OutlineEntry> items = itemsInTreeOrder(source.tree);
    const int total = static_cast<int>(items.size());
    for (int done = 0; done < total; ++done) {
        if (!writer.writeItem(*items[static_cast<size_t>(done)].item))
            return Outcome::Failed;
        if (progress && !progress(done + 1, total))
            return Outcome::Cancelled;
    }
    if (!writer.writeIndex(source.tree) || !site.commit())
        return Outcome::Failed;
    return Outcome::Written;
}

QString HtmlExport::failureMessage(const QString &folder)
{
    return QStringLiteral("「 ") + QDir::toNativeSeparators(folder)
        + QStringLiteral(" 」\n\nに書き出せませんでした。書き出しかけたものは残していません。");
}

} // namespace kobin
