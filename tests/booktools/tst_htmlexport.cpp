#include "BookCommandLine.h"
#include "BookContent.h"
#include "BookFile.h"
#include "Cp932.h"
#include "HtmlExport.h"
#include "ItemTree.h"
#include "PictureFiles.h"
#include "SmallDisk.h"
#include "WindowsBook.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>
#include <gumbo.h>
#include <sys/mount.h>
#include <sys/stat.h>

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

// Where each link of an HTML file leads, as a path; "" for a link that is not relative.
QStringList targetsOf(const QString &file)
{
    QStringList targets;
    for (const QString &link : linksOf(file)) {
        const QUrl url(link);
        targets << (url.isRelative() && !link.startsWith('/')
                        ? QDir::cleanPath(QFileInfo(file).absolutePath() + "/" + url.path())
                        : QString());
    }
    return targets;
}

QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QStringList filesUnder(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext())
        files << QDir(folder).relativeFilePath(it.next());
    files.sort();
    return files;
}

int modeOf(const QString &path)
{
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? static_cast<int>(status.st_mode & 07777) : -1;
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
                                 folder, progress)
            .outcome;
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

        const QStringList files = filesUnder(site());
        QCOMPARE(files, QStringList({"index.html", "items/a1.html", "items/a2.html", "items/a3.html", "items/a4.html",
                                     "items/a5-page.html", "items/a5.html", "items/a6-page.html", "items/a6.html",
                                     "kobin.css", "pages/a5/index.htm",
                                     "pages/a5/index_files/picture.png", "pages/a5/index_files/style.css",
                                     "pages/a6/other.html"}));
        int checked = 0;
        for (const QString &file : files) {
            if (!file.endsWith(".html") || file.startsWith("pages/"))
                continue; // the saved pages are the user's own, copied as they were
            QVERIFY2(readText(site() + "/" + file).contains("<meta http-equiv=\"Content-Security-Policy\" content=\"default-src 'none'; "),
                     qPrintable(file));
            for (const QString &target : targetsOf(site() + "/" + file)) {
                QVERIFY2(target.startsWith(site() + "/") && QFileInfo(target).isFile(), qPrintable(file + ": " + target));
                ++checked;
            }
        }
        // The tree, its frame, every item's stylesheet, two pages in a frame and linked to their own page, which
        // has a stylesheet and the frame.
        QCOMPARE(checked, 6 + 1 + 1 + 6 + 2 * 2 + 2 * 2);

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
        QVERIFY(text.contains("<h1>Text &lt;one&gt;</h1>"));
        QVERIFY2(text.contains("font-weight:700;\">bold</span>"), qPrintable(text));
        QVERIFY(text.contains("Plain and "));
        QVERIFY(text.contains("&amp; &lt;marked&gt;"));
        QVERIFY(text.contains("font-family:'MS UI Gothic'"));
        const QString page = QString::fromUtf8(readText(site() + "/items/a5.html"));
        QVERIFY(page.contains("<iframe sandbox=\"allow-same-origin\" src=\"../pages/a5/index.htm\""));
        QVERIFY(page.contains("<a href=\"a5-page.html\">"));
        QVERIFY(readText(site() + "/items/a5-page.html").contains("<iframe class=\"page\" sandbox=\"allow-same-origin\" src=\"../pages/a5/index.htm\""));
        QVERIFY(page.contains("Side note of the page"));
    }

    void pagesTheViewerWouldRefuseAndFilesLeadingOutAreLeftOut()
    {
        const QString secret = m_dir->path() + "/secret/";
        writeText(secret + ".bashrc", "SECRET of the shell");
        writeText(secret + "leak.css", "SECRET style");
        QVERIFY(writeBookFile(book(), QString::fromLatin1(windowsbook::kTreeString)
                                          + "a1\\Linked=a7+htmlfile|a1\\System=a8+htmlfile|"));
        writeText(home() + "/book/a6url.txt", "../secret/.bashrc\r\n");
        QVERIFY(QFile::link(secret + ".bashrc", home() + "/pages/linked.html"));
        writeText(home() + "/book/a7url.txt", QFile::encodeName(home() + "/pages/linked.html") + "\r\n");
        writeText(home() + "/book/a8url.txt", "/etc/passwd\r\n");
        QVERIFY(QFile::link(secret + "leak.css", home() + "/pages/index_files/leak.css"));
        QVERIFY(QFile::link(secret, home() + "/pages/index_files/linked-folder"));

        const CommandOutcome outcome = exportBookCommand({book(), site()});
        QCOMPARE(outcome.out, "「 " + site() + " 」に 8 個の項目を書き出しました。\n"
                                  "ページとして表示できないファイルを指す 3 個の項目のページと、ページのフォルダの外を指す 1 "
                                  "個のファイルは書き出していません（kobin-cli check で一覧できます）。\n");
        QCOMPARE(outcome.status, 0);
        const QStringList files = filesUnder(site());
        QCOMPARE(files.filter("pages/"), QStringList({"pages/a5/index.htm", "pages/a5/index_files/picture.png",
                                                      "pages/a5/index_files/style.css"}));
        for (const QString &file : files)
            QVERIFY2(!readText(site() + "/" + file).contains("SECRET"), qPrintable(file));
        QVERIFY(QString::fromUtf8(readText(site() + "/items/a6.html"))
                    .contains("<p class=\"missing\">「 .bashrc 」はページとして表示できるファイルではないため、書き出していません。</p>"));
    }

    void aFilesFolderThatIsASymbolicLinkIsNotCopied()
    {
        // A link to a folder beside the page: its files would pass as lying in the page's folder.
        QVERIFY(QDir().rename(home() + "/pages/index_files", home() + "/pages/shared"));
        QVERIFY(QFile::link(home() + "/pages/shared", home() + "/pages/index_files"));
        QCOMPARE(exportBookCommand({book(), site()}).status, 0);
        QCOMPARE(filesUnder(site()).filter("pages/a5/"), QStringList({"pages/a5/index.htm"}));
    }

    void aPageNamedWithASpaceAHashAndJapaneseIsLinkedToItsFile()
    {
        writeText(home() + "/pages/my #1 ページ.html", "<p>page</p>");
        writeText(home() + "/book/a6url.txt", encodeSystemText(u"C:\\me\\pages\\my #1 ページ.html\r\n"));
        QCOMPARE(exportBookCommand({book(), site()}).status, 0);
        const QString page = site() + "/pages/a6/my #1 ページ.html";
        QVERIFY(QFileInfo(page).isFile());
        QVERIFY(targetsOf(site() + "/items/a6.html").contains(page));
        QVERIFY(targetsOf(site() + "/items/a6-page.html").contains(page));
    }

    void aNotesPicturesAreFilesBesideItsPage()
    {
        const QByteArray png = pngOf(QSize(3, 3), Qt::red);
        writeText(home() + "/book/a3.rtf",
                  "{\\rtf1\\ansi a{\\pict\\pngblip\\picw3\\pich3 " + hexOf(png) + "}b{\\pict\\wmetafile8\\picw100\\pich100 "
                      + hexOf(vectorWmf()) + "}{\\v secret}c\\par\n}");
        QCOMPARE(exportBookCommand({book(), site()}).status, 0);
        const QStringList links = linksOf(site() + "/items/a3.html");
        QVERIFY2(links.contains("a3-picture1.png") && links.contains("a3-picture2.svg"), qPrintable(links.join(' ')));
        QCOMPARE(readText(site() + "/items/a3-picture1.png"), png);
        QVERIFY(readText(site() + "/items/a3-picture2.svg").contains("WMF"));
        QVERIFY(!readText(site() + "/items/a3.html").contains("secret"));
    }

    void aNotesFontNameStaysAFontName_data()
    {
        QTest::addColumn<QByteArray>("fontTable"); // the name as the note's font table holds it
        QTest::addColumn<QString>("style");        // the style the text gets; empty: no font of its own
        QTest::addColumn<QString>("neverShown");   // what the name brings that must not reach the page
        QTest::newRow("font name") << QByteArray("MS UI Gothic") << "font-family:'MS UI Gothic'" << QString();
        QTest::newRow("Japanese font name") << QByteArray("\\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9")
                                            << "font-family:'ＭＳ 明朝'" << QString();
        QTest::newRow("declarations after quotes")
            << QByteArray("x\\'27\"\\'3b background-image:url(http://127.0.0.1:9/x)\\'3b a:\"b") << QString()
            << "127.0.0.1";
        QTest::newRow("closing the style") << QByteArray("Gothic\\'27\\'7d body \\'7bdisplay:none") << QString()
                                           << "display:none";
        QTest::newRow("closing the attribute") << QByteArray("Gothic\"><img src=x>") << QString() << "<img";
    }
    void aNotesFontNameStaysAFontName()
    {
        QFETCH(QByteArray, fontTable);
        QFETCH(QString, style);
        QFETCH(QString, neverShown);
        writeText(home() + "/book/a3.rtf",
                  "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fnil Default;}{\\f1\\fnil " + fontTable
                      + ";}}\\f0 plain {\\f1 styled}\\par\n}");
        QCOMPARE(exportBookCommand({book(), site()}).status, 0);
        const QString page = QString::fromUtf8(readText(site() + "/items/a3.html"));
        const QString before = page.left(page.indexOf("styled"));
        const QString tag = before.mid(before.lastIndexOf('<')); // the last tag before the text
        QVERIFY2(style.isEmpty() ? !tag.contains("font-family") : tag.contains(style), qPrintable(tag));
        if (!neverShown.isEmpty())
            QVERIFY2(!page.contains(neverShown), qPrintable(page));
    }

    void theSiteTakesTheUmasksModeAndWhatAKilledExportLeftGoes()
    {
        const QString out = m_dir->path() + "/out/";
        writeText(out + ".site.kobin-export-AbC123/site/index.html", "half written when killed");
        QVERIFY(QDir().mkpath(out + ".site.kobin-old-xYz789/items"));
        QVERIFY(QDir().mkpath(out + ".other.kobin-export-AbC123")); // another folder's export
        const mode_t umask = ::umask(027);
        const HtmlExport::Outcome outcome = exportTo(site());
        ::umask(umask);
        QCOMPARE(outcome, HtmlExport::Outcome::Written);
        QCOMPARE(entriesOf(out), QStringList({".other.kobin-export-AbC123", "site"}));
        QCOMPARE(modeOf(site()), 0750);
        QCOMPARE(modeOf(site() + "/items"), 0750);
        QCOMPARE(modeOf(site() + "/index.html"), 0640);
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
