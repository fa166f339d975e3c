#include "BookCommandLine.h"
#include "BookContent.h"
#include "BookFile.h"
#include "HtmlExport.h"
#include "ItemTree.h"
#include "SmallDisk.h"
#include "WindowsBook.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <gumbo.h>
#include <sys/mount.h>

using namespace kobin;

namespace {

// Every href and src of an HTML file, read by an HTML parser.
QStringList linksOf(const QString &file)
{
    const QByteArray html = readText(file);
    GumboOutput *output = gumbo_parse_with_options(&kGumboDefaultOptions, html.constData(), static_cast<size_t>(html.size()));
    QStringList links;
    std::vector<const GumboNode *> pending{output->root};
    while (!pending.empty()) {
        const GumboNode *node = pending.back();
        pending.pop_back();
        if (node->type != GUMBO_NODE_ELEMENT)
            continue;
        for (const char *name : {"href", "src"}) {
            if (const GumboAttribute *attribute = gumbo_get_attribute(&node->v.element.attributes, name))
                links << QString::fromUtf8(attribute->value);
        }
        const GumboVector &children = node->v.element.children;
        for (unsigned int i = 0; i < children.length; ++i)
            pending.push_back(static_cast<const GumboNode *>(children.data[i]));
    }
    gumbo_destroy_output(&kGumboDefaultOptions, output);
    return links;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

// A book written as a static web site, whole or not at all.
class TestHtmlExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString home() const { return m_dir->path() + "/home"; }
    QString book() const { return home() + "/book.iis"; }
    QString site() const { return m_dir->path() + "/out/site"; }

    HtmlExport::Outcome exportTo(const QString &folder, const HtmlExport::Progress &progress = {})
    {
        ItemTree tree;
        if (loadBookFile(book(), tree).outcome != BookReading::Outcome::Read)
            return HtmlExport::Outcome::Failed;
        const BookContent content = BookContent::forBookFile(book());
        return HtmlExport::write({tree, [&](const QString &name) { return content.file(name); },
                                  [&](const QString &key) { return content.page(key); }},
                                 folder, progress);
    }

private slots:
    void init()
    {
        qunsetenv("KOBIN_HOME");
        m_dir = std::make_unique<QTemporaryDir>();
        windowsbook::write(home());
        QVERIFY(QDir().mkpath(m_dir->path() + "/out"));
    }

    void everyItemGetsAPageAndEveryLinkLeadsToAFileOfTheSite()
    {
        const CommandOutcome outcome = exportBookCommand({book(), site()});
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.out, "「 " + site() + " 」に 6 個の項目を書き出しました。\n");
        QCOMPARE(outcome.status, 0);

        QStringList files;
        QDirIterator it(site(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(site()).relativeFilePath(it.next());
        files.sort();
        QCOMPARE(files, QStringList({"index.html", "items/a1.html", "items/a2.html", "items/a3.html", "items/a4.html",
                                     "items/a5.html", "items/a6.html", "kobin.css", "pages/a5/index.htm",
                                     "pages/a5/index_files/picture.png", "pages/a5/index_files/style.css",
                                     "pages/a6/other.html"}));
        int checked = 0;
        for (const QString &file : files) {
            if (!file.endsWith(".html") || file.startsWith("pages/"))
                continue; // the saved pages are the user's own, copied as they were
            const QString folder = QFileInfo(site() + "/" + file).absolutePath();
            for (const QString &link : linksOf(site() + "/" + file)) {
                const QUrl url(link);
                QVERIFY2(url.isRelative() && !link.startsWith('/'), qPrintable(file + ": " + link));
                const QString target = QDir::cleanPath(folder + "/" + url.path());
                QVERIFY2(target.startsWith(site() + "/") && QFileInfo(target).isFile(), qPrintable(file + ": " + link));
                ++checked;
            }
        }
        QCOMPARE(checked, 6 + 1 + 1 + 6 + 2 * 2); // the tree, its frame, every item's stylesheet, two pages twice

        const QString index = QString::fromUtf8(readText(site() + "/index.html"));
        QVERIFY2(index.contains("<ul>\n<li><a href=\"items/a1.html\" target=\"item\">Book</a><ul>\n"
                                "<li><a href=\"items/a2.html\" target=\"item\">Folder</a><ul>\n"
                                "<li><a href=\"items/a3.html\" target=\"item\">Text &lt;one&gt;</a></li>\n"
                                "<li><a href=\"items/a5.html\" target=\"item\">Web page</a></li>\n"
                                "</ul>\n</li>\n"
                                "<li><a href=\"items/a4.html\" target=\"item\">Second text</a></li>\n"
                                "<li><a href=\"items/a6.html\" target=\"item\">Other page</a></li>\n"
                                "</ul>\n</li>\n</ul>\n"),
                 qPrintable(index));
        QVERIFY(index.contains("<meta charset=\"utf-8\">"));
        const QString text = QString::fromUtf8(readText(site() + "/items/a3.html"));
        QVERIFY2(text.contains("font-weight:700;\">bold</span>"), qPrintable(text));
        QVERIFY(text.contains("Plain and "));
        QVERIFY(text.contains("&amp; &lt;marked&gt;"));
        QVERIFY(text.contains("font-family:'MS UI Gothic'"));
        const QString page = QString::fromUtf8(readText(site() + "/items/a5.html"));
        QVERIFY(page.contains("<iframe src=\"../pages/a5/index.htm\""));
        QVERIFY(page.contains("Side note of the page"));
    }

    void folderThatIsNotEmptyIsRefusedAndLeftAlone()
    {
        writeText(site() + "/mine.txt", "the user's");
        const CommandOutcome outcome = exportBookCommand({book(), site()});
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.err,
                 "「 " + site() + " 」は空ではありません。空のフォルダか、まだないフォルダを指定してください。\n");
        QCOMPARE(entriesOf(site()), QStringList({"mine.txt"}));
        QCOMPARE(entriesOf(m_dir->path() + "/out"), QStringList({"site"}));
    }

    void replacingAFolderTheUserAgreedToLeavesOnlyTheSite()
    {
        writeText(site() + "/old.html", "an earlier export");
        QCOMPARE(exportTo(site()), HtmlExport::Outcome::Written);
        QVERIFY(!QFile::exists(site() + "/old.html"));
        QVERIFY(QFile::exists(site() + "/index.html"));
        QCOMPARE(entriesOf(m_dir->path() + "/out"), QStringList({"site"}));
    }

    void cancellingLeavesNothingBehind()
    {
        QList<int> steps;
        const auto cancelAtTwo = [&](int done, int total) {
            steps << done;
            return !(done == 2 && total == 6);
        };
        QCOMPARE(exportTo(site(), cancelAtTwo), HtmlExport::Outcome::Cancelled);
        QCOMPARE(steps, QList<int>({1, 2}));
        QCOMPARE(entriesOf(m_dir->path() + "/out"), QStringList());
    }

    void readOnlyOrFullDiskFailsAndLeavesNothingThatLooksFinished()
    {
        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("mounting a small disk needs root");
        disk.fill();
        QCOMPARE(exportTo(disk.path("site")), HtmlExport::Outcome::Failed);
        QCOMPARE(entriesOf(disk.path()), QStringList({"filler"}));

        QVERIFY(QFile::remove(disk.path("filler")));
        QCOMPARE(::mount(nullptr, QFile::encodeName(disk.path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY, nullptr), 0);
        const CommandOutcome outcome = exportBookCommand({book(), disk.path("site")});
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.err, "「 " + disk.path("site") + " 」に書き出せませんでした。書き出しかけたものは残していません。\n");
        QCOMPARE(entriesOf(disk.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestHtmlExport)
#include "tst_htmlexport.moc"
