// Joplin exports made here, as a RAW folder and as a .jex archive, imported as
// new books: what they give, and what damaged or hostile exports are refused.
#include "BookImport.h"
#include "ImportedBook.h"
#include "PictureFiles.h"
#include "RtfReader.h"
#include "TestArchives.h"
#include "TestFiles.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

using namespace kobin::import;

namespace {

using Files = QList<QPair<QByteArray, QByteArray>>;

QByteArray id(char digit)
{
    return QByteArray(32, digit);
}

// An item as Joplin writes it: title, body, then its properties ending in type_.
QByteArray item(int type, const QByteArray &itemId, const QByteArray &title, const QByteArray &body = {},
                const QByteArray &properties = {})
{
    QByteArray text = title.isNull() ? QByteArray() : title + "\n\n";
    if (!body.isEmpty())
        text += body + "\n\n";
    return text + "id: " + itemId + "\n" + properties
        + "created_time: 2021-08-07T17:03:33.718Z\nupdated_time: 2021-08-08T09:00:00.000Z\nencryption_cipher_text: \n"
          "encryption_applied: 0\ntype_: " + QByteArray::number(type);
}

QPair<QByteArray, QByteArray> file(const QByteArray &itemId, const QByteArray &text)
{
    return {itemId + ".md", text};
}

// Two nested notebooks, their notes in Joplin's order; a Markdown note with a heading, formats, a list, checkboxes, links to the
// web, another note, an attachment and a file, a table and a picture; an HTML to-do; a note whose
// notebook is missing; tags; and an encrypted item.
Files travelExport()
{
    const QByteArray markdown = "# 見出し\n\n**太字**と*斜体*と~~取消~~と`コード`\n\n- 傘\n- [ ] 切符\n- [x] 宿\n\n"
                                "[案内](https://example.jp/)、[荷物へ](:/" + id('2') + ")、[地図](:/" + id('5') + ")、"
                                "[外](file:///etc/passwd)\n\n| 名前 | 数 |\n|---|---|\n| りんご | 3 |\n\n![写真](:/" + id('4') + ")";
    return {
        file(id('a'), item(2, id('a'), "旅行", {}, "parent_id: \n")),
        file(id('b'), item(2, id('b'), "京都", {}, "parent_id: " + id('a') + "\n")),
        file(id('1'), item(1, id('1'), "紅葉メモ", markdown, "parent_id: " + id('b') + "\nis_todo: 0\nmarkup_language: 1\n")),
        file(id('2'), item(1, id('2'), "荷物", "<p>傘を<b>持つ</b></p>\n\n**星**",
                           "parent_id: " + id('a') + "\nis_todo: 1\ntodo_completed: 0\nmarkup_language: 2\n")),
        file(id('3'), item(1, id('3'), "迷子", "どこにもない", "parent_id: " + id('9') + "\n")),
        file(id('c'), item(1, id('c'), "B昼", {}, "parent_id: " + id('b') + "\n")),
        file(id('d'), item(1, id('d'), "a朝", {}, "parent_id: " + id('b') + "\n")),
        file(id('4'), item(4, id('4'), "写真.png", {}, "mime: image/png\nfile_extension: png\n")),
        file(id('5'), item(4, id('5'), "地図.pdf", {}, "mime: application/pdf\nfile_extension: pdf\n")),
        file(id('6'), item(5, id('6'), "秋")),
        file(id('7'), item(6, id('7'), QByteArray(), {}, "note_id: " + id('1') + "\ntag_id: " + id('6') + "\n")),
        file(id('e'), item(5, id('e'), "写真")),
        file(id('f'), item(6, id('f'), QByteArray(), {}, "note_id: " + id('1') + "\ntag_id: " + id('e') + "\n")),
        file(id('8'), "id: " + id('8') + "\nencryption_cipher_text: JED01abc\nencryption_applied: 1\ntype_: 1"),
        {"resources/" + id('4') + ".png", pngOf({4, 4}, Qt::red)},
        {"resources/" + id('5') + ".pdf", "%PDF-1.4"},
    };
}

QString writeFolder(const QString &folder, const Files &files)
{
    for (const auto &[name, bytes] : files)
        writeText(folder + u'/' + QString::fromUtf8(name), bytes);
    return folder;
}

QString writeJex(const QString &path, const Files &files)
{
    writeArchive(path, files, archive_write_set_format_pax_restricted);
    return path;
}

using Builder = std::function<QString(const QString &root)>;

Builder asFolder(const Files &files)
{
    return [files](const QString &root) { return writeFolder(root + "/エクスポート", files); };
}

Builder asJex(const Files &files)
{
    return [files](const QString &root) { return writeJex(root + "/メモ.jex", files); };
}

QString rtfOf(const QString &bookFolder)
{
    QString text;
    for (const QString &name : QDir(bookFolder).entryList({"*.rtf"}, QDir::Files, QDir::Name))
        text += QString::fromLatin1(readText(bookFolder + name));
    return text;
}

// The size in points the book's notes show the paragraph beginning with text at; 0 for none.
qreal shownSizeOf(const QString &bookFolder, const QString &text)
{
    for (const QString &name : QDir(bookFolder).entryList({"*.rtf"}, QDir::Files, QDir::Name)) {
        QTextDocument document;
        if (!kobin::rtf::readRtf(readText(bookFolder + name), document))
            continue;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
            if (block.text().startsWith(text))
                return block.begin().fragment().charFormat().fontPointSize();
        }
    }
    return 0;
}

// The source read only, and nothing but the book (or nothing at all) left in the program folder.
void importAndCheck(const Builder &build, NewBook &book, QTemporaryDir &root)
{
    const QString source = build(root.path());
    const QString app = root.path() + "/app/";
    QDir().mkpath(app);
    const QMap<QString, QByteArray> before = contentsOf(root.path());
    book = importNewBook(source, app + "b.iis", app);
    QCOMPARE(contentsOutside(root.path(), app), before);
    QCOMPARE(QDir(app).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
             book.written ? QStringList({"b", "b.iis"}) : QStringList());
    QVERIFY(!QFileInfo::exists("/tmp/evil-absolute.md"));
}

} // namespace

class TestJoplinImport : public QObject
{
    Q_OBJECT

private slots:
    void exports_data();
    void exports();
    void hostile_data();
    void hostile();
    void refused_data();
    void refused();
};

void TestJoplinImport::exports_data()
{
    QTest::addColumn<Builder>("build");
    QTest::newRow("RAW folder") << asFolder(travelExport());
    QTest::newRow(".jex") << asJex(travelExport());
    Files fromDot = travelExport();
    for (auto &entry : fromDot)
        entry.first.prepend("./");
    QTest::newRow(".jex of names from ./") << asJex(fromDot);
    QTest::newRow("an item of a RAW folder") << Builder([](const QString &root) {
        return writeFolder(root + "/エクスポート", travelExport()) + u'/' + id('a') + ".md";
    });
}

void TestJoplinImport::exports()
{
    QFETCH(Builder, build);
    QTemporaryDir root;
    NewBook book;
    importAndCheck(build, book, root);
    QVERIFY2(book.written, qPrintable(book.message));
    const QString bookFolder = root.path() + "/app/b/";
    QCOMPARE(outlineOf(root.path() + "/app/b.iis"), "旅行:f\n  京都:f\n    a朝:t\n    B昼:t\n    紅葉メモ:t\n  荷物:t\n迷子:t\n");
    const QString report = book.report.text();
    QVERIFY2(report.startsWith("取り込んだ項目: 7 個（フォルダ 2、テキスト 5、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 1、"),
             qPrintable(report));
    const QString notes = notesOf(bookFolder);
    for (const QString &expected : QStringList{"見出し/太字と斜体と取消とコード/", "☐ 切符/☑ 宿/", "案内、荷物へ、地図、外", "名前\t数\t/りんご\t3\t",
                                    "=傘を持つ/**星**", "=どこにもない"})
        QVERIFY2(notes.contains(expected), qPrintable(notes));
    for (const QString &expected :
         QStringList{"「紅葉メモ」 タグ: 写真, 秋、作成日時 2021-08-07 17:03:33 UTC、更新日時 2021-08-08 09:00:00 UTC、ノート「荷物」へのリンク（文字のまま）、"
          "添付ファイル「地図.pdf」へのリンク（文字のまま）、リンク「file:///etc/passwd」（文字のまま）",
          "「荷物」 ToDo（未完了）", "「" + id('8') + ".md」 暗号化されているため読めません"})
        QVERIFY2(report.contains(expected), qPrintable(report));
    // A heading is shown larger than the text: its size relative to the text becomes points.
    QVERIFY2(shownSizeOf(bookFolder, "見出し") > shownSizeOf(bookFolder, "太字") * 1.5,
             qPrintable(QString::number(shownSizeOf(bookFolder, "見出し"))));
    const QString rtf = rtfOf(bookFolder);
    QVERIFY(rtf.contains("HYPERLINK \"https://example.jp/\""));
    QVERIFY2(!rtf.contains("HYPERLINK \":/") && !rtf.contains("file:"), "only web links are kept");
}

void TestJoplinImport::hostile_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<QString>("message"); // in the report

    const QByteArray note = item(1, id('1'), "本文", "読めた");
    QTest::newRow("damaged metadata") << asFolder({file(id('1'), note),
                                                   file(id('2'), item(1, id('2'), "壊", "a", "これは項目ではない\n")),
                                                   file(id('3'), "題\n\n本文だけ"),
                                                   file(id('4'), item(1, "../../secret", "外"))})
        << QString("「" + id('2') + ".md」 Joplin の項目として読めません\n  「" + id('3') + ".md」 Joplin の項目として読めません\n  「"
                   + id('4') + ".md」 Joplin の項目として読めません");
    QTest::newRow("parents in a loop") << asJex({file(id('a'), item(2, id('a'), "甲", {}, "parent_id: " + id('b') + "\n")),
                                                 file(id('b'), item(2, id('b'), "乙", {}, "parent_id: " + id('a') + "\n")),
                                                 file(id('c'), item(2, id('c'), "丙", {}, "parent_id: " + id('c') + "\n")),
                                                 file(id('1'), item(1, id('1'), "中身", "輪の中", "parent_id: " + id('b') + "\n"))})
        << "取り込んだ項目: 4 個（フォルダ 3、テキスト 1、ホームページ 0、ブックマーク 0）\nページ: 0、絵: 0、ページのメモ: 0\n取り込めなかったもの（3 件）:\n"
           "  「丙」 親のノートブックが輪になっているため、一番上に置きました\n  「乙」 親のノートブックが輪になっているため、一番上に置きました\n";
    QTest::newRow("tar naming ../ and /, links and devices")
        << asJex({{"../" + id('2') + ".md", item(1, id('2'), "evil", "evil")},
                  {"/tmp/evil-absolute.md", item(1, id('3'), "evil", "evil")},
                  {id('4') + ".md@", "/etc/passwd"}, {"resources/" + id('5') + ".png@", "/etc/passwd"},
                  {id('6') + ".md!", {}}, file(id('1'), note)})
        << "「メモ.jex」 アーカイブの 5 個の項目（ファイルでないか、外を指す名前）";
    QTest::newRow("tar cut short") << Builder([note](const QString &root) {
        const QString path = writeJex(root + "/メモ.jex", {file(id('1'), note), {"resources/" + id('2') + ".png", QByteArray(20000, 'p')},
                                                         file(id('3'), item(1, id('3'), "後", "後"))});
        QFile(path).resize(8192);
        return path;
    }) << "「メモ.jex」 途中から壊れているため、その後の項目（";
    QTest::newRow("huge entry") << asJex({file(id('2'), item(4, id('2'), QByteArray(17 * 1024 * 1024, 'a'))), file(id('1'), note)})
        << QString("「" + id('2') + ".md」 大きすぎるか読めません");
    QTest::newRow("resource climbing out, resource missing")
        << Builder([note](const QString &root) {
               writeText(root + "/secret.png", pngOf({2, 2}, Qt::blue));
               writeText(root + "/j/resources/" + id('4') + ".x/kept", {});
               return writeFolder(root + "/j", {file(id('1'), item(1, id('1'), "絵", "![a](:/" + id('4') + ")![b](:/" + id('5') + ")")),
                                               file(id('4'), item(4, id('4'), "外", {}, "mime: image/png\nfile_extension: x/../../../secret.png\n")),
                                               file(id('5'), item(4, id('5'), "無", {}, "mime: image/png\nfile_extension: png\n"))});
           })
        << QString("「絵」 作成日時 2021-08-07 17:03:33 UTC、更新日時 2021-08-08 09:00:00 UTC、絵「:/" + id('5') + "」（読めません）、絵「:/"
                   + id('4') + "」（読めません）");
}

void TestJoplinImport::hostile()
{
    QFETCH(Builder, build);
    QFETCH(QString, message);
    QTemporaryDir root;
    NewBook book;
    importAndCheck(build, book, root);
    QVERIFY2(book.written, qPrintable(book.message));
    QVERIFY2(book.report.text().contains(message), qPrintable(book.report.text().left(2000)));
    QVERIFY2(book.report.pictures == 0, "nothing from outside the export");
    QDirIterator it(root.path() + "/app/b", QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        QVERIFY2(!readText(it.next()).contains("evil"), qPrintable(it.filePath()));
}

void TestJoplinImport::refused_data()
{
    QTest::addColumn<Builder>("build");
    QTest::addColumn<QString>("message");
    QTest::newRow("no tar") << Builder([](const QString &root) {
        writeText(root + "/x.jex", QByteArray(2048, 'x'));
        return root + "/x.jex";
    }) << "x.jex 」は Joplin のエクスポートとして読めません（Unrecognized archive format）。";
    QTest::newRow("only encrypted items")
        << asJex({file(id('1'), "id: " + id('1') + "\nencryption_cipher_text: JED01\nencryption_applied: 1\ntype_: 2")})
        << "メモ.jex 」には Joplin のノートもノートブックもありません。";
}

void TestJoplinImport::refused()
{
    QFETCH(Builder, build);
    QFETCH(QString, message);
    QTemporaryDir root;
    NewBook book;
    importAndCheck(build, book, root);
    QVERIFY(!book.written);
    QVERIFY2(book.message.contains(message), qPrintable(book.message));
}

QTEST_MAIN(TestJoplinImport)
#include "tst_joplinimport.moc"
