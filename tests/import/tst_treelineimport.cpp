// TreeLine documents, made here, imported as new books: what a document gives,
// and what a damaged or hostile one is refused or cut to without harm.
#include "BookImport.h"
#include "ImportedBook.h"
#include "PictureFiles.h"
#include "SmallStack.h"
#include "TestFiles.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <archive.h>
#include <archive_entry.h>
#include <functional>

using namespace kobin;
using namespace kobin::import;

namespace {

QByteArray gzipped(const QByteArray &bytes)
{
    QByteArray packed(static_cast<qsizetype>(bytes.size() / 100 + 4096), '\0');
    size_t used = 0;
    archive *writer = archive_write_new();
    archive_write_set_format_raw(writer);
    archive_write_add_filter_gzip(writer);
    archive_write_open_memory(writer, packed.data(), static_cast<size_t>(packed.size()), &used);
    archive_entry *entry = archive_entry_new();
    archive_entry_set_filetype(entry, AE_IFREG);
    archive_entry_set_size(entry, bytes.size());
    archive_write_header(writer, entry);
    archive_write_data(writer, bytes.constData(), static_cast<size_t>(bytes.size()));
    archive_entry_free(entry);
    archive_write_close(writer);
    archive_write_free(writer);
    packed.truncate(static_cast<qsizetype>(used));
    return packed;
}

QJsonObject field(const QString &name, const QString &type, const QString &prefix = {})
{
    return {{"fieldname", name}, {"fieldtype", type}, {"prefix", prefix}};
}

QJsonObject format(const QString &name, const QJsonArray &fields, const QString &titleLine, const QStringList &outputLines)
{
    return {{"formatname", name}, {"fields", fields}, {"titleline", titleLine},
            {"outputlines", QJsonArray::fromStringList(outputLines)}, {"formathtml", true}};
}

QJsonObject node(const QString &uid, const QString &format, const QJsonObject &data, const QStringList &children = {})
{
    return {{"uid", uid}, {"format", format}, {"data", data}, {"children", QJsonArray::fromStringList(children)}};
}

const QJsonObject kFolderFormat = format("フォルダ", {field("名前", "Text")}, "{*名前*}", {"{*名前*}"});

QByteArray document(const QJsonArray &formats, const QJsonArray &nodes, const QStringList &topNodes)
{
    return QJsonDocument(QJsonObject{{"formats", formats}, {"nodes", nodes},
                                     {"properties", QJsonObject{{"tlversion", "3.1.3"},
                                                                {"topnodes", QJsonArray::fromStringList(topNodes)}}}})
        .toJson();
}

// Two types; a note under two folders; fields of HTML (bold, list, links, a
// table), a mail link after a prefix, a link to a node, a picture, and a line
// left empty, its field's prefix with it.
QByteArray travelDocument()
{
    const QJsonObject memo = format("メモ",
                                    {field("題", "OneLineText"), field("本文", "HtmlText"), field("連絡", "ExternalLink", "<"),
                                     field("参照", "InternalLink"), field("写真", "Picture"), field("空き", "Text", "<")},
                                    "{*題*}（メモ）",
                                    {"<b>{*題*}</b>", "{*本文*}", "{*連絡*}", "参照先: {*参照*}", "{*写真*}", "空き: {*空き*}"});
    const QJsonArray nodes{
        node("t1", "フォルダ", {{"名前", "旅行"}}, {"n1", "n2"}),
        node("t2", "フォルダ", {{"名前", "予定"}}, {"n2"}),
        node("n1", "メモ",
             {{"題", "京都"},
              {"本文", "<i>紅葉</i>の<ul><li>傘</li><li>地図</li></ul><a href=\"https://example.jp/\">案内</a>"
                       "<table><tr><td>名前</td><td>数</td></tr><tr><td>りんご</td><td>3</td></tr></table>"},
              {"連絡", "<a href=\"mailto:a@example.jp\">a@example.jp</a>"},
              {"参照", "<a href=\"#n2\">荷物</a>"},
              {"写真", "<img src=\"絵/写真.png\" />"}}),
        node("n2", "メモ", {{"題", "荷物"}, {"本文", "傘と<a href=\"javascript:alert(1)\">水</a>"}}),
    };
    return document({kFolderFormat, memo}, nodes, {"t1", "t2"});
}

using Builder = std::function<QString(const QString &root)>;

QString writeTravel(const QString &root, const QString &name, const QByteArray &bytes)
{
    writeText(root + "/絵/写真.png", pngOf({3, 3}, Qt::green));
    writeText(root + "/" + name, bytes);
    return root + "/" + name;
}

// The raw RTF of every note of the book folder: its links and formats.
QByteArray rtfOf(const QString &bookFolder)
{
    QByteArray rtf;
    for (const QString &name : QDir(bookFolder).entryList({"*.rtf"}, QDir::Files, QDir::Name))
        rtf += readText(bookFolder + name);
    return rtf;
}

// Imports source, built in root, as a new book; the source and all but the book left as they were.
NewBook importAlone(const QString &root, const QString &source)
{
    const QString app = root + "/app/";
    QDir().mkpath(app);
    const QMap<QString, QByteArray> before = contentsOf(root);
    const NewBook book = importNewBook(source, app + "b.iis", app);
    QMap<QString, QByteArray> after = contentsOf(root);
    after.removeIf([&app](const auto &entry) { return entry.key().startsWith(app); });
    if (after != before)
        qWarning() << "changed outside the book:" << after.keys() << before.keys();
    const QStringList left = QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    if (after != before || left != (book.written ? QStringList({"b", "b.iis"}) : QStringList()))
        return {false, QStringLiteral("<wrote outside the book: %1>").arg(left.join(u' ')), {}};
    return book;
}

} // namespace

class TestTreeLineImport : public QObject
{
    Q_OBJECT

private slots:
    void documents_data();
    void documents();
    void hostile_data();
    void hostile();
    void foldersDeeperThanABookKeepTheirNotes();
};

void TestTreeLineImport::documents_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<QString>("outline");
    QTest::addColumn<QString>("counts");
    QTest::addColumn<QStringList>("inNotes");
    QTest::addColumn<QStringList>("inRtf");
    QTest::addColumn<QString>("reported");

    const QString travelOutline = "旅行:f\n  京都（メモ）:t\n  荷物（メモ）:t\n予定:f\n  荷物（メモ）:t\n";
    const QString travelCounts = "取り込んだ項目: 5 個（フォルダ 2、テキスト 3、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1";
    const QStringList travelNotes{"=京都/紅葉の/• 傘/• 地図/案内/名前\t数\t/りんご\t3\t//<a@example.jp/参照先: 荷物/\n", "=荷物/傘と水\n"};
    const QStringList travelRtf{"HYPERLINK \"https://example.jp/\"", "HYPERLINK \"mailto:a@example.jp\"", "\\pict"};
    const QString shared = "「荷物（メモ）」 2 個の親の下にあるため、それぞれに写しました";
    QTest::newRow(".trln") << Builder([](const QString &root) { return writeTravel(root, "旅.trln", travelDocument()); })
                           << travelOutline << travelCounts << travelNotes << travelRtf << shared;
    QTest::newRow("gzip compressed .trln")
        << Builder([](const QString &root) { return writeTravel(root, "旅.trln", gzipped(travelDocument())); })
        << travelOutline << travelCounts << travelNotes << travelRtf << shared;
    QTest::newRow("no output lines, a type not defined, no top nodes named") << Builder([](const QString &root) {
        const QJsonObject bare{{"formatname", "素"}, {"fields", QJsonArray{field("値", "Number"), field("名", "Text")}}};
        writeText(root + "/素.trln", QJsonDocument(QJsonObject{
            {"formats", QJsonArray{bare}},
            {"nodes", QJsonArray{node("a", "素", {{"名", "上"}, {"値", "1 < 2"}}, {"b"}),
                                 node("b", "無い型", {{"名前", "下"}, {"数", "3"}})}}}).toJson());
        return root + "/素.trln";
    }) << "1 < 2:f\n  下:t\n" << "取り込んだ項目: 2 個（フォルダ 1、テキスト 1" << QStringList{"=値: 1 < 2/名: 上\n", "=名前: 下/数: 3\n"}
       << QStringList{} << "取り込めなかったものはありません。";
    QTest::newRow("TreeLine 2 .trl") << Builder([](const QString &root) {
        writeText(root + "/古.trl", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>\n"
                  "<ROOT item=\"y\" tlversion=\"2.0.2\" line0=\"{*Name*}\" line1=\"{*Name*}\"><Name type=\"Text\">本棚</Name>\n"
                  "<BOOK item=\"y\" formathtml=\"y\" line0=\"{*Title*}\" line1=\"&lt;b&gt;{*Title*}&lt;/b&gt;\" line2=\"{*Link*}\">"
                  "<Title type=\"Text\">坊っちゃん</Title><Link type=\"ExternalLink\">&lt;a href=\"https://example.jp/\"&gt;青空&lt;/a&gt;</Link></BOOK>\n"
                  "<BOOK item=\"y\"><Title>草枕</Title></BOOK><EXTRA item=\"n\" line0=\"{*X*}\"><X type=\"Number\"/></EXTRA></ROOT>\n");
        return root + "/古.trl";
    }) << "本棚:f\n  坊っちゃん:t\n  草枕:t\n" << "取り込んだ項目: 3 個（フォルダ 1、テキスト 2" << QStringList{"=坊っちゃん/青空\n", "=草枕\n"}
       << QStringList{"HYPERLINK \"https://example.jp/\"", "\\b0"} << "取り込めなかったものはありません。";
}

void TestTreeLineImport::documents()
{
    QFETCH(Builder, build);
    QFETCH(QString, outline);
    QFETCH(QString, counts);
    QFETCH(QStringList, inNotes);
    QFETCH(QStringList, inRtf);
    QFETCH(QString, reported);
    QTemporaryDir root;
    const NewBook book = importAlone(root.path(), build(root.path()));
    QVERIFY2(book.written, qPrintable(book.message));
    const QString app = root.path() + "/app/";
    QCOMPARE(outlineOf(app + "b.iis"), outline);
    const QString report = book.report.text();
    QVERIFY2(report.startsWith(counts) && report.contains(reported), qPrintable(report));
    const QString notes = notesOf(app + "b/");
    for (const QString &expected : inNotes)
        QVERIFY2(notes.contains(expected), qPrintable(notes));
    const QByteArray rtf = rtfOf(app + "b/");
    for (const QString &expected : inRtf)
        QVERIFY2(rtf.contains(expected.toUtf8()), qPrintable(expected));
    QVERIFY2(!rtf.contains("javascript") && !rtf.contains("#n2"), "a link to a script or a node is no link");
}

void TestTreeLineImport::hostile_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<bool>("written");
    QTest::addColumn<QString>("message"); // in the report, or the failure

    const auto trln = [](const QByteArray &bytes) {
        return Builder([bytes](const QString &root) {
            writeText(root + "/d.trln", bytes);
            return root + "/d.trln";
        });
    };
    const auto folders = [](const QJsonArray &nodes, const QStringList &top) {
        return document({kFolderFormat}, nodes, top);
    };
    QTest::newRow("damaged JSON") << trln("{\"formats\": [], \"nodes\": [{\"uid\": ") << false
                                  << "d.trln 」は TreeLine の文書として読めません（34 バイト目";
    QTest::newRow("damaged .trl") << Builder([](const QString &root) {
        writeText(root + "/d.trl", "<ROOT item=\"y\" line0=\"{*N*}\"><N>上</N><F item=\"y\"><N>下</N></ROOT>");
        return root + "/d.trl";
    }) << false << "d.trl 」は TreeLine の文書として読めません（1 行目:";
    QTest::newRow("damaged gzip") << trln(gzipped(travelDocument()).chopped(40) + "evil") << false << "d.trln 」の圧縮が壊れています";
    QTest::newRow("gzip bomb") << trln(gzipped(QByteArray(40 * 1024 * 1024, ' '))) << false
                               << "d.trln 」の圧縮が壊れています（展開すると 32 MB を超えます）";
    QTest::newRow("children in a loop, a child that does not exist")
        << trln(folders({node("a", "フォルダ", {{"名前", "上"}}, {"b"}), node("b", "フォルダ", {{"名前", "下"}}, {"a", "無い"})}, {"a"}))
        << true << "「上」 二度目に出てきたため（親子の輪）\n  「無い」 文書にない項目を指しています";
    QJsonArray diamond{node("0a", "フォルダ", {{"名前", "上"}}, {"1a", "1b"})};
    for (int level = 1; level <= 20; ++level) {
        const QStringList next{QString("%1a").arg(level + 1), QString("%1b").arg(level + 1)};
        for (const char *side : {"a", "b"})
            diamond.append(node(QString::number(level) + side, "フォルダ", {{"名前", "段"}}, level < 20 ? next : QStringList()));
    }
    QTest::newRow("a node under two parents on every level") << trln(folders(diamond, {"0a"})) << true
                                                              << "「段」 写しが 1000 個を超えたため";
    QTest::newRow("huge field") << trln(folders({node("a", "フォルダ", {{"名前", QString(1536 * 1024, u'大')}})}, {"a"}))
                                << true << "「名前」の 1048576 文字より後（長すぎます）";
    QTest::newRow("pictures outside the document's folder") << Builder([](const QString &root) {
        writeText(root + "/secret.png", pngOf({2, 2}, Qt::red) + "evil");
        QDir().mkpath(root + "/d");
        QFile::link(root + "/secret.png", root + "/d/link.png");
        writeText(root + "/d/d.trln", document({format("絵", {field("絵", "Picture")}, "絵", {"{*絵*}"})},
                                               {node("a", "絵", {{"絵", "<img src=\"../secret.png\"><img src=\"link.png\">"
                                                                       "<img src=\"/etc/passwd\">"}})}, {"a"}));
        return root + "/d/d.trln";
    }) << true << "「絵」 絵「/etc/passwd」（読めません）、絵「link.png」（読めません）、絵「../secret.png」（読めません）";
}

void TestTreeLineImport::hostile()
{
    QFETCH(Builder, build);
    QFETCH(bool, written);
    QFETCH(QString, message);
    QTemporaryDir root;
    const NewBook book = importAlone(root.path(), build(root.path()));
    QCOMPARE(book.written, written);
    const QString said = book.written ? book.report.text() : book.message;
    QVERIFY2(said.contains(message), qPrintable(said.left(2000)));
    if (book.written)
        QVERIFY(!rtfOf(root.path() + "/app/b/").contains("evil"));
}

// A chain of folders deeper than any recursion, read on a small stack: past the
// depth a book holds, each folder becomes a text item with its note, followed by
// what it held, so that every level is kept, in order.
void TestTreeLineImport::foldersDeeperThanABookKeepTheirNotes()
{
    const auto name = [](int level) { return level < kDeeperThanAnyRecursion ? QString("f%1").arg(level) : QString("底"); };
    QJsonArray chain;
    for (int level = 0; level <= kDeeperThanAnyRecursion; ++level) {
        const QStringList child = level < kDeeperThanAnyRecursion ? QStringList{QString::number(level + 1)} : QStringList{};
        chain.append(node(QString::number(level), "フォルダ", {{"名前", name(level)}}, child));
    }
    QTemporaryDir root;
    writeText(root.path() + "/d.trln", document({kFolderFormat}, chain, {"0"}));
    NewBook book;
    runOnSmallStack([&] { book = importAlone(root.path(), root.path() + "/d.trln"); });
    QVERIFY2(book.written, qPrintable(book.message));
    const QString report = book.report.text();
    QVERIFY2(report.startsWith("取り込んだ項目: 5001 個（フォルダ 997、テキスト 4004")
                 && report.contains("4003 個のフォルダは階層が深すぎるため、テキスト項目にして中身をその後ろに並べました。"),
             qPrintable(report));

    const QString bookFolder = root.path() + "/app/b/";
    ItemTree tree;
    QCOMPARE(loadBookFile(root.path() + "/app/b.iis", tree).outcome, BookReading::Outcome::Read);
    const std::vector<OutlineEntry> entries = itemsInTreeOrder(tree);
    QCOMPARE(entries.size(), size_t(kDeeperThanAnyRecursion + 2));
    constexpr int kFolders = 997;
    for (int level = 0; level <= kDeeperThanAnyRecursion; ++level) {
        const OutlineEntry &entry = entries[size_t(level) + 1];
        const bool folder = level < kFolders;
        QCOMPARE(entry.item->text(), name(level));
        QCOMPARE(entry.depth, folder ? level + 1 : kFolders + 1);
        QCOMPARE(kindOf(*entry.item), folder ? ItemKind::Folder : ItemKind::Text);
    }
    for (int level : {0, kFolders - 1, kFolders, kDeeperThanAnyRecursion - 1}) {
        const QString note = bookFolder + entries[size_t(level) + 1].item->key() + ".rtf";
        QCOMPARE(richtext::loadPlainText(note, u"/").value_or("<unreadable>"), name(level));
    }
}

QTEST_MAIN(TestTreeLineImport)
#include "tst_treelineimport.moc"
