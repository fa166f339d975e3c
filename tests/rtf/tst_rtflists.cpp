#include "DocumentFormats.h"
#include "FieldInstructions.h"
#include "RtfReader.h"

#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextList>
#include <QtTest>

using kobin::rtf::readRtf;

// Lists, tab stops, hanging indents and link addresses as notes read them.
class TestRtfLists : public QObject
{
    Q_OBJECT

private slots:
    // Both forms of lists as the note reads them (DocumentFormats.h), and as text alone with their markers.
    void listsAreRead_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QString>("text");
        const QByteArray bullet = "{\\pntext\\f1\\'B7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'B7}}\\fi-360\\li360 ";
        const QByteArray numbers = "{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent0{\\pntxta .}}\\fi-360\\li360 ";
        QTest::newRow("bullets of the pn form") << bullet + "a\\par{\\pntext\\f1\\'B7\\tab}b\\par\\pard c"
            << QStringList{"<list0 style-1 indent1 #0 \"\" from1 hang360>", "<list0 style-1 indent1 #1 \"\" from1 hang360>", ""}
            << "\u2022 a\n\u2022 b\nc";
        QTest::newRow("an item's own markers give way to its list's")
            << QByteArray("\\pard\\ls1 a\\par{\\*\\pn}b")
            << QStringList{"<list0 style-4 indent1 #0 \".\" from1 hang0>", "<list0 style-4 indent1 #1 \".\" from1 hang0>"}
            << "1. a\n2. b";
        QTest::newRow("an empty item alone") << bullet << QStringList{"<list0 style-1 indent1 #0 \"\" from1 hang360>"} << "\u2022 ";
        QTest::newRow("numbers go on while their list does")
            << numbers + "a\\par " + numbers + "b\\par\\pard c\\par " + numbers + "d"
            << QStringList{"<list0 style-4 indent1 #0 \".\" from1 hang360>", "<list0 style-4 indent1 #1 \".\" from1 hang360>", "",
                           "<list1 style-4 indent1 #0 \".\" from1 hang360>"}
            << "1. a\n2. b\nc\n1. d";
        QTest::newRow("letters, roman numerals, start, prefix and suffix")
            << QByteArray("{\\*\\pn\\pnlvlbody\\pnucltr\\pnstart3{\\pntxtb (}{\\pntxta )}}a\\par\\pard"
                          "{\\*\\pn\\pnlvlbody\\pnlcrm\\pnstart4{\\pntxta .}}b\\par\\pard{\\*\\pn\\pnlvl3\\pnlcltr}c")
            << QStringList{"<list0 style-6 indent1 #0 \"()\" from3 hang0>",
                           "<list1 style-7 indent1 #0 \".\" from4 hang0>", "<list2 style-5 indent3 #0 \"\" from1 hang0>"}
            << "(C) a\niv. b\n    a c";
        const QByteArray table = "{\\*\\listtable{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f1\\fi-360\\li720}"
                                 "{\\listlevel\\levelnfc4\\levelstartat2{\\leveltext\\'03(\\'01);}\\fi-360\\li1440}\\listid9}}"
                                 "{\\*\\listoverridetable{\\listoverride\\listid9\\listoverridecount0\\ls1}}";
        QTest::newRow("Word's nested list")
            << table + "\\pard\\ls1\\fi-360\\li720 a\\par\\pard\\ls1\\ilvl1\\fi-360\\li1440 b\\par\\pard\\ls1\\ilvl1\\fi-360\\li1440 c\\par"
                       "\\pard d\\par\\pard\\ls1\\fi-360\\li720 e"
            << QStringList{"<list0 style-1 indent1 #0 \"\" from1 hang360>", "<list1 style-5 indent2 #0 \"()\" from2 hang360>",
                           "<list1 style-5 indent2 #1 \"()\" from2 hang360>", "", "<list0 style-1 indent1 #1 \"\" from1 hang360>"}
            << "\u2022 a\n  (b) b\n  (c) c\nd\n\u2022 e";
        QTest::newRow("Word's form before the pn form, with the pn form's marker")
            << table + "\\pard\\ls1\\ilvl1{\\*\\pn\\pnlvlbody\\pndec{\\pntxta ]}}a" << QStringList{"<list0 style-5 indent2 #0 \"]\" from2 hang0>"} << "  b] a";
        QTest::newRow("a list nowhere in the tables numbers") << QByteArray("\\pard\\ls5\\ilvl99 a\\par\\pard{\\*\\listtable{\\list{\\listlevel}}}\\ls2 b")
            << QStringList{"<list0 style-4 indent9 #0 \".\" from1 hang0>", "<list1 style-4 indent1 #0 \".\" from1 hang0>"}
            << "                1. a\n1. b";
        QTest::newRow("pn inside another group's words numbers nothing") << QByteArray("a{\\field\\pn}\\par b{\\b\\pn\\pnlvlblt}")
                                                                          << QStringList{"", ""} << "a\nb";
    }

    void listsAreRead()
    {
        QFETCH(QByteArray, body);
        QFETCH(QStringList, items);
        QFETCH(QString, text);
        const QByteArray rtf = "{\\rtf1{\\fonttbl{\\f1\\fcharset2 Symbol;}}" + body + "}";
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QStringList read;
        QList<const QTextList *> lists;
        for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
            read << testing::describeListItem(block, lists);
        QCOMPARE(read, items);
        QCOMPARE(kobin::rtf::readRtfText(rtf, u"\n").value_or(QString()), text);
    }

    // The text after a tab on the first line starts at a hanging indent, a list item's text there too.
    void hangingIndentsLineUpTheFirstLine_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("character");
        QTest::addColumn<int>("twips"); // where the character stands
        QTest::newRow("bullet typed before a tab") << QByteArray("\\fi-360\\li720 *\\tab text") << 2 << 720;
        QTest::newRow("past a tab stop before the indent") << QByteArray("\\fi-720\\li720\\tx180 *\\tab *\\tab text") << 4 << 720;
        QTest::newRow("past the indent") << QByteArray("\\fi-360\\li720\\tx1080 *\\tab *\\tab text") << 4 << 1080;
        QTest::newRow("list item") << QByteArray("{\\*\\pn\\pnlvlblt{\\pntxtb *}}\\fi-360\\li720 text") << 0 << 720;
        QTest::newRow("Word's list item, indented less than its level") << QByteArray("\\ls1\\ilvl2\\fi-360\\li720 text") << 0 << 720;
    }

    void hangingIndentsLineUpTheFirstLine()
    {
        QFETCH(QByteArray, body);
        QFETCH(int, character);
        QFETCH(int, twips);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\pard " + body + "\\par}", document));
        document.setDocumentMargin(0);
        document.size(); // lays the document out
        const QTextLayout *layout = document.begin().layout();
        QCOMPARE(qRound((layout->position().x() + layout->lineAt(0).cursorToX(character)) * 15), twips);
    }

    void tabStopsAreBounded()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 " + QByteArray("\\tx100").repeated(1000) + " a}", document));
        QCOMPARE(document.begin().blockFormat().tabPositions().size(), 64);
    }

    void linksPointWhereTheirInstructionSays_data()
    {
        QTest::addColumn<QString>("instruction");
        QTest::addColumn<QString>("target");
        QTest::newRow("quoted address") << "HYPERLINK \"https://example.jp/\"" << "https://example.jp/";
        QTest::newRow("bare address, any case") << " hyperlink https://example.jp/ " << "https://example.jp/";
        QTest::newRow("address and bookmark") << "HYPERLINK \"x.html\" \\l \"part 2\"" << "x.html#part 2";
        QTest::newRow("bookmark alone") << "HYPERLINK \\l \"top\"" << "#top";
        QTest::newRow("tip and frame are no address") << "HYPERLINK \\o \"tip\" \\t \"_blank\" \\m \"u\"" << "u";
        QTest::newRow("quote never closed") << "HYPERLINK \"https://a.jp/" << "https://a.jp/";
        QTest::newRow("switch at the end") << "HYPERLINK \\l" << "";
        QTest::newRow("no address") << "HYPERLINK" << "";
        QTest::newRow("another field") << "PAGE \\* MERGEFORMAT" << "";
        QTest::newRow("empty") << "" << "";
    }

    void linksPointWhereTheirInstructionSays()
    {
        QFETCH(QString, instruction);
        QFETCH(QString, target);
        QCOMPARE(kobin::rtf::hyperlinkTarget(instruction), target);
    }
};

QTEST_MAIN(TestRtfLists)
#include "tst_rtflists.moc"
