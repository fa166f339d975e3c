#include "DocumentFormats.h"
#include "RichTextFiles.h"
#include "RtfConversion.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTemporaryDir>
#include <QTextTable>
#include <QtTest>

using kobin::rtf::readRtf;
using kobin::rtf::readRtfText;
using kobin::rtf::writeRtf;

namespace {

QString describeBorder(double width, QTextFrameFormat::BorderStyle style, const QBrush &brush)
{
    if (style == QTextFrameFormat::BorderStyle_None || width <= 0)
        return QStringLiteral("-");
    return QStringLiteral("%1:%2%3").arg(int(style)).arg(qRound(width * 15))
        .arg(brush.color() == Qt::black ? QString() : QStringLiteral(":") + brush.color().name());
}

QString describeTable(const QTextTable &table);

// A frame's paragraphs' text and its tables, nested tables in parentheses.
QString describeFrame(QTextFrame::iterator it)
{
    QStringList items;
    for (; !it.atEnd(); ++it) {
        if (const auto *table = qobject_cast<QTextTable *>(it.currentFrame()))
            items << QStringLiteral("(") + describeTable(*table) + QStringLiteral(")");
        else
            items << it.currentBlock().text();
    }
    return items.join(u'/');
}

// Rows in lines; a cell: its span, right edges, borders (top left bottom right),
// background, vertical alignment and text; an absent cell "x", a covered one "^".
QString describeTable(const QTextTable &table)
{
    const QTextTableFormat format = table.format();
    QString out = QStringLiteral("%1x%2 align%3 left%4 gap%5 widths")
                      .arg(table.rows()).arg(table.columns()).arg(int(format.alignment()))
                      .arg(format.intProperty(kobin::rtf::kTableLeftProperty))
                      .arg(format.intProperty(kobin::rtf::kTableGapProperty));
    for (const QTextLength &width : format.columnWidthConstraints())
        out += QStringLiteral(" %1").arg(qRound(width.rawValue() * 15));
    for (int r = 0; r < table.rows(); ++r) {
        out += u'\n';
        for (int c = 0; c < table.columns(); ++c) {
            const QTextTableCell cell = table.cellAt(r, c);
            const QTextTableCellFormat f = cell.format().toTableCellFormat();
            if (f.boolProperty(kobin::rtf::kAbsentCellProperty)) {
                out += QStringLiteral("|x");
                continue;
            }
            if (cell.row() != r || cell.column() != c) {
                out += QStringLiteral("|^");
                continue;
            }
            QStringList edges;
            for (const int edge : f.property(kobin::rtf::kCellEdgesProperty).value<QList<int>>())
                edges << QString::number(edge);
            out += QStringLiteral("|%1x%2 e%3 b%4,%5,%6,%7 bg%8 v%9 pad%10,%11,%12,%13 \"%14\"")
                       .arg(cell.rowSpan()).arg(cell.columnSpan()).arg(edges.join(u','))
                       .arg(describeBorder(f.topBorder(), f.topBorderStyle(), f.topBorderBrush()),
                            describeBorder(f.leftBorder(), f.leftBorderStyle(), f.leftBorderBrush()),
                            describeBorder(f.bottomBorder(), f.bottomBorderStyle(), f.bottomBorderBrush()),
                            describeBorder(f.rightBorder(), f.rightBorderStyle(), f.rightBorderBrush()),
                            f.background().style() == Qt::NoBrush ? QStringLiteral("-") : f.background().color().name())
                       .arg(int(f.verticalAlignment()))
                       .arg(qRound(f.topPadding() * 15)).arg(qRound(f.leftPadding() * 15))
                       .arg(qRound(f.bottomPadding() * 15)).arg(qRound(f.rightPadding() * 15))
                       .arg(describeFrame(cell.begin()));
        }
    }
    return out;
}

QString describeTables(const QTextDocument &document)
{
    return describeFrame(document.rootFrame()->begin());
}

QString plainText(const QTextDocument &document)
{
    return kobin::richtext::plainText(document, u"\n", kobin::richtext::ListLeads::Shown);
}

const QByteArray kBorders = "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10";

} // namespace

class TestRtfTables : public QObject
{
    Q_OBJECT

private slots:
    void tablesReadIntoGrids_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("tables");
        QTest::newRow("widths from cellx")
            << QByteArray("{\\rtf1\\trowd\\trgaph108\\trleft-108\\cellx1000\\cellx3000\\pard\\intbl a\\cell b\\cell\\row}")
            << QString("/(1x2 align1 left-108 gap108 widths 1108 2000\n"
                       "|1x1 e1000 b-,-,-,- bg- v0 pad0,108,0,108 \"a\"|1x1 e3000 b-,-,-,- bg- v0 pad0,108,0,108 \"b\")/");
        QTest::newRow("borders, shading, alignment, padding")
            << QByteArray("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}\\trowd\\trqc\\trleft300"
                          "\\trpaddl20\\trpaddt40\\clbrdrt\\brdrdb\\brdrw30\\brdrcf1\\clbrdrb\\brdrdot\\brdrw15"
                          "\\clcbpat2\\clvertalb\\cellx2000\\clshdng2500\\clvertalc\\cellx4000\\pard\\intbl a\\cell b\\cell\\row}")
            << QString("/(1x2 align4 left300 gap0 widths 1700 2000\n"
                       "|1x1 e2000 b4:30:#ff0000,-,1:15,- bg#0000ff v5 pad40,20,0,0 \"a\""
                       "|1x1 e4000 b-,-,-,- bg#bfbfbf v3 pad40,20,0,0 \"b\")/");
        QTest::newRow("row borders where cells give none")
            << QByteArray("{\\rtf1\\trowd\\trbrdrt\\brdrs\\brdrw10\\trbrdrl\\brdrs\\brdrw10\\trbrdrb\\brdrs\\brdrw10\\trbrdrr\\brdrs\\brdrw10"
                          "\\trbrdrv\\brdrdb\\brdrw20\\clbrdrt\\brdrdot\\brdrw15\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row}")
            << QString("/(1x2 align1 left0 gap0 widths 1000 1000\n"
                       "|1x1 e1000 b1:15,3:10,3:10,4:20 bg- v0 pad0,0,0,0 \"a\"|1x1 e2000 b3:10,4:20,3:10,3:10 bg- v0 pad0,0,0,0 \"b\")/");
        QTest::newRow("a highlighted mark does not shade its cell")
            << QByteArray("{\\rtf1{\\colortbl;\\red0\\green0\\blue255;}\\trowd\\clcbpat1\\cellx1000\\cellx2000\\cellx3000"
                          "\\pard\\intbl\\cell{\\v b}\\cell\\highlight1 c\\cell\\row}")
            << QString("/(1x3 align1 left0 gap0 widths 1000 1000 1000\n"
                       "|1x1 e1000 b-,-,-,- bg#0000ff v0 pad0,0,0,0 \"\"|1x1 e2000 b-,-,-,- bg- v0 pad0,0,0,0 \"\uFFFC\""
                       "|1x1 e3000 b-,-,-,- bg- v0 pad0,0,0,0 \"c\")/");
        QTest::newRow("a row's words in a field are not the row's")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\pard\\intbl{\\field\\trgaph1\\trqc\\cellx5}a\\cell\\row}")
            << QString("/(1x1 align1 left0 gap0 widths 1000\n|1x1 e1000 b-,-,-,- bg- v0 pad0,0,0,0 \"\uFFFCa\")/");
        QTest::newRow("horizontal merge")
            << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\cellx3000\\pard\\intbl a\\cell\\cell c\\cell\\row}")
            << QString("/(1x3 align1 left0 gap0 widths 1000 1000 1000\n"
                       "|1x2 e1000,2000 b-,-,-,- bg- v0 pad0,0,0,0 \"a\"|^|1x1 e3000 b-,-,-,- bg- v0 pad0,0,0,0 \"c\")/");
        QTest::newRow("vertical merge")
            << QByteArray("{\\rtf1\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row"
                          "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell d\\cell\\row}")
            << QString("/(2x2 align1 left0 gap0 widths 1000 1000\n"
                       "|2x1 e1000 b-,-,-,- bg- v0 pad0,0,0,0 \"a\"|1x1 e2000 b-,-,-,- bg- v0 pad0,0,0,0 \"b\"\n"
                       "|^|1x1 e2000 b-,-,-,- bg- v0 pad0,0,0,0 \"d\")/");
        QTest::newRow("merged cell with text stays a cell")
            << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell b\\cell\\row}")
            << QString("/(1x2 align1 left0 gap0 widths 1000 1000\n"
                       "|1x1 e1000 b-,-,-,- bg- v0 pad0,0,0,0 \"a\"|1x1 e2000 b-,-,-,- bg- v0 pad0,0,0,0 \"b\")/");
        QTest::newRow("rows of other lengths, without cellx")
            << QByteArray("{\\rtf1\\trowd\\cellx500\\pard\\intbl a\\cell b\\cell\\row\\trowd\\pard\\intbl c\\cell\\row}")
            << QString("/(2x2 align1 left0 gap0 widths 500 1440\n"
                       "|1x1 e500 b-,-,-,- bg- v0 pad0,0,0,0 \"a\"|1x1 e1940 b-,-,-,- bg- v0 pad0,0,0,0 \"b\"\n"
                       "|1x1 e1440 b-,-,-,- bg- v0 pad0,0,0,0 \"c\"|x)/");
        QTest::newRow("nested table, Word's form")
            << QByteArray("{\\rtf1\\trowd\\cellx3000\\pard\\intbl before\\par\\pard\\intbl\\itap2 x\\nestcell y\\nestcell"
                          "{\\*\\nesttableprops\\trowd\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}"
                          "\\pard\\intbl\\itap1 after\\cell\\row\\pard end\\par}")
            << QString("/(1x1 align1 left0 gap0 widths 3000\n"
                       "|1x1 e3000 b-,-,-,- bg- v0 pad0,0,0,0 \"before/(1x2 align1 left0 gap0 widths 1000 1000\n"
                       "|1x1 e1000 b-,-,-,- bg- v0 pad0,0,0,0 \"x\"|1x1 e2000 b-,-,-,- bg- v0 pad0,0,0,0 \"y\")/after\")/end");
        QTest::newRow("paragraphs, formats and a list in a cell")
            << QByteArray("{\\rtf1\\trowd\\cellx3000\\pard\\intbl one\\par{\\b two}\\par{\\*\\pn\\pnlvlblt}\\intbl item\\cell\\row}")
            << QString("/(1x1 align1 left0 gap0 widths 3000\n|1x1 e3000 b-,-,-,- bg- v0 pad0,0,0,0 \"one/two/item\")/");
        QTest::newRow("cell outside a table is a tab") << QByteArray("{\\rtf1 a\\cell b\\row c}") << QString("a\tb/c");
    }

    void tablesReadIntoGrids()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, tables);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(describeTables(document), tables);
    }

    // rtf2txt's text: cells end with a tab, rows are lines, as they always were.
    void tablesAsPlainText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("table first and last")
            << QByteArray("{\\rtf1\\trowd\\cellx1000\\cellx2000\\pard\\intbl a\\cell b\\cell\\row\\pard\\intbl c\\cell d\\cell\\row}")
            << QString("a\tb\t\nc\td\t");
        QTest::newRow("between paragraphs")
            << QByteArray("{\\rtf1 x\\par\\trowd\\cellx1000\\pard\\intbl a\\par b\\cell\\row\\pard y\\par}")
            << QString("x\na\nb\t\ny");
        QTest::newRow("merged cells count as the cells read")
            << QByteArray("{\\rtf1\\trowd\\clmgf\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell\\cell\\row\\pard z}")
            << QString("a\t\t\nz");
        QTest::newRow("nested") << QByteArray("{\\rtf1\\pard\\intbl\\itap2 A\\nestcell B\\nestcell{\\*\\nesttableprops\\trowd"
                                              "\\cellx1000\\cellx2000\\nestrow}{\\nonesttables\\par}\\cell\\row\\pard end\\par}")
                                << QString("A\tB\t\n\t\nend");
        QTest::newRow("ragged rows") << QByteArray("{\\rtf1\\pard\\intbl a\\cell b\\cell\\row\\intbl c\\cell\\row}")
                                     << QString("a\tb\t\nc\t");
        QTest::newRow("text after the last cell") << QByteArray("{\\rtf1\\pard\\intbl a\\cell b\\row\\pard c}")
                                                  << QString("a\tb\t\nc");
        QTest::newRow("row never ended") << QByteArray("{\\rtf1\\pard\\intbl a\\cell b\\par\\pard c\\par}")
                                         << QString("a\tb\t\nc");
        QTest::newRow("empty paragraph before and after") << QByteArray("{\\rtf1\\par\\pard\\intbl a\\cell\\row\\pard\\par}")
                                                          << QString("a\t");
        QTest::newRow("an empty list item with an empty cell merged below it")
            << QByteArray("{\\rtf1\\trowd\\clvmgf\\cellx1000\\pard\\intbl\\ls1\\cell\\row\\trowd\\clvmrg\\cellx1000\\pard\\intbl\\cell\\row}")
            << QString("1. \t\n\t");
        QTest::newRow("an empty list item beside cells merged below")
            << QByteArray("{\\rtf1\\trowd\\clvmgf\\cellx1000\\cellx2000\\pard\\intbl\\ls1 a\\cell\\cell\\row"
                          "\\trowd\\clvmrg\\cellx1000\\cellx2000\\pard\\intbl\\cell b\\cell\\row}")
            << QString("1. a\t2. \t\n\tb\t");
        QTest::newRow("a list item with two cells merged below")
            << QByteArray("{\\rtf1\\ls1\\intbl a\\cell\\row\\clvmrg\\cellx1\\pard\\intbl\\cell\\row\\cell}")
            << QString("1. a\t\n\t\n\t");
    }

    void tablesAsPlainText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readRtfText(rtf, u"\n"), text);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(plainText(document), text);
    }

    // Reading what was written gives the same tables, and writing them again the same bytes.
    void tablesAreWrittenBackAsRead_data()
    {
        tablesReadIntoGrids_data();
    }

    void tablesAreWrittenBackAsRead()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        const QByteArray written = writeRtf(document);
        QTextDocument copy;
        QVERIFY(readRtf(written, copy));
        QCOMPARE(describeTables(copy), describeTables(document));
        QCOMPARE(testing::describe(copy), testing::describe(document));
        QCOMPARE(writeRtf(copy), written);
        QCOMPARE(readRtfText(written, u"\n"), readRtfText(rtf, u"\n"));
    }

    // Qt places a table as a whole; a row placed apart from the others keeps its place all the same.
    void rowsKeepWhereTheyStand()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\trowd\\trleft100\\cellx1000\\pard\\intbl a\\cell\\row"
                        "\\trowd\\trqc\\trleft500\\cellx1500\\pard\\intbl b\\cell\\row"
                        "\\trowd\\trleft100\\cellx1000\\pard\\intbl c\\cell\\row}",
                        document));
        const QByteArray written = writeRtf(document);
        QCOMPARE(written.count("\\trowd\\trgaph0\\trleft100\\cellx1000"), 2);
        QCOMPARE(written.count("\\trowd\\trgaph0\\trleft500\\trqc\\cellx1500"), 1);
        QTextDocument copy;
        QVERIFY(readRtf(written, copy));
        QCOMPARE(writeRtf(copy), written);
    }

    // A table with a border of its own (from HTML, from another program's note) keeps its grid.
    void aTablesOwnBorderGoesToItsCells()
    {
        QTextDocument document;
        QTextTableFormat format;
        format.setBorder(1);
        format.setBorderStyle(QTextFrameFormat::BorderStyle_Dotted);
        QTextTable *table = QTextCursor(&document).insertTable(1, 2, format);
        QTextTableCellFormat own;
        own.setTopBorder(2);
        own.setTopBorderStyle(QTextFrameFormat::BorderStyle_Double);
        table->cellAt(0, 1).setFormat(own);
        format.setBorderBrush(Qt::red);
        table->setFormat(format);
        const QByteArray written = writeRtf(document);
        QVERIFY2(written.contains("\\clbrdrt\\brdrdot\\brdrw15\\brdrcf1\\clbrdrl\\brdrdot\\brdrw15\\brdrcf1\\clbrdrb\\brdrdot\\brdrw15\\brdrcf1"
                                 "\\clbrdrr\\brdrdot\\brdrw15\\brdrcf1\\cellx4819\\clbrdrt\\brdrdb\\brdrw30\\clbrdrl\\brdrdot"),
                 written);
    }

    void tablesAreWrittenAsWordReadsThem()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\trowd\\trgaph108\\trleft-108\\clmgf\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell\\cell\\row"
                        "\\trowd\\cellx1000\\pard\\intbl\\itap2 n\\nestcell{\\*\\nesttableprops\\trowd\\cellx800\\nestrow}"
                        "\\pard\\intbl\\itap1\\cell\\row}", document));
        const QByteArray written = writeRtf(document);
        QVERIFY2(written.contains("\\trowd\\trgaph108\\trleft-108\\clmgf\\cellx1000\\clmrg\\cellx2000\\pard\\intbl a\\cell\r\n\\cell\\row"),
                 written);
        QVERIFY2(written.contains("\\pard\\intbl\\itap2 n\\nestcell\r\n{\\*\\nesttableprops\\trowd\\trgaph0\\trleft0\\cellx800\\nestrow}"), written);
    }

    // Hostile tables read into a document whose text is what rtf2txt gives and which writes back the same.
    void hostileTablesGiveSaneDocuments_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QByteArray wide = "{\\rtf1\\trowd\\pard\\intbl";
        for (int i = 0; i < 10000; ++i)
            wide += " c\\cell";
        wide += "\\row\\intbl x\\cell\\row}";
        QTest::newRow("10,000 cells in a row") << wide;
        QByteArray tall = "{\\rtf1\\trowd\\pard\\intbl";
        for (int i = 0; i < 2000; ++i)
            tall += " r\\cell\\row";
        QTest::newRow("a wide row, then many narrow ones") << wide.chopped(1) + tall + "}";
        QTest::newRow("cell outside a table") << QByteArray("{\\rtf1\\cell\\nestcell\\row\\nestrow a}");
        QTest::newRow("deeper than any table") << QByteArray("{\\rtf1\\pard\\intbl\\itap100000 a\\nestcell\\nestrow\\row b}");
        QTest::newRow("nesting never ended") << QByteArray("{\\rtf1\\pard\\intbl\\itap3 a\\nestcell\\itap1 b\\cell\\itap2 c}");
        QTest::newRow("rows out of order") << QByteArray("{\\rtf1\\pard\\intbl\\itap2\\row\\nestrow\\itap1 a\\nestrow b\\cell}");
        QTest::newRow("huge widths") << QByteArray("{\\rtf1\\trowd\\trleft-2147483648\\cellx2147483647\\cellx-5\\trgaph99999"
                                                   "\\clbrdrt\\brdrs\\brdrw999999\\cellx7\\pard\\intbl a\\cell b\\cell c\\cell\\row}");
        QTest::newRow("merges that do not fit") << QByteArray("{\\rtf1\\trowd\\clmrg\\cellx1\\clvmgf\\clmgf\\cellx2\\clmrg\\clvmrg\\cellx3"
                                                              "\\pard\\intbl\\cell\\cell\\cell\\row\\trowd\\clvmrg\\clmrg\\cellx1\\clvmrg"
                                                              "\\cellx2\\clmrg\\cellx3\\pard\\intbl\\cell\\cell\\cell\\row}");
        QTest::newRow("table in a field") << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt\\pard\\intbl a\\cell\\row}} b}");
        QTest::newRow("nested row ended in a field of nothing else") << QByteArray("{\\rtf1 l\\itap2{\\field\\nestrow}{\\row}");
    }

    void hostileTablesGiveSaneDocuments()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(plainText(document), readRtfText(rtf, u"\n").value());
        const QByteArray written = writeRtf(document);
        QTextDocument copy;
        QVERIFY(readRtf(written, copy));
        QCOMPARE(copy.toRawText(), document.toRawText());
        QCOMPARE(writeRtf(copy), written);
    }

    // rtf2html and the book's export: rows and cells, whose text is only ever text.
    void tablesAsHtml()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("note.rtf"));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("{\\rtf1\\trowd\\clcbpat1\\cellx1000\\cellx2000\\pard\\intbl <script>x</script>\\cell "
                   "</td></table>&amp;\\cell\\row\\pard after\\par}");
        file.close();
        const QString html = QString::fromUtf8(kobin::richtext::convertRtfFile(path, kobin::richtext::Conversion::Html).value());
        QCOMPARE(html.count(QStringLiteral("<table")), 1);
        QCOMPARE(html.count(QStringLiteral("<tr")), 1);
        QCOMPARE(html.count(QStringLiteral("<td")), 2);
        QVERIFY2(html.contains(QStringLiteral("&lt;script&gt;x&lt;/script&gt;")), qPrintable(html));
        QVERIFY2(html.contains(QStringLiteral("&lt;/td&gt;&lt;/table&gt;&amp;amp;")), qPrintable(html));
        QVERIFY(!html.contains(QStringLiteral("<script")));
    }

    // A note with Japanese text, merged cells, a nested table, borders and shading.
    void japaneseNoteKeepsItsTables()
    {
        const QByteArray rtf = testing::readBytes(QStringLiteral(KOBIN_RTF_DATA "/tables.rtf"));
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        const QString tables = describeTables(document);
        QVERIFY2(tables.startsWith(QString("表の前/(3x3 align4 left-108 gap108 widths 2108 2000 2000\n"
                                           "|1x2 e2000,4000 b3:10,3:10,3:10,3:10 bg#ddebf7 v0 pad0,108,0,108 \"結合したセル\"|^"
                                           "|1x1 e6000 b4:30:#ff0000,-,3:10,- bg- v0 pad0,108,0,108 \"二重線\"\n"
                                           "|2x1 e2000 b3:10,3:10,3:10,3:10 bg- v3")), qPrintable(tables));
        QVERIFY2(tables.contains("bg#cccccc v0 pad0,108,0,108 \"網掛け\""), qPrintable(tables));
        QVERIFY2(tables.contains("\"/(1x2 align1 left0 gap50 widths 900 1000\n"
                                 "|1x1 e900 b-,-,3:15,- bg- v0 pad0,50,0,50 \"入れ子１\""), qPrintable(tables));
        QVERIFY2(tables.contains("\"入れ子２\")/入れ子の後\"\n|^|"), qPrintable(tables));
        QVERIFY2(tables.endsWith("\"最後\")/表の後"), qPrintable(tables));
        const QByteArray written = writeRtf(document);
        QTextDocument copy;
        QVERIFY(readRtf(written, copy));
        QCOMPARE(describeTables(copy), tables);
        QCOMPARE(testing::describe(copy), testing::describe(document));
        QCOMPARE(writeRtf(copy), written);
        QCOMPARE(readRtfText(written, u"\n"), readRtfText(rtf, u"\n"));
        QCOMPARE(readRtfText(rtf, u"\n").value(),
                 QString("表の前\n結合したセル\t\t二重線\t\n縦に結合\t網掛け\t入れ子１\t入れ子２\t\n入れ子の後\t\n\t太字\t最後\t\n表の後"));
    }
};

QTEST_MAIN(TestRtfTables)
#include "tst_rtftables.moc"
