// Collections of other programs, made here, imported as new books: what each
// format gives, and what hostile or damaged input is refused without harm.
#include "BookImport.h"
#include "EnexData.h"
#include "ImportedBook.h"
#include "PictureFiles.h"
#include "SmallStack.h"
#include "TestArchives.h"
#include "TestFiles.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>
#include <sqlite3.h>

using namespace kobin;
using namespace kobin::import;

namespace {

void writeZip(const QString &path, const QList<QPair<QByteArray, QByteArray>> &entries)
{
    writeArchive(path, entries, archive_write_set_format_zip);
}

QByteArray page(const QByteArray &body)
{
    return "<html><head><meta charset=\"utf-8\"></head><body>" + body + "</body></html>";
}

QByteArray rdfDescription(const QByteArray &id, const QByteArray &type, const QByteArray &title,
                          const QByteArray &more = {})
{
    return "<RDF:Description RDF:about=\"urn:scrapbook:item" + id + "\" NS1:id=\"" + id + "\" NS1:type=\"" + type
        + "\" NS1:title=\"" + title + "\" " + more + "/>\n";
}

QByteArray rdfSequence(const QByteArray &about, const QList<QByteArray> &ids)
{
    QByteArray sequence = "<RDF:Seq RDF:about=\"urn:scrapbook:" + about + "\">\n";
    for (const QByteArray &id : ids)
        sequence += "<RDF:li RDF:resource=\"urn:scrapbook:item" + id + "\"/>\n";
    return sequence + "</RDF:Seq>\n";
}

void writeRdf(const QString &folder, const QByteArray &body, const QByteArray &prolog = {})
{
    writeText(folder + "/scrapbook.rdf",
              "<?xml version=\"1.0\"?>\n" + prolog
                  + "<RDF:RDF xmlns:NS1=\"http://amb.vis.ne.jp/mozilla/scrapbook-rdf#\" "
                    "xmlns:RDF=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
                  + body + "</RDF:RDF>\n");
}

// ScrapBook X: a folder holding a page with a picture and a comment, and a note; a bookmark and a
// separator at the top, descriptions before and after the sequences.
QString scrapBookX(const QString &root)
{
    const QString folder = root + "/sbx";
    writeRdf(folder, rdfDescription("20200101000002", "", "京都の紅葉", "NS1:comment=\"一行目 __BR__ 秋の写真メモ\" NS1:source=\"http://example.jp/\"")
                         + rdfSequence("root", {"20200101000001", "20200101000005", "20200101000004"})
                         + rdfSequence("item20200101000001", {"20200101000002", "20200101000003"})
                         + rdfDescription("20200101000001", "folder", "旅行")
                         + rdfDescription("20200101000003", "notex", "持ち物")
                         + rdfDescription("20200101000004", "bookmark", "しおり", "NS1:source=\"https://example.com/\"")
                         + rdfDescription("20200101000005", "separator", ""));
    writeText(folder + "/data/20200101000002/index.html", page("<p>嵐山の散策記録</p><img src=\"img/a.png\">"));
    writeText(folder + "/data/20200101000002/img/a.png", pngOf({4, 4}, Qt::red));
    writeText(folder + "/data/20200101000003/index.html",
              page("<p>傘と<b>地図</b></p><input type=\"checkbox\" checked>切符<img src=\"b.png\">"));
    writeText(folder + "/data/20200101000003/b.png", pngOf({3, 3}, Qt::blue));
    return folder;
}

// WebScrapBook: meta split over two files, a page folder, an .htz, a .maff, a single file, a
// Markdown note with a task list, a bookmark, and an item only the recycle bin lists.
QString webScrapBook(const QString &root)
{
    const QString folder = root + "/wsb";
    writeText(folder + "/tree/meta.js", "scrapbook.meta({"
              "\"f1\":{\"type\":\"folder\",\"title\":\"資料\"},"
              "\"p1\":{\"type\":\"\",\"title\":\"記事\",\"index\":\"p1/index.html\",\"comment\":\"要点のコメント\",\"source\":\"http://a.jp/\"},"
              "\"p2\":{\"type\":\"\",\"title\":\"圧縮\",\"index\":\"p2.htz\"}})");
    writeText(folder + "/tree/meta1.js", "scrapbook.meta({"
              "\"p3\":{\"type\":\"\",\"title\":\"マフ\",\"index\":\"p3.maff\"},"
              "\"p4\":{\"type\":\"\",\"title\":\"単一\",\"index\":\"p4.html\"},"
              "\"n1\":{\"type\":\"note\",\"title\":\"買い物\",\"index\":\"n1/index.html\"},"
              "\"b1\":{\"type\":\"bookmark\",\"title\":\"リンク集\",\"source\":\"https://b.jp/\"},"
              "\"r1\":{\"type\":\"\",\"title\":\"捨てた\",\"index\":\"r1/index.html\"}})");
    writeText(folder + "/tree/toc.js", "scrapbook.toc({\"root\":[\"f1\",\"p4\",\"n1\",\"b1\"],\"f1\":[\"p1\",\"p2\",\"p3\"],"
                                       "\"recycle\":[\"r1\"]})");
    writeText(folder + "/data/p1/index.html", page("<p>記事の本文</p>"));
    writeZip(folder + "/data/p2.htz", {{"index.html", page("<p>圧縮された本文</p>")}, {"i.png", pngOf({2, 2}, Qt::green)}});
    writeZip(folder + "/data/p3.maff", {{"p3/index.rdf", "<RDF/>"}, {"p3/index.html", page("<p>マフの本文</p>")}});
    writeText(folder + "/data/p4.html", page("<p>単一ファイルの本文</p>"));
    writeText(folder + "/data/n1/index.html", page("<p>redirect</p>"));
    writeText(folder + "/data/n1/index.md", "# 買い物\n\n- [x] 牛乳\n- [ ] パン\n\n![絵](c.png)\n");
    writeText(folder + "/data/n1/c.png", pngOf({2, 2}, Qt::yellow));
    writeText(folder + "/data/r1/index.html", page("<p>捨てた</p>"));
    return folder;
}

QByteArray enexNote(const QByteArray &title, const QByteArray &content, const QByteArray &more = {})
{
    return "<note><title>" + title + "</title><content><![CDATA[<?xml version=\"1.0\" encoding=\"UTF-8\"?>"
           "<!DOCTYPE en-note SYSTEM \"http://xml.evernote.com/pub/enml2.dtd\"><en-note>"
        + content + "</en-note>]]></content><created>20200131T235959Z</created>" + more + "</note>";
}

QByteArray enexResource(const QByteArray &bytes, const QByteArray &mime, const QByteArray &base64 = {})
{
    return "<resource><data encoding=\"base64\">\n" + (base64.isEmpty() ? bytes.toBase64() : base64) + "\n</data><mime>" + mime
        + "</mime><resource-attributes><file-name>f</file-name></resource-attributes></resource>";
}

void writeEnex(const QString &path, const QByteArray &notes)
{
    writeText(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE en-export SYSTEM "
                    "\"http://xml.evernote.com/pub/evernote-export3.dtd\">\n<en-export>" + notes + "</en-export>\n");
}

// Evernote: a clipped page with its picture, and a note with a to-do, a picture, a tag, an
// encrypted part and an attachment.
QString evernote(const QString &root)
{
    const QByteArray picture = pngOf({5, 5}, Qt::red);
    const QByteArray pdf = "%PDF-1.4 not really";
    const QString path = root + "/ノート.enex";
    writeEnex(path, enexNote("切り抜き", "<div>切り抜いた記事</div><en-media hash=\"" + md5(picture) + "\" type=\"image/png\"/>",
                             "<note-attributes><source-url>https://news.jp/1</source-url><source>web.clip7</source></note-attributes>"
                                 + enexResource(picture, "image/png"))
                        + enexNote("日記", "<div><en-todo checked=\"true\"/>洗濯</div><en-media hash=\"" + md5(picture)
                                       + "\" type=\"image/png\"/><en-crypt>secret</en-crypt><en-media hash=\"" + md5(pdf)
                                       + "\" type=\"application/pdf\"/>",
                                   "<tag>家</tag>" + enexResource(picture, "image/png") + enexResource(pdf, "application/pdf")));
    return path;
}

QByteArray ctdNode(const QByteArray &attributes, const QByteArray &content)
{
    return "<node " + attributes + ">" + content + "</node>\n";
}

void writeCtd(const QString &path, const QByteArray &nodes)
{
    writeText(path, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<cherrytree><bookmarks list=\"1\"/>" + nodes + "</cherrytree>\n");
}

// CherryTree's XML document: a node with formatted text, a web link, a link to a node, a table (its
// header stored last), a picture, a code box and an attached file, holding a code node.
QString cherryTreeXml(const QString &root)
{
    const QString path = root + "/メモ帳.ctd";
    const QByteArray picture = pngOf({4, 4}, Qt::red).toBase64();
    writeCtd(path, ctdNode("name=\"旅行\" unique_id=\"1\" tags=\"秋 京都\" readonly=\"1\" ts_creation=\"1600000000\"",
                           "<rich_text weight=\"heavy\">京都の紅葉</rich_text><rich_text>\n</rich_text>"
                           "<rich_text link=\"webs https://example.jp/\">案内</rich_text><rich_text link=\"node 2\">荷物へ</rich_text>"
                           "<rich_text>\n表:\n絵:\n</rich_text><rich_text scale=\"h1\" foreground=\"#ffff00000000\">終わり</rich_text>"
                           "<table char_offset=\"14\"><row><cell>りんご</cell><cell>3</cell></row>"
                           "<row><cell>名前</cell><cell>数</cell></row></table>"
                           "<encoded_png char_offset=\"18\">" + picture + "</encoded_png>"
                           "<encoded_png char_offset=\"19\" filename=\"地図.pdf\">JVBERg==</encoded_png>"
                           "<codebox char_offset=\"20\">print(1)</codebox>"
                           + ctdNode("name=\"荷物\" unique_id=\"2\" prog_lang=\"sh\"", "<rich_text>echo 傘 &lt;b&gt;</rich_text>"))
                       + ctdNode("name=\"日記\" unique_id=\"3\"", "<rich_text style=\"italic\">晴れ</rich_text>"));
    return path;
}

void writeCtb(const QString &path, const QByteArray &sql)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    sqlite3 *db = nullptr;
    QCOMPARE(sqlite3_open(QFile::encodeName(path).constData(), &db), SQLITE_OK);
    const QByteArray schema =
        "CREATE TABLE node (node_id INTEGER UNIQUE,name TEXT,txt TEXT,syntax TEXT,tags TEXT,is_ro INTEGER,is_richtxt INTEGER,"
        "has_codebox INTEGER,has_table INTEGER,has_image INTEGER,level INTEGER,ts_creation INTEGER,ts_lastsave INTEGER);"
        "CREATE TABLE codebox (node_id INTEGER,offset INTEGER,justification TEXT,txt TEXT,syntax TEXT,width INTEGER,"
        "height INTEGER,is_width_pix INTEGER,do_highl_bra INTEGER,do_show_linenum INTEGER);"
        "CREATE TABLE grid (node_id INTEGER,offset INTEGER,justification TEXT,txt TEXT,col_min INTEGER,col_max INTEGER);"
        "CREATE TABLE image (node_id INTEGER,offset INTEGER,justification TEXT,anchor TEXT,png BLOB,filename TEXT,link TEXT,time INTEGER);"
        "CREATE TABLE children (node_id INTEGER,father_id INTEGER,sequence INTEGER, master_id INTEGER);"
        "CREATE TABLE bookmark (node_id INTEGER UNIQUE,sequence INTEGER);";
    QCOMPARE(sqlite3_exec(db, (schema + sql).constData(), nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
}

QByteArray ctbNode(int id, const QByteArray &name, const QByteArray &text, const QByteArray &flags = "1,0,0,0")
{
    const QByteArray rich = "<?xml version=\"1.0\"?><node>" + text + "</node>";
    return "INSERT INTO node VALUES(" + QByteArray::number(id) + ",'" + name + "','" + rich + "','custom-colors','',0,"
        + flags + ",0,0,0);";
}

QByteArray ctbChild(int id, int parent, int sequence, int master = 0)
{
    return "INSERT INTO children VALUES(" + QByteArray::number(id) + "," + QByteArray::number(parent) + ","
        + QByteArray::number(sequence) + "," + QByteArray::number(master) + ");";
}

// CherryTree's database: a folder node with a table and a picture from their own tables, a
// plain-text child and a clone of it, and a node at the top.
QString cherryTreeDatabase(const QString &root)
{
    const QString path = root + "/メモ帳.ctb";
    writeCtb(path, ctbNode(1, "旅行", "<rich_text underline=\"single\">京都の紅葉</rich_text><rich_text>\n表:\n絵:</rich_text>", "1,0,1,1")
                       + "INSERT INTO grid VALUES(1,8,'left','<table><row><cell>りんご</cell></row><row><cell>名前</cell></row></table>',0,0);"
                       + "INSERT INTO image VALUES(1,12,'left','',X'" + pngOf({3, 3}, Qt::blue).toHex() + "','','',0);"
                       + "INSERT INTO node VALUES(2,'荷物','echo 傘','sh','',1,0,0,0,0,0,1600000000,0);"
                       + ctbNode(3, "日記", "<rich_text>晴れ</rich_text>")
                       + ctbChild(1, 0, 1) + ctbChild(2, 1, 1) + ctbChild(4, 1, 2, 2) + ctbChild(3, 0, 2));
    return path;
}

void writeNodeXml(const QString &folder, const QByteArray &attributes, const QByteArray &content = {})
{
    writeText(folder + "/node.xml", "<?xml version=\"1.0\"?><cherrytree><node " + attributes + ">" + content + "</node></cherrytree>");
}

// CherryTree's folder document: a node with a picture in a file beside it and a child, and a clone.
QString cherryTreeFolder(const QString &root)
{
    const QString folder = root + "/ノート";
    writeText(folder + "/subnodes.lst", "1,3");
    writeNodeXml(folder + "/1", "unique_id=\"1\" name=\"旅行\"",
                 "<rich_text>京都の紅葉</rich_text><encoded_png char_offset=\"5\" sha256sum=\"ab12\"/>");
    writeText(folder + "/1/ab12.png", pngOf({3, 3}, Qt::green));
    writeText(folder + "/1/subnodes.lst", "2");
    writeNodeXml(folder + "/1/2", "unique_id=\"2\" name=\"荷物\"", "<rich_text>傘</rich_text>");
    writeNodeXml(folder + "/3", "unique_id=\"3\" master_id=\"2\"");
    return folder;
}

// A Zim notebook: a page with sub-pages and a picture, a folder with no page
// file, pages out of name order on disk, and the cache Zim keeps.
QString zimNotebook(const QString &root)
{
    const QString notebook = root + "/メモ";
    writeText(notebook + "/notebook.zim", "[Notebook]\nname=メモ\n");
    writeText(notebook + "/.zim/index.db", "cache");
    writeText(notebook + "/旅行.txt",
              "Content-Type: text/x-zim-wiki\nWiki-Format: zim 0.6\nCreation-Date: Sun, 13 Sep 2020 10:00:00 +0900\n\n"
              "====== 旅行 ======\n**京都**の//紅葉// @秋\n* 傘\n\t* 地図\n1. 切符\n[ ] 宿\n[*] 電車\n\t[<] バス\n"
              "[[https://example.jp/|案内]]と[[日記:九月]]と[[a@example.jp]]\n{{./写真.png?width=200}}\n"
              "|名前|数|\n|----|---|\n|りんご|3|\n'''\necho **そのまま**\n'''\n");
    writeText(notebook + "/旅行/写真.png", pngOf({3, 3}, Qt::green));
    writeText(notebook + "/旅行/荷物_一覧.txt", "Content-Type: text/x-zim-wiki\n\n~~傘~~と''水''\n");
    writeText(notebook + "/日記/九月.txt", "晴れ");
    writeText(notebook + "/Abc.txt", "a");
    return notebook;
}

QString pagesOf(const QString &bookFolder)
{
    QString text;
    QDirIterator it(bookFolder + "pages", {"*.html", "*.htm"}, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        text += QString::fromUtf8(readText(it.next()));
    return text;
}

using Builder = std::function<QString(const QString &root)>;

} // namespace

class TestImport : public QObject
{
    Q_OBJECT

private slots:
    void formats_data();
    void formats();
    void hostile_data();
    void hostile();
    void deepCollections_data();
    void deepCollections();
    void protectedCherryTree_data();
    void protectedCherryTree();
    void refusesExistingBooks();
    void cancelLeavesNothing();
    void enexDataCutsLargeResources();
};

void TestImport::formats_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<QString>("outline");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QStringList>("inNotes");
    QTest::addColumn<QStringList>("inPages");
    QTest::addColumn<QStringList>("reported");

    QTest::newRow("ScrapBook X") << Builder(scrapBookX)
        << "旅行:f\n  京都の紅葉:h\n  持ち物:t\nしおり:t\n"
        << "取り込んだ項目: 4 個（フォルダ 1、テキスト 1、ホームページ 1、ブックマーク 1）\nページ: 1、絵: 1、ページのメモ: 1"
        << QStringList{"a3index.rtf=元のアドレス: http://example.jp//一行目/秋の写真メモ", "a4.rtf=傘と地図/☑切符",
                       "a5.rtf=https://example.com/"}
        << QStringList{"嵐山の散策記録"} << QStringList{"「京都の紅葉」 作成日時 2020-01-01 00:00:02"};
    QTest::newRow("WebScrapBook") << Builder(webScrapBook)
        << "資料:f\n  記事:h\n  圧縮:h\n  マフ:h\n単一:h\n買い物:t\nリンク集:t\n"
        << "取り込んだ項目: 7 個（フォルダ 1、テキスト 1、ホームページ 4、ブックマーク 1）\nページ: 4、絵: 1、ページのメモ: 1"
        << QStringList{"index.rtf=元のアドレス: http://a.jp//要点のコメント", "=買い物/☑ 牛乳/☐ パン/\n"}
        << QStringList{"記事の本文", "圧縮された本文", "マフの本文", "単一ファイルの本文"} << QStringList{};
    QTest::newRow("Evernote") << Builder(evernote)
        << "ノート:f\n  切り抜き:h\n  日記:t\n"
        << "取り込んだ項目: 3 個（フォルダ 1、テキスト 1、ホームページ 1、ブックマーク 0）\nページ: 1、絵: 1、ページのメモ: 0"
        << QStringList{"index.rtf=元のアドレス: https://news.jp/1", "a4.rtf=タグ: 家/☑洗濯［暗号化された部分］"}
        << QStringList{"切り抜いた記事", ".png\""}
        << QStringList{"「日記」 タグ（先頭の行に書きました）、作成日時 2020-01-31 23:59:59 UTC、添付ファイル「f」、暗号化された部分、添付ファイル（application/pdf）"};
    QTest::newRow("CherryTree .ctd") << Builder(cherryTreeXml)
        << "旅行:f\n  荷物:t\n日記:t\n"
        << "取り込んだ項目: 3 個（フォルダ 1、テキスト 2、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1、ページのメモ: 0"
        << QStringList{"京都の紅葉/案内荷物へ/表:/名前\t数\t/りんご\t3\t/絵:［添付ファイル「地図.pdf」］/print(1)/終わり", "echo 傘 <b>", "晴れ"}
        << QStringList{}
        << QStringList{"「旅行」 タグ: 秋 京都、読み取り専用、作成日時 2020-09-13", "ノートへのリンク（文字のまま）、添付ファイル「地図.pdf」"};
    QTest::newRow("CherryTree folder") << Builder(cherryTreeFolder)
        << "旅行:f\n  荷物:t\n荷物:t\n"
        << "取り込んだ項目: 3 個（フォルダ 1、テキスト 2、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1、ページのメモ: 0"
        << QStringList{"京都の紅葉", "=傘\n"} << QStringList{} << QStringList{"「荷物」 「荷物」の複製（内容を写しました）"};
    QTest::newRow("CherryTree .ctb") << Builder(cherryTreeDatabase)
        << "旅行:f\n  荷物:t\n  荷物:t\n日記:t\n"
        << "取り込んだ項目: 4 個（フォルダ 1、テキスト 3、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1、ページのメモ: 0"
        << QStringList{"京都の紅葉/表:/名前\t/りんご\t/絵:", "echo 傘", "晴れ"}
        << QStringList{}
        << QStringList{"「荷物」 読み取り専用、作成日時 2020-09-13", "「荷物」 「荷物」の複製（内容を写しました）"};

    QTest::newRow("Zim") << Builder(zimNotebook)
        << "Abc:t\n旅行:f\n  荷物 一覧:t\n日記:f\n  九月:t\n"
        << "取り込んだ項目: 5 個（フォルダ 2、テキスト 3、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1、ページのメモ: 0"
        << QStringList{"a3.rtf=旅行/京都の紅葉 @秋/• 傘/  • 地図/1. 切符/☐ 宿/☑ 電車/☒ バス/案内と日記:九月とa@example.jp//名前\t数\t/りんご\t3\t/echo **そのまま**\n", "=傘と水\n", "a5.rtf=\n", "晴れ"}
        << QStringList{}
        << QStringList{"「旅行」 作成日時 Sun, 13 Sep 2020 10:00:00 +0900、タグ @秋、ページへのリンク「日記:九月」（文字のまま）\n"};
}

void TestImport::formats()
{
    QFETCH(Builder, build);
    QFETCH(QString, outline);
    QFETCH(QString, counts);
    QFETCH(QStringList, inNotes);
    QFETCH(QStringList, inPages);
    QFETCH(QStringList, reported);
    QTemporaryDir root;
    const QString source = build(root.path());
    const QString app = root.path() + "/app/";
    QDir().mkpath(app);
    const QMap<QString, QByteArray> before = contentsOf(root.path());
    const NewBook book = importNewBook(source, app + "b.iis", app);
    QVERIFY2(book.written, qPrintable(book.message));
    QCOMPARE(outlineOf(app + "b.iis"), outline);
    const QString report = book.report.text();
    QVERIFY2(report.startsWith(counts), qPrintable(report));
    const QString notes = notesOf(app + "b/");
    QVERIFY2(!notes.contains("<unreadable>"), qPrintable(notes));
    for (const QString &expected : inNotes)
        QVERIFY2(notes.contains(expected), qPrintable(notes));
    const QString pages = pagesOf(app + "b/");
    for (const QString &expected : inPages)
        QVERIFY2(pages.contains(expected), qPrintable(expected));
    for (const QString &expected : reported)
        QVERIFY2(report.contains(expected), qPrintable(report));
    QVERIFY2(!notes.contains("捨てた") && !pages.contains("捨てた"), "the recycle bin is no item");
    // The source is read only; nothing but the book is left in the program folder.
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList({"b", "b.iis"}));
    const QMap<QString, QByteArray> after = contentsOutside(root.path(), app);
    QCOMPARE(after, before);
}

void TestImport::hostile_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message"); // in the report, or the failure

    const auto oneWsbPage = [](const QByteArray &index, const std::function<void(const QString &)> &data) {
        return Builder([index, data](const QString &root) {
            writeText(root + "/w/tree/meta.js", "scrapbook.meta({\"p\":{\"type\":\"\",\"title\":\"頁\",\"index\":\"" + index + "\"}})");
            writeText(root + "/w/tree/toc.js", "scrapbook.toc({\"root\":[\"p\"]})");
            data(root + "/w/data/");
            return root + "/w";
        });
    };
    QTest::newRow("zip entries naming ../ and /") << oneWsbPage("p.htz", [](const QString &data) {
        writeZip(data + "p.htz", {{"../../../evil.html", "evil"}, {"/tmp/evil-absolute.html", "evil"},
                                  {"link@", "/etc/passwd"}, {"index.html", page("ok")}});
    }) << true << "アーカイブの 3 個の項目（ファイルでないか、外を指す名前）";
    QTest::newRow("damaged zip") << oneWsbPage("p.htz", [](const QString &data) {
        writeText(data + "p.htz", "PK\x03\x04 this is no zip at all");
    }) << true << "アーカイブ";
    QTest::newRow("index climbing out") << oneWsbPage("../../evil/index.html", [](const QString &data) {
        QDir().mkpath(data);
        writeText(QDir::cleanPath(data + "../../evil/index.html"), page("evil"));
    }) << true << "がないか、コレクションの外を指しています";
    QTest::newRow("page folder linked out") << Builder([](const QString &root) {
        writeRdf(root + "/s", rdfSequence("root", {"20200101000001"}) + rdfDescription("20200101000001", "", "外"));
        writeText(root + "/outside/index.html", page("evil"));
        QDir().mkpath(root + "/s/data");
        QFile::link(root + "/outside", root + "/s/data/20200101000001");
        return root + "/s";
    }) << true << "「外」 作成日時 2020-01-01 00:00:01、ページ（保存されたファイルがありません）";
    QTest::newRow("file linked out of a page") << Builder([](const QString &root) {
        writeRdf(root + "/s", rdfSequence("root", {"20200101000001"}) + rdfDescription("20200101000001", "", "頁"));
        writeText(root + "/s/data/20200101000001/index.html", page("ok"));
        writeText(root + "/secret.txt", "evil");
        QFile::link(root + "/secret.txt", root + "/s/data/20200101000001/evil.txt");
        return root + "/s";
    }) << true << "取り込んだ項目: 1 個";
    QTest::newRow("entity expansion") << Builder([](const QString &root) {
        QByteArray entities = "<!DOCTYPE r [<!ENTITY a0 \"evilevilevilevil\">";
        for (int i = 1; i < 20; ++i)
            entities += "<!ENTITY a" + QByteArray::number(i) + " \"&a" + QByteArray::number(i - 1) + ";&a"
                + QByteArray::number(i - 1) + ";\">";
        writeRdf(root + "/s", rdfDescription("20200101000001", "bookmark", "&a19;"), entities + "]>\n");
        return root + "/s";
    }) << false << "scrapbook.rdf の";
    QTest::newRow("sequence holding itself") << Builder([](const QString &root) {
        writeRdf(root + "/s", rdfSequence("root", {"1"}) + rdfSequence("item1", {"1", "2"}) + rdfDescription("1", "folder", "輪")
                                  + rdfDescription("2", "bookmark", "中"));
        return root + "/s";
    }) << true << "「urn:scrapbook:item1」 二度目に出てきたため";
    QTest::newRow("damaged base64") << Builder([](const QString &root) {
        writeEnex(root + "/e.enex", enexNote("n", "<div>本文</div>", enexResource({}, "image/png", "iVBO!!!!")));
        return root + "/e.enex";
    }) << true << "資料「f」（base64 が壊れています）";
    QTest::newRow("note broken part way") << Builder([](const QString &root) {
        writeEnex(root + "/e.enex", enexNote("壊れた", "<div>読めた</div>", "<tag>a</b></note>"));
        return root + "/e.enex";
    }) << true << "行目より後\n  「e」";
    QTest::newRow(".ctb without its node table") << Builder([](const QString &root) {
        writeCtb(root + "/d.ctb", "DROP TABLE node;" + ctbChild(1, 0, 1));
        return root + "/d.ctb";
    }) << false << "は CherryTree の文書として読めません";
    QTest::newRow(".ctb without its children table") << Builder([](const QString &root) {
        writeCtb(root + "/n.ctb", ctbNode(1, "上", "<rich_text>a</rich_text>") + "DROP TABLE children;");
        return root + "/n.ctb";
    }) << false << "は CherryTree の文書として読めません";
    QTest::newRow(".ctb children in a loop") << Builder([](const QString &root) {
        writeCtb(root + "/l.ctb", ctbNode(1, "上", "<rich_text>a</rich_text>") + ctbNode(2, "輪", "<rich_text>b</rich_text>")
                                      + ctbNode(3, "輪2", "<rich_text>c</rich_text>") + ctbChild(1, 0, 1) + ctbChild(1, 1, 2)
                                      + ctbChild(2, 3, 1) + ctbChild(3, 2, 1));
        return root + "/l.ctb";
    }) << true << "「ノード 1」 二度目に出てきたため（親子の輪）\n  「ノード 2 個」 一番上からたどれないため";
    QTest::newRow(".ctd objects past the text") << Builder([](const QString &root) {
        writeCtd(root + "/o.ctd", ctdNode("name=\"n\"", "<rich_text>ab</rich_text><codebox char_offset=\"2\">x</codebox>"
                                                            "<codebox char_offset=\"99999999999\">y</codebox>"));
        return root + "/o.ctd";
    }) << true << "「n」 本文の外の位置にある 1 個の物（末尾に置きました）";
    QTest::newRow("damaged .ctd") << Builder([](const QString &root) {
        writeText(root + "/x.ctd", "<cherrytree><node name=\"a\"><rich_text>ok</rich_text></node><node name=\"b\"><rich_text>");
        return root + "/x.ctd";
    }) << true << "「x.ctd」 1 行目より後";
    QTest::newRow("CherryTree folder linked out, ids climbing out or repeated") << Builder([](const QString &root) {
        writeText(root + "/c/subnodes.lst", "1,../evil,2,1");
        writeNodeXml(root + "/c/1", "name=\"一\"", "<rich_text>a</rich_text>");
        writeNodeXml(root + "/outside", "name=\"evil\"", "<rich_text>evil</rich_text>");
        QFile::link(root + "/outside", root + "/c/2");
        return root + "/c";
    }) << true << "「subnodes.lst」 「../evil」（ノードの番号ではありません）\n  「2/」 node.xml がないか、フォルダの外を指しています\n"
                  "  「ノード 1」 二度目に出てきたため（親子の輪）";
    const auto zimPage = [](const QString &notebook, const QString &page, const QByteArray &text) {
        writeText(notebook + "/notebook.zim", "[Notebook]\n");
        writeText(notebook + "/" + page, text);
    };
    QTest::newRow("Zim pages linked out, in a loop, a picture climbing out") << Builder([zimPage](const QString &root) {
        zimPage(root + "/n", "A.txt", "{{../../secret.png}}");
        writeText(root + "/secret.png", "evil");
        writeText(root + "/outside/evil.txt", "evil");
        QFile::link(root + "/outside/evil.txt", root + "/n/外.txt");
        QFile::link(root + "/outside", root + "/n/外");
        QDir().mkpath(root + "/n/A");
        QFile::link(root + "/n/A", root + "/n/A/輪");
        return root + "/n";
    }) << true << "「外」 ノートブックのフォルダの外を指しています\n  「外.txt」 ノートブックのフォルダの外を指しています\n"
                  "  「A/輪」 二度目に出てきたため（フォルダへのリンクの輪）\n  「A」 絵「../../secret.png」（ないか読めません）";
    QTest::newRow("huge Zim page") << Builder([zimPage](const QString &root) {
        zimPage(root + "/n", "大.txt", QByteArray(17 * 1024 * 1024, 'a'));
        return root + "/n";
    }) << true << "「大」 本文（大.txt が大きすぎるか読めません）";
    QTest::newRow("no collection") << Builder([](const QString &root) {
        writeText(root + "/x/readme.txt", "hello");
        return root + "/x";
    }) << false << "には取り込めるもの";
}

void TestImport::hostile()
{
    QFETCH(Builder, build);
    QFETCH(bool, written);
    QFETCH(QString, message);
    QTemporaryDir root;
    const QString source = build(root.path());
    const QString app = root.path() + "/app/";
    QDir().mkpath(app);
    const QMap<QString, QByteArray> before = contentsOf(root.path());
    const NewBook book = importNewBook(source, app + "b.iis", app);
    QCOMPARE(book.written, written);
    const QString said = book.written ? book.report.text() : book.message;
    QVERIFY2(said.contains(message), qPrintable(said.left(2000)));
    // Nothing outside the new book was written, and nothing of the source changed.
    const QMap<QString, QByteArray> after = contentsOutside(root.path(), app);
    QCOMPARE(after.keys(), before.keys());
    QCOMPARE(after, before);
    QVERIFY(!QFileInfo::exists("/tmp/evil-absolute.html"));
    const QStringList left = QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    QCOMPARE(left, book.written ? QStringList({"b", "b.iis"}) : QStringList());
    if (book.written) {
        QDirIterator it(app + "b", QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            QVERIFY2(!readText(it.next()).contains("evil"), qPrintable(it.filePath()));
    }
}

void TestImport::deepCollections_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<QString>("report");

    QTest::newRow("ScrapBook X folders") << Builder([](const QString &root) {
        QByteArray rdf = rdfSequence("root", {"0"});
        for (int i = 0; i < kDeeperThanAnyRecursion; ++i) {
            rdf += rdfSequence("item" + QByteArray::number(i), {QByteArray::number(i + 1)});
            rdf += rdfDescription(QByteArray::number(i), "folder", "f");
        }
        writeRdf(root + "/s", rdf + rdfDescription(QByteArray::number(kDeeperThanAnyRecursion), "bookmark", "底"));
        return root + "/s";
    }) << "取り込んだ項目: 5001 個（フォルダ 997、テキスト 4003、ホームページ 0、ブックマーク 1）";
    QTest::newRow(".ctd nodes") << Builder([](const QString &root) {
        writeCtd(root + "/deep.ctd", QByteArray("<node name=\"f\">").repeated(kDeeperThanAnyRecursion)
                                         + QByteArray("</node>").repeated(kDeeperThanAnyRecursion));
        return root + "/deep.ctd";
    }) << "取り込んだ項目: 5000 個（フォルダ 997、テキスト 4003、ホームページ 0、ブックマーク 0）";
}

// Collections nested deeper than any recursion, read on a small stack: every
// level is kept, the folders past a book's depth as text items.
void TestImport::deepCollections()
{
    QFETCH(Builder, build);
    QFETCH(QString, report);
    QTemporaryDir root;
    const QString source = build(root.path());
    NewBook book;
    runOnSmallStack([&] { book = importNewBook(source, root.filePath("b.iis"), root.path() + u'/'); });
    QVERIFY2(book.written, qPrintable(book.message));
    QVERIFY2(book.report.text().startsWith(report), qPrintable(book.report.text().left(2000)));
}

void TestImport::protectedCherryTree_data()
{
    QTest::addColumn<QString>("document"); // what the archive holds
    QTest::addColumn<QVariant>("password"); // none asked for when null
    QTest::addColumn<QString>("said");

    QTest::newRow("right password") << "メモ帳.ctd" << QVariant("秘密 pass") << "取り込んだ項目: 3 個";
    QTest::newRow("wrong password") << "メモ帳.ctd" << QVariant("違う") << "メモ帳.ctz 」 のパスワードが違います。";
    QTest::newRow("no password") << "メモ帳.ctd" << QVariant() << "メモ帳.ctz 」 を開くにはパスワードが要ります。";
    QTest::newRow("no document inside") << "readme.txt" << QVariant("秘密 pass") << " は CherryTree の保護された文書ではありません。";
}

void TestImport::protectedCherryTree()
{
    QFETCH(QString, document);
    QFETCH(QVariant, password);
    QFETCH(QString, said);
    QTemporaryDir root;
    const QString inner = root.path() + "/inner/" + document;
    QVERIFY(QFile::rename(cherryTreeXml(root.path()), QDir(root.path()).filePath("x")));
    QDir().mkpath(root.path() + "/inner");
    QVERIFY(QFile::rename(root.path() + "/x", inner));
    QProcess pack;
    pack.start("7z", {"a", "-p秘密 pass", "-bd", root.path() + "/メモ帳.ctz", inner});
    QVERIFY(pack.waitForFinished() && pack.exitCode() == 0);
    QVERIFY(QDir(root.path() + "/inner").removeRecursively());
    const QString app = root.path() + "/app/";
    QDir().mkpath(app);
    const QMap<QString, QByteArray> before = contentsOf(root.path());
    const NewBook book = importNewBook(root.path() + "/メモ帳.ctz", app + "b.iis", app, {}, [&password](const QString &name) {
        return password.isNull() ? std::nullopt : std::optional<QString>(name == "メモ帳" ? password.toString() : QString());
    });
    const QString text = book.written ? book.report.text() : book.message;
    QVERIFY2(text.contains(said), qPrintable(text));
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             book.written ? QStringList({"b", "b.iis"}) : QStringList());
    const QMap<QString, QByteArray> after = contentsOutside(root.path(), app);
    QCOMPARE(after, before);
}

void TestImport::refusesExistingBooks()
{
    QTemporaryDir root;
    const QString source = scrapBookX(root.path());
    const QString app = root.path() + "/app/";
    writeText(app + "file.iis", "kept");
    QDir().mkpath(app + "folder");
    QCOMPARE(importNewBook(source, app + "file.iis", app).message, "「 " + app + "file.iis 」 はすでにあります。新しいブックの名前を指定してください。");
    QVERIFY(importNewBook(source, app + "folder.iis", app).message.contains("がすでにあります"));
    QCOMPARE(readText(app + "file.iis"), QByteArray("kept"));
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList({"file.iis", "folder"}));
}

void TestImport::cancelLeavesNothing()
{
    QTemporaryDir root;
    const QString source = webScrapBook(root.path());
    const QString app = root.path() + "/app/";
    QDir().mkpath(app);
    int calls = 0;
    const NewBook book = importNewBook(source, app + "b.iis", app, [&calls](int, int) { return ++calls < 3; });
    QVERIFY(!book.written);
    QCOMPARE(book.message, QStringLiteral("取り込みを中止しました。"));
    QCOMPARE(calls, 3);
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
}

void TestImport::enexDataCutsLargeResources()
{
    QTemporaryDir root;
    const QByteArray large(5000, 'A');
    const QByteArray text = "<a><![CDATA[<data>" + large + "</data>]]><!-- <data> --><data x=\"1\">" + large
        + "</data><data>QUJD</data><data/></a>";
    writeText(root.path() + "/e.enex", text);
    EnexData data(root.path() + "/e.enex", 1000);
    QVERIFY(data.open(QIODevice::ReadOnly));
    QCOMPARE(data.readAll(), "<a><![CDATA[<data>" + large + "</data>]]><!-- <data> --><data x=\"1\">" + EnexData::kTooLarge
                                 + "</data><data>QUJD</data><data/></a>");
}

QTEST_MAIN(TestImport)
#include "tst_import.moc"
