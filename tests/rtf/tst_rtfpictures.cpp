// Pictures, embedded objects, footnotes and hidden text: what the editor does not edit
// stays in the note exactly as it was read.
#include "KeptObjects.h"
#include "PictureFiles.h"
#include "RichTextFiles.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QtTest>

using namespace kobin::rtf;

namespace {

QByteArray noteAround(const QByteArray &group)
{
    return "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}\\pard before " + group
        + " after\\par\r\n}";
}

// The formats of the document's object characters, in order.
QList<QTextCharFormat> objectsIn(const QTextDocument &document)
{
    QList<QTextCharFormat> objects;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QString text = it.fragment().text();
            for (const QChar ch : text) {
                if (ch == QChar::ObjectReplacementCharacter)
                    objects << it.fragment().charFormat();
            }
        }
    }
    return objects;
}

} // namespace

class TestRtfPictures : public QObject
{
    Q_OBJECT

private slots:
    void keptGroupsAreWrittenBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::newRow("png") << QByteArray("{\\pict\\pngblip\\picw2\\pich2\\picwgoal30\\pichgoal30\r\n89504e47\r\n0d0a1a0a}");
        QTest::newRow("jpeg") << QByteArray("{\\pict\\jpegblip\\picw10\\pich10 ffd8ffe0 0010}");
        QTest::newRow("dib") << QByteArray("{\\pict\\dibitmap0\\picw1\\pich1 28000000}");
        QTest::newRow("metafile with its properties")
            << QByteArray("{\\pict{\\*\\picprop\\shplid1025{\\sp{\\sn shapeType}{\\sv 75}}}\\picscalex50\\picscaley50"
                          "\\piccropl0\\wmetafile8\\picw2646\\pich1323\\picwgoal1500\\pichgoal750 \r\n"
                          "0100090000036e00000000004500000000000400}");
        QTest::newRow("emf") << QByteArray("{\\pict\\emfblip\\picw100\\pich100{\\*\\blipuid 0123}01000000}");
        QTest::newRow("binary data holding braces") << QByteArray("{\\pict\\pngblip\\picw1\\pich1\\bin6 {}\\{}x}");
        QTest::newRow("shppict with nonshppict")
            << QByteArray("{\\*\\shppict{\\pict\\pngblip\\picw1\\pich1 89504e47}}{\\nonshppict{\\pict\\wmetafile8 0100}}");
        QTest::newRow("nonshppict alone") << QByteArray("{\\nonshppict{\\pict\\wmetafile8\\picw100\\pich50 0100}}");
        QTest::newRow("object with its result picture")
            << QByteArray("{\\object\\objemb\\objw600\\objh300{\\*\\objclass Paint.Picture}{\\*\\objdata 0105000002}"
                          "{\\result{\\pict\\wmetafile8\\picw100\\pich50 0100}shown}}");
        QTest::newRow("object without a result") << QByteArray("{\\object\\objemb{\\*\\objdata 01050000}}");
    }

    void keptGroupsAreWrittenBackByteForByte()
    {
        QFETCH(QByteArray, group);
        QTextDocument document;
        QVERIFY(readRtf(noteAround(group), document));
        QCOMPARE(kobin::richtext::plainText(document, u"\n"), QString("before  after"));
        QCOMPARE(objectsIn(document).size(), 1);

        QTextCursor(&document).insertText(QStringLiteral("edited "));
        const QByteArray written = writeRtf(document);
        QVERIFY2(written.contains(group), written.constData());
        QTextDocument again;
        QVERIFY(readRtf(written, again));
        QCOMPARE(objectsIn(again).size(), 1);
        QCOMPARE(writeRtf(again), written);
    }

    void aCutOffPictureIsClosedWhenWritten()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 a{\\pict\\pngblip\\picw1\\pich1 8950", document));
        QCOMPARE(objectsIn(document).size(), 1);
        const QByteArray written = writeRtf(document);
        QVERIFY2(written.contains("{\\pict\\pngblip\\picw1\\pich1 8950}\\par"), written.constData());
        QTextDocument again;
        QVERIFY(readRtf(written, again));
        QCOMPARE(kobin::richtext::plainText(again, u"\n"), QString("a"));
    }

    // Two pictures stay two: a lone \nonshppict written right after a \shppict is not taken for its copy.
    void aLoneNonShapePictureAfterAShapePictureStaysApart()
    {
        QTextDocument document;
        QVERIFY(readRtf(noteAround("{\\*\\shppict{\\pict\\pngblip\\picw1\\pich1 89504e47}}"
                                   "{{\\nonshppict{\\pict\\wmetafile8 0100}}}"),
                        document));
        QCOMPARE(objectsIn(document).size(), 2);
        const QByteArray written = writeRtf(document);
        QTextDocument again;
        QVERIFY(readRtf(written, again));
        QCOMPARE(objectsIn(again).size(), 2);
        QCOMPARE(writeRtf(again), written);
    }

    void damagedKeptGroupsReadBackAsTheyWereRead_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("objects");
        QTest::newRow("object after text in its group")
            << QByteArray("{\\rtf1 {\\field{\\fldrslt link}x\\object{\\result{\\pict 00}}}y}") << QString("linkxy") << 1;
        QTest::newRow("text between the star and the word")
            << QByteArray("{\\rtf1 a{\\*x\\shppict{\\pict 00}}b}") << QString("axb") << 1;
        QTest::newRow("text in a group before the word")
            << QByteArray("{\\rtf1 a{\\*\\:{b}{\\pict 00}\\object{\\result{\\pict 00}}}c}") << QString("abc") << 2;
        QTest::newRow("an escaped brace between the star and the word")
            << QByteArray("{\\rtf1 a{\\*\\{\\pict 00}b}") << QString("a{b") << 1;
        QTest::newRow("cut off after a backslash") << QByteArray("{\\rtf1 a{\\object{\\result{\\pict 00}}\\") << QString("a") << 1;
        QTest::newRow("hidden text in a symbol font")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Unknown;}}\\f1 a\\f0{\\v b}c\\par}") << QString("\uF061c") << 1;
        QTest::newRow("cut off in binary data") << QByteArray("{\\rtf1 a{\\pict\\bin9 ab") << QString("a") << 0;
    }

    void damagedKeptGroupsReadBackAsTheyWereRead()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(int, objects);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(kobin::richtext::plainText(document, u"\n"), text);
        QCOMPARE(objectsIn(document).size(), objects);
        const QByteArray written = writeRtf(document);
        QTextDocument again;
        QVERIFY(readRtf(written, again));
        QCOMPARE(again.toRawText(), document.toRawText());
        QCOMPARE(writeRtf(again), written);
    }

    void picturesAreShownAtTheirSize_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<QSize>("shown");
        QTest::newRow("goal in twips") << QByteArray("{\\pict\\pngblip\\picw10\\pich10\\picwgoal1500\\pichgoal750 00}") << QSize(100, 50);
        QTest::newRow("scaled") << QByteArray("{\\pict\\pngblip\\picwgoal1500\\pichgoal750\\picscalex50\\picscaley200 00}") << QSize(50, 100);
        QTest::newRow("bitmap in pixels") << QByteArray("{\\pict\\dibitmap0\\picw40\\pich20 00}") << QSize(40, 20);
        QTest::newRow("metafile in hundredths of a millimetre")
            << QByteArray("{\\pict\\wmetafile8\\picw2540\\pich5080 00}") << QSize(96, 192);
        QTest::newRow("png without sizes") << "{\\pict\\pngblip " + pngOf(QSize(7, 5), Qt::red).toHex() + "}" << QSize(7, 5);
        QTest::newRow("no size at all") << QByteArray("{\\pict\\wmetafile8 00}") << QSize(32, 32);
        QTest::newRow("absurd goal") << QByteArray("{\\pict\\pngblip\\picwgoal2000000000\\pichgoal-5 00}") << QSize(32767, 32);
        QTest::newRow("object box") << QByteArray("{\\object\\objw600\\objh300{\\*\\objdata 01}}") << QSize(40, 20);
    }

    void picturesAreShownAtTheirSize()
    {
        QFETCH(QByteArray, group);
        QFETCH(QSize, shown);
        QTextDocument document;
        QVERIFY(readRtf(noteAround(group), document));
        const QList<QTextCharFormat> objects = objectsIn(document);
        QCOMPARE(objects.size(), 1);
        const QTextImageFormat image = objects.first().toImageFormat();
        QCOMPARE(QSize(qRound(image.width()), qRound(image.height())), shown);
    }

    // What the box of a picture that cannot be drawn says.
    void aBoxNamesWhatItStandsFor()
    {
        const QList<std::pair<QByteArray, QString>> groupsAndLabels = {
            {"{\\pict\\wmetafile8 00}", "WMF"},
            {"{\\pict\\macpict 0a}", "PICT"},
            {"{\\pict\\pmmetafile3 0a}", "OS/2"},
            {"{\\object\\objemb{\\*\\objdata 01050000}}", "OLE"},
            {"{\\object{\\*\\objdata 01}{\\result{\\pict\\macpict 0a}}}", "PICT"}, // the object shows a PICT
            {"{\\pict\\picw10\\pich10 00}", "?"},
            {"{\\footnote note}", "注"},
        };
        for (const auto &[group, label] : groupsAndLabels) {
            QTextDocument document;
            QVERIFY(readRtf(noteAround(group), document));
            QCOMPARE(keptObjectLabel(objectsIn(document).value(0)), label);
        }
    }

    void theShownPictureIsDecodedFromTheKeptGroup_data()
    {
        QTest::addColumn<QByteArray>("group");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("data");
        QTest::newRow("hex in lines") << QByteArray("{\\pict\\pngblip 8950\r\n4e 47}") << int(PictureKind::Png) << QByteArray("\x89PNG");
        QTest::newRow("binary") << QByteArray("{\\pict\\jpegblip\\bin3 {}\\}") << int(PictureKind::Jpeg) << QByteArray("{}\\");
        QTest::newRow("shppict, not nonshppict")
            << QByteArray("{\\*\\shppict{\\pict\\emfblip 0102}}{\\nonshppict{\\pict\\wmetafile8 0304}}") << int(PictureKind::Emf)
            << QByteArray("\x01\x02");
        QTest::newRow("result of an object")
            << QByteArray("{\\object{\\*\\objdata 0505}{\\result{\\pict\\wmetafile8 0304}}}") << int(PictureKind::Wmf)
            << QByteArray("\x03\x04");
        QTest::newRow("unknown kind") << QByteArray("{\\pict\\macpict 0a}") << int(PictureKind::Other) << QByteArray("\x0a");
    }

    void theShownPictureIsDecodedFromTheKeptGroup()
    {
        QFETCH(QByteArray, group);
        QFETCH(int, kind);
        QFETCH(QByteArray, data);
        const std::optional<Picture> picture = readKeptPicture(group);
        QVERIFY(picture);
        QCOMPARE(int(picture->kind), kind);
        QCOMPARE(picture->data, data);
        QVERIFY(!readKeptPicture("{\\object{\\*\\objdata 0505}}"));
    }

    // Hidden text is not shown. A footnote is shown as a mark, its text standing in
    // the note's text; its group is kept as read, its fonts numbered as the written
    // note numbers them. Both read back as they were read.
    void hiddenTextAndFootnotesAreKept_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<int>("footnotes");
        QTest::newRow("hidden group") << QByteArray("{\\rtf1 a{\\v hidden}b\\par}") << QString("ab") << QByteArray("{\\v\\f0 hidden}") << 0;
        QTest::newRow("hidden switched off") << QByteArray("{\\rtf1 a\\v x\\v0 b\\par}") << QString("ab") << QByteArray("{\\v\\f0 x}") << 0;
        QTest::newRow("hidden japanese") << QByteArray("{\\rtf1\\ansicpg932 a{\\v \\'82\\'a0}b\\par}") << QString("ab")
                                         << QByteArray("{\\v\\f0\\u12354?}") << 0;
        QTest::newRow("hidden at a paragraph's end") << QByteArray("{\\rtf1 a{\\v h}\\par b\\par}") << QString("a\nb")
                                                     << QByteArray("{\\v\\f0 h}") << 0;
        QTest::newRow("hidden glyph of a symbol font no one knows")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Unknown;}}a{\\v\\f1\\'b7}b\\par}") << QString("ab")
            << QByteArray("{\\v\\f0\\u-3913?}") << 0;
        const QByteArray fonts = "{\\rtf1\\ansi\\ansicpg932\\deff0{\\fonttbl{\\f0\\fnil\\fcharset128 MS Mincho;}{\\f1\\fswiss Arial;}}";
        QTest::newRow("footnote in its number's group, as Word writes it")
            << fonts + "a{\\cs16\\super \\chftn {\\footnote \\pard\\plain\\f1 {\\super \\chftn } Note \\f0\\'82\\'a0\\u12356?"
                       "{\\field{\\*\\fldinst HYPERLINK \"http://x.jp\"}{\\fldrslt link}}\\par two}} b\\par}"
            << QString("a［注: Note あいlink two］ b")
            << QByteArray("a{\\super\\chftn}{\\footnote \\pard\\plain\\f2 {\\super \\chftn } Note \\f1\\'82\\'a0\\u12356?"
                          "{\\field{\\*\\fldinst HYPERLINK \"http://x.jp\"}{\\fldrslt link}}\\par two} b\\par")
            << 1;
        // Its text's bytes read back in the code page they were read in, whatever the font's name says.
        QTest::newRow("footnote in fonts of other code pages")
            << QByteArray("{\\rtf1\\ansicpg932{\\fonttbl{\\f0\\fcharset128 MS Gothic;}{\\f1\\fcharset128 Arial Unicode MS;}"
                          "{\\f2\\fcharset204 Times Cyr;}{\\f3\\cpg936 U;}{\\f4\\fcharset0 MS Gothic;}{\\f5 Arial;}}"
                          "\\f0\\'82\\'a0{\\footnote\\f1\\'82\\'a2\\f2\\'c0\\f3\\'c4\\'e3\\f4 caf\\'e9\\f5\\'82\\'a6}b\\par}")
            << QString("あ［注: いА你caféえ］b")
            << QByteArray("{\\footnote\\f2\\'82\\'a2\\f3\\'c0\\f4\\'c4\\'e3\\f5 caf\\'e9\\f6\\'82\\'a6}") << 1;
        QTest::newRow("footnote in the font around it and in UTF-8")
            << QByteArray("{\\rtf1\\ansicpg1252{\\fonttbl{\\f0 Arial;}{\\f1\\cpg65001 U8;}}\\f0\\u12354?{\\footnote caf\\'e9\\f1\\'e3\\'81\\'8a}b\\par}")
            << QString("あ［注: caféお］b")
            << QByteArray("\\f3{\\footnote caf\\'e9\\f2\\'e3\\'81\\'8a}\\f1 b") << 1;
        QTest::newRow("footnote in a font the table lacks")
            << QByteArray("{\\rtf1\\ansicpg1252 \\u12354?{\\footnote\\f9\\'c0\\f\\'c1}b\\par}") << QString("あ［注: ÀÁ］b")
            << QByteArray("{\\footnote\\f1\\'c0\\f1\\'c1}") << 1;
        QTest::newRow("footnote after its number, marked ignorable")
            << QByteArray("{\\rtf1 a{\\super\\chftn}{\\*\\footnote\\chftn\\pard {\\b bold}\\emdash{\\v hidden}"
                          "{\\pict\\pngblip 00}end}b\\par}")
            << QString("a［注: bold—end］b")
            << QByteArray("a{\\super\\chftn}{\\*\\footnote\\chftn\\pard {\\b bold}\\emdash{\\v hidden}{\\pict\\pngblip 00}end}b")
            << 1;
        QTest::newRow("footnote without a number") << QByteArray("{\\rtf1 a\\chftn x{\\footnote n}b\\par}") << QString("ax［注: n］b")
                                                   << QByteArray("ax{\\footnote n}b") << 1;
        QTest::newRow("footnote in hidden text") << QByteArray("{\\rtf1 a{\\v h{\\footnote n}}b\\par}") << QString("a［注: n］b")
                                                 << QByteArray("a{\\v\\f0 h}{\\footnote n}b") << 1;
        QTest::newRow("footnote cut off at the note's end") << QByteArray("{\\rtf1 a{\\footnote n") << QString("a［注: n］")
                                                            << QByteArray("a{\\footnote n}") << 1;
    }

    void hiddenTextAndFootnotesAreKept()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        QFETCH(int, footnotes);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(kobin::richtext::plainText(document, u"\n"), text);
        QCOMPARE(readRtfText(rtf, u"\n").value_or(QString()), text);
        const QList<QTextCharFormat> objects = objectsIn(document);
        QCOMPARE(std::count_if(objects.begin(), objects.end(), [](const QTextCharFormat &f) { return isFootnote(f); }), footnotes);
        const QByteArray out = writeRtf(document);
        QVERIFY2(out.contains(written), out.constData());
        QTextDocument again;
        QVERIFY(readRtf(out, again));
        QCOMPARE(kobin::richtext::plainText(again, u"\n"), text);
        QCOMPARE(writeRtf(again), out);
    }

    void hiddenTextsSideBySideStayApart()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        for (const QString &text : {QStringLiteral("b"), QStringLiteral("c")}) {
            KeptObject hidden;
            hidden.kind = KeptObject::Kind::HiddenText;
            hidden.hiddenText = text;
            cursor.insertText(QString(QChar::ObjectReplacementCharacter), keptObjectFormat(hidden));
        }
        QTextDocument again;
        QVERIFY(readRtf(writeRtf(document), again));
        QCOMPARE(objectsIn(again).size(), 2);
    }

    void textTypedAfterAPictureIsWrittenAsText()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 a{\\pict\\pngblip\\picw1\\pich1 00}\\par}", document));
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText(QStringLiteral("typed"), objectsIn(document).first()); // the object's format, as the caret may hold
        QTextDocument again;
        QVERIFY(readRtf(writeRtf(document), again));
        QCOMPARE(kobin::richtext::plainText(again, u"\n"), QString("atyped"));
        QCOMPARE(objectsIn(again).size(), 1);
    }
};

QTEST_MAIN(TestRtfPictures)
#include "tst_rtfpictures.moc"
