#include "HtmlExport.h"

#include "BookOutline.h"
#include "ContentNames.h"
#include "ExportFolder.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "PageBundle.h"
#include "PageNames.h"
#include "RtfConversion.h"

#include <QDir>
#include <QHash>
#include <QFileInfo>
#include <QUrl>

namespace kobin {

namespace {

const char kStyle[] = R"(body { font-family: sans-serif; margin: 0; }
.book { display: flex; height: 100vh; }
.tree { width: 18em; overflow: auto; padding: 0.5em; border-right: 1px solid #ccc; }
.tree ul { list-style: none; padding-left: 1.2em; margin: 0; }
.tree > ul { padding-left: 0; }
.item { flex: 1; border: 0; height: 100%; }
.content { padding: 0.5em 1em; }
.homepage { display: flex; height: 80vh; gap: 0.5em; }
.homepage iframe { flex: 3; border: 1px solid #ccc; }
.page { display: block; width: 100%; height: 100vh; border: 0; }
.homepage .note { flex: 1; overflow: auto; }
.missing { color: #a00; }
.note p, .note li { white-space: pre-wrap; }
.note img { max-width: 100%; height: auto; }
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

// Nothing from the network and no scripts: a note's formatting is the user's, but
// a note may come from anywhere. The site's own styles, pictures and frames only.
const char kContentSecurityPolicy[] = "default-src 'none'; style-src 'self' 'unsafe-inline'; img-src 'self' data:; "
                                      "frame-src 'self'; base-uri 'none'; form-action 'none'";

QString document(const QString &title, const QString &stylesheet, const QString &body)
{
    return QStringLiteral("<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
                          "<meta http-equiv=\"Content-Security-Policy\" content=\"")
        + QLatin1String(kContentSecurityPolicy) + QStringLiteral("\">\n<title>") + escaped(title)
        + QStringLiteral("</title>\n<link rel=\"stylesheet\" href=\"") + stylesheet + QStringLiteral("\">\n</head>\n")
        + body + QStringLiteral("</html>\n");
}

// A note's body in a block that keeps the body's own style (its font).
QString noteBlockOf(const QByteArray &html)
{
    const QString text = QString::fromUtf8(html);
    const qsizetype bodyStart = text.indexOf(QLatin1String("<body"));
    const qsizetype bodyOpenEnd = bodyStart < 0 ? -1 : text.indexOf(u'>', bodyStart);
    const qsizetype bodyEnd = text.lastIndexOf(QLatin1String("</body>"));
    if (bodyOpenEnd < 0 || bodyEnd < bodyOpenEnd)
        return QStringLiteral("<div class=\"note\"></div>\n");
    const QString attributes = text.mid(bodyStart + 5, bodyOpenEnd - bodyStart - 5);
    return QStringLiteral("<div class=\"note\"") + attributes + u'>' + text.mid(bodyOpenEnd + 1, bodyEnd - bodyOpenEnd - 1)
        + QStringLiteral("</div>\n");
}

QString pictureExtension(const QByteArray &mimeType)
{
    if (mimeType == "image/jpeg")
        return QStringLiteral(".jpg");
    if (mimeType == "image/svg+xml")
        return QStringLiteral(".svg");
    return QStringLiteral(".png");
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
            const std::optional<QString> note = noteBlock(m_source.contentFile(ContentNames::textFileName(item.key())),
                                                          item.key());
            if (!note)
                return false;
            content = *note;
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

    int pagesLeftOut() const { return m_pagesLeftOut; }
    int filesLeftOut() const { return m_filesLeftOut; }

private:
    // The page beside its side note, its files copied; nullopt when a copy fails.
    std::optional<QString> copyPage(const QString &key)
    {
        const std::optional<QString> page = m_source.page(key);
        if (!page)
            return QStringLiteral("<p class=\"missing\">ページが見つかりません。</p>\n");
        const PageBundle bundle(*page, foldersIn(QFileInfo(*page).absolutePath()));
        const QString fileName = QFileInfo(*page).fileName();
        if (!bundle.isPage()) {
            ++m_pagesLeftOut;
            return QStringLiteral("<p class=\"missing\">「 ") + escaped(fileName)
                + QStringLiteral(" 」はページとして表示できるファイルではないため、書き出していません。</p>\n");
        }
        m_filesLeftOut += static_cast<int>(bundle.leftOut().size());
        const QString folder = QStringLiteral("pages/") + key + u'/';
        if (!m_folder.copy(*page, folder + fileName))
            return std::nullopt;
        for (const auto &[path, name] : bundle.files()) {
            if (!m_folder.copy(path, folder + name))
                return std::nullopt;
        }
        const QString source = QStringLiteral("../") + address({QStringLiteral("pages"), key, fileName});
        // Saved pages run in sandboxed frames only: no scripts, forms, pop-ups or taking the site elsewhere. They
        // keep their origin, or a browser refuses them their own pictures and styles beside them on the disk;
        // without scripts that origin gives them nothing more.
        const auto frame = [&](const QString &attributes) {
            return QStringLiteral("<iframe") + attributes + QStringLiteral(" sandbox=\"allow-same-origin\" src=\"") + source
                + QStringLiteral("\" title=\"") + escaped(fileName) + QStringLiteral("\"></iframe>\n");
        };
        const QString pageOnly = key + QStringLiteral("-page.html");
        if (!m_folder.write(QStringLiteral("items/") + pageOnly,
                            document(fileName, QStringLiteral("../kobin.css"),
                                     QStringLiteral("<body>\n") + frame(QStringLiteral(" class=\"page\""))
                                         + QStringLiteral("</body>\n"))
                                .toUtf8()))
            return std::nullopt;
        const QString sideNote = ContentNames::textFileName(pageTextName(key, pageBaseName(*page)));
        const std::optional<QString> note = noteBlock(m_source.contentFile(sideNote), key + QStringLiteral("-page"));
        if (!note)
            return std::nullopt;
        return QStringLiteral("<p><a href=\"") + address({pageOnly}) + QStringLiteral("\">ページだけを開く</a></p>\n")
            + QStringLiteral("<div class=\"homepage\">\n") + frame({}) + *note + QStringLiteral("</div>\n");
    }

    // A note as HTML, its pictures written as files beside it, named from stem;
    // an empty block when there is no readable note, nothing when a picture
    // cannot be written.
    std::optional<QString> noteBlock(const std::optional<QString> &file, const QString &stem)
    {
        const QString empty = QStringLiteral("<div class=\"note\"></div>\n");
        if (!file)
            return empty;
        int pictures = 0;
        bool written = true;
        const auto pictureFile = [&](const QByteArray &bytes, const QByteArray &mimeType) {
            const QString name = stem + QStringLiteral("-picture") + QString::number(++pictures) + pictureExtension(mimeType);
            written = written && m_folder.write(QStringLiteral("items/") + name, bytes);
            return address({name});
        };
        const std::optional<QByteArray> html = richtext::noteHtml(*file, pictureFile);
        if (!written)
            return std::nullopt;
        return html ? noteBlockOf(*html) : empty;
    }

    // The folders in folder, listed once: many pages lie in one folder.
    const QStringList &foldersIn(const QString &folder)
    {
        auto listed = m_folders.find(folder);
        if (listed == m_folders.end())
            listed = m_folders.insert(folder, PageBundle::foldersIn(folder));
        return *listed;
    }

    const HtmlExport::Source &m_source;
    ExportFolder &m_folder;
    QHash<QString, QStringList> m_folders;
    int m_pagesLeftOut = 0;
    int m_filesLeftOut = 0;
};

} // namespace

HtmlExport::Result HtmlExport::write(const Source &source, const QString &folder, const Progress &progress)
{
    ExportFolder site(folder);
    if (!site.isValid())
        return {};
    SiteWriter writer(source, site);
    const std::vector<OutlineEntry> items = itemsInTreeOrder(source.tree);
    const int total = static_cast<int>(items.size());
    for (int done = 0; done < total; ++done) {
        if (!writer.writeItem(*items[static_cast<size_t>(done)].item))
            return {};
        if (progress && !progress(done + 1, total))
            return {Outcome::Cancelled};
    }
    if (!writer.writeIndex(source.tree) || !site.commit())
        return {};
    return {Outcome::Written, writer.pagesLeftOut(), writer.filesLeftOut()};
}

QString HtmlExport::leftOutMessage(const Result &result)
{
    QStringList parts;
    if (result.pagesLeftOut > 0)
        parts << QStringLiteral("ページとして表示できないファイルを指す %1 個の項目のページ").arg(result.pagesLeftOut);
    if (result.filesLeftOut > 0)
        parts << QStringLiteral("ページのフォルダの外を指す %1 個のファイル").arg(result.filesLeftOut);
    if (parts.isEmpty())
        return {};
    return parts.join(QStringLiteral("と、")) + QStringLiteral("は書き出していません（kobin-cli check で一覧できます）。");
}

QString HtmlExport::failureMessage(const QString &folder)
{
    return QStringLiteral("「 ") + QDir::toNativeSeparators(folder)
        + QStringLiteral(" 」\n\nに書き出せませんでした。書き出しかけたものは残していません。");
}

} // namespace kobin
