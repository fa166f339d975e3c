#include "DocumentFormats.h"
#include "FormatProperties.h"
#include "RichTextFiles.h"
#include "RtfReader.h"

#include <QTextDocumentFragment>
#include <QtTest>
#include <optional>

using kobin::rtf::readRtf;
using testing::formatAt;

namespace {

QString textOf(const QTextDocument &document)
{
    return kobin::richtext::plainText(document, u"\n");
}

// The text of the document read; reading the text alone must give the same.
QString readText(const QByteArray &rtf)
{
    const std::optional<QString> alone = kobin::rtf::readRtfText(rtf, u"\n");
    QTextDocument document;
    if (!readRtf(rtf, document))
        return alone ? QStringLiteral("(read as text only)") : QStringLiteral("(not read)");
    const QString text = kobin::richtext::plainText(document, u"\n", kobin::richtext::ListLeads::Shown);
    return alone == text ? text : QStringLiteral("(text alone: %1)").arg(alone.value_or(QStringLiteral("not read")));
}

QString familyAt(const QTextDocument &document, int position)
{
    return formatAt(document, position).fontFamilies().toStringList().value(0);
}

} // namespace

class TestRtfReader : public QObject
{
    Q_OBJECT

private slots:
    void notesOfEachRichEditVersionLoad_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("lastLine");
        QTest::newRow("RichEdit 1.0") << "richedit10.rtf" << QString("ボマア{}\\");
        QTest::newRow("RichEdit 2.0/3.0") << "richedit20.rtf" << QString("ボマア{}\\😀é");
        QTest::newRow("RichEdit 4.1") << "richedit41.rtf" << QString("ボマア{}\\😀é");
    }

    void notesOfEachRichEditVersionLoad()
    {
        QFETCH(QString, file);
        QFETCH(QString, lastLine);
        QTextDocument document;
        QVERIFY(readRtf(testing::readBytes(KOBIN_RTF_DATA "/" + file), document));
        const QString text = textOf(document);
        QCOMPARE(text, "①髙～ｶﾀｶﾅ\nソ表能 下線斜体\n赤い中央\n明朝\n" + lastLine);
        QCOMPARE(kobin::rtf::readRtfText(testing::readBytes(KOBIN_RTF_DATA "/" + file), u"\r\n").value_or("(not read)"),
                 kobin::richtext::plainText(document, u"\r\n"));

        const QString gothic = QStringLiteral("ＭＳ Ｐゴシック");
        QCOMPARE(familyAt(document, 0), gothic);
        QCOMPARE(formatAt(document, 0).fontPointSize(), 9.0);
        QVERIFY(formatAt(document, 0).fontWeight() < QFont::Bold);

        const int bold = text.indexOf(u'ソ');
        for (int i = bold; i < bold + 3; ++i)
            QCOMPARE(formatAt(document, i).fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(document, bold + 3).fontWeight() < QFont::Bold);
        QVERIFY(!formatAt(document, bold + 3).fontUnderline());
        QVERIFY(formatAt(document, text.indexOf(u'下')).fontUnderline());
        QVERIFY(formatAt(document, text.indexOf(u'線')).fontUnderline());
        QVERIFY(!formatAt(document, text.indexOf(u'斜')).fontUnderline());
        QVERIFY(formatAt(document, text.indexOf(u'斜')).fontItalic());

        const int red = text.indexOf(u'赤');
        QCOMPARE(formatAt(document, red).foreground().color(), QColor(255, 0, 0));
        QCOMPARE(document.findBlock(red).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);

        const int mincho = text.indexOf(u'明');
        QCOMPARE(familyAt(document, mincho), QStringLiteral("ＭＳ 明朝"));
        QCOMPARE(formatAt(document, mincho).fontPointSize(), 12.0);
        QCOMPARE(document.findBlock(mincho).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        QCOMPARE(document.findBlock(0).blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QVERIFY(!formatAt(document, text.indexOf(u'ボ')).hasProperty(QTextFormat::ForegroundBrush));
    }

    void codePagesDecodeEscapedBytes_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        const QByteArray fonts = "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset128 Gothic;}}";
        QTest::newRow("charset beats ansicpg")
            << "{\\rtf1\\ansi\\ansicpg1252" + fonts + "\\f1\\'92\\'86\\'9a\\'a0}" << QString("中國");
        QTest::newRow("cpg beats charset")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128\\cpg1252 A;}}\\f0\\'e9}") << QString("é");
        QTest::newRow("charset 0 is 1252 in a Japanese document")
            << "{\\rtf1\\ansi\\ansicpg932" + fonts + "\\f0\\'e9\\'80}" << QString("é€");
        QTest::newRow("charset 1 is the document's code page")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset1 A;}}\\f0\\'82\\'a0}") << QString("あ");
        QTest::newRow("deff chooses the font before any f")
            << "{\\rtf1\\ansi\\deff1" + fonts + "\\'82\\'a0\\f0\\'e9}" << QString("あé");
        QTest::newRow("ansi alone is 1252") << QByteArray("{\\rtf1\\ansi \\'80}") << QString("€");
        QTest::newRow("pc is 437") << QByteArray("{\\rtf1\\pc \\'f1\\'f2\\'f3}") << QString("±≥≤");
        QTest::newRow("pca is 850") << QByteArray("{\\rtf1\\pca \\'9b}") << QString("ø");
        QTest::newRow("mac is 10000") << QByteArray("{\\rtf1\\mac \\'8e}") << QString("é");
        const QByteArray readFirst = "\\'82\\'a8\\'93\\'c7\\'82\\'dd\\'82\\'ad\\'82\\'be\\'82\\'b3\\'82\\'a2";
        QTest::newRow("Mac Japanese by cpg") << "{\\rtf1\\mac\\ansicpg10001 " + readFirst + "}" << QString("お読みください");
        QTest::newRow("Mac Japanese by charset")
            << "{\\rtf1\\mac{\\fonttbl{\\f0\\fcharset78 Osaka;}}\\f0 " + readFirst + "}" << QString("お読みください");
        QTest::newRow("a code page known to the system") << QByteArray("{\\rtf1\\ansi\\ansicpg866 \\'80\\'a0}") << QString("Аа");
        QTest::newRow("GBK font") << QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset134 SimSun;}}\\f0\\'d6\\'d0}") << QString("中");
        QTest::newRow("Big5 by cpg") << QByteArray("{\\rtf1\\ansi\\ansicpg950 \\'a4\\'a4}") << QString("中");
        QTest::newRow("NEC and IBM extensions")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'87\\'40\\'fb\\'fc\\'81\\'60\\'87\\'6f}") << QString("①髙～㎜");
        QTest::newRow("half-width kana") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'b1\\'dd\\'a1\\'df}") << QString("ｱﾝ｡ﾟ");
        QTest::newRow("literal trail bytes")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83\\\\\\'95\\\\\\'94\\\\\\'83A\\'87@}") << QString("ソ表能ア①");
        QTest::newRow("escaped brace trail bytes")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83\\{\\'83\\}}") << QString("ボマ");
        QTest::newRow("trail byte 5c as hex") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'83\\'5c\\'95\\'5C}") << QString("ソ表");
        // Bytes that stand for nothing in code page 932 are kept (see Cp932.h).
        QTest::newRow("lead byte cut by a font change")
            << "{\\rtf1\\ansi\\ansicpg932" + fonts + "\\f1\\'82\\f0 a}" << QString("\uF182a");
        QTest::newRow("lead byte cut by a group end")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 {\\'82}\\'82\\'a0}") << QString("\uF182あ");
        QTest::newRow("lead byte at the end of file")
            << QByteArray("{\\rtf1\\ansi\\ansicpg932 a\\'82") << QString("a\uF182");
        QTest::newRow("undefined pair") << QByteArray("{\\rtf1\\ansi\\ansicpg932 \\'85\\'40x}") << QString("\uF2E4x");
        QTest::newRow("upper-case and malformed hex")
            << QByteArray("{\\rtf1\\ansi \\'E9\\'4\\'zz}") << QString("é\uFFFDzz");
    }

    void codePagesDecodeEscapedBytes()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    // Text in a font of the symbol character set is its glyphs' Unicode equivalents.
    void symbolFontsShowTheirCharacters_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::newRow("Symbol bytes, escaped bytes too") << QByteArray("\\f1 aD\\'b7\\\\\\}") << QString("αΔ•∴}");
        QTest::newRow("Wingdings") << QByteArray("\\f2\\'fcJ\\'9f") << QString("✔☺•");
        QTest::newRow("other symbol fonts by name in any case")
            << QByteArray("\\f4 P\\f5 p\\f6 a") << QString("\U0001F5F8▲✔");
        // Word writes a symbol as \uN of U+F000 + its byte.
        QTest::newRow("glyph area escapes") << QByteArray("\\f1\\u-3913\\'b7\\u-3999?") << QString("•α");
        QTest::newRow("other escapes are what they say") << QByteArray("\\f1\\u945?\\u97?") << QString("αa");
        QTest::newRow("unknown symbol font keeps its glyph numbers") << QByteArray("\\f3\\'a8J") << QString("\uF0A8\uF04A");
        QTest::newRow("a symbol font without a name is taken for Symbol") << QByteArray("\\f8\\'b7a") << QString("•α");
        QTest::newRow("so is one named with white space alone") << QByteArray("\\f9\\'b7") << QString("•");
        QTest::newRow("other fonts after a symbol font") << QByteArray("\\f1 a\\f0 a\\'82\\'a0") << QString("αaあ");
        // Word processors write a list's bullet so, in the list's text font.
        QTest::newRow("Symbol's bullet in a text font") << QByteArray("\\f0\\u-3913?\\tab x") << QString("•\tx");
        QTest::newRow("glyphs of a symbol font named in a text font")
            << QByteArray("\\f7\\u-3929?\\u-3937?") << QString("▪•");
        QTest::newRow("other glyphs in a text font stay") << QByteArray("\\f0\\u-4031?") << QString("\uF041");
        QTest::newRow("a code page's character in the glyph area, as its escape")
            << QByteArray("{\\fonttbl{\\f10\\cpg950 Symbol;}}\\f10\\'84b\\u-3919?") << QString("±±");
    }

    void symbolFontsShowTheirCharacters()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QCOMPARE(readText("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fnil\\fcharset128 MS Gothic;}{\\f1\\fnil\\fcharset2 Symbol;}"
                          "{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3\\fnil\\fcharset2 Marlett;}{\\f4\\fcharset2 Wingdings 2;}"
                          "{\\f5\\fcharset2 wingdings 3;}{\\f6\\fcharset2 WEBDINGS;}{\\f7\\fcharset0 Wingdings;}{\\f8\\fcharset2;}{\\f9\\fcharset2 \t ;}}"
                          + body + "}"),
                 text);
    }

    void symbolRunsKeepTheirFontAndAreMarked()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}{\\f2\\fcharset2 \\'82\\'a0;}}"
                        "\\f1 a\\f0 b\\f2 c}",
                        document));
        QCOMPARE(familyAt(document, 0), QString("Symbol"));
        QCOMPARE(formatAt(document, 0).property(kobin::rtf::kSymbolFontProperty).toString(), QString("Symbol"));
        QVERIFY(!formatAt(document, 1).hasProperty(kobin::rtf::kSymbolFontProperty));
        // The names in the font table are in the document's code page, not glyph numbers.
        QCOMPARE(familyAt(document, 2), QString("あ"));

        // A font defined again is the new font for the text after it, read and shown alike.
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0 a{\\fonttbl{\\f0\\fcharset2 Marlett;}}a}", document));
        QCOMPARE(textOf(document), QString("α\uF061"));
        QCOMPARE(familyAt(document, 1), QString("Marlett"));
    }

    void fontTableNamesUseTheirOwnCharset()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9"
                        "{\\*\\panose 02020609040205080304}{\\*\\falt MS Mincho};}{\\f1\\fcharset0 Caf\\'e9;}{\\f2 Times;Roman}}"
                        "\\f0 a\\f1 b\\f7 c\\f2 d}",
                        document));
        QCOMPARE(textOf(document), QString("abcd"));
        QCOMPARE(familyAt(document, 0), QString("ＭＳ 明朝"));
        QCOMPARE(familyAt(document, 3), QString("Times")); // the name ends at ";"
        QCOMPARE(familyAt(document, 1), QString("Café"));
        QCOMPARE(familyAt(document, 2), QString()); // no such font
    }

    void fontTableWithoutBracesAndHugeNames()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\mac\\ansicpg10000{\\fonttbl\\f0\\fswiss Helvetica;\\f1\\fnil\\fcharset128 Osaka;}"
                        "\\f1\\'82\\'a0\\f0 x}",
                        document));
        QCOMPARE(textOf(document), QString("あx"));
        QCOMPARE(familyAt(document, 0), QString("Osaka"));
        QCOMPARE(familyAt(document, 1), QString("Helvetica"));

        const QByteArray hugeName = "{\\rtf1{\\fonttbl{\\f0" + QByteArray(10000, 'A') + "}}\\f0 hello}";
        QVERIFY(readRtf(hugeName, document));
        QCOMPARE(textOf(document), QString("hello"));
    }

    void aLongFontNameIsNeverCutInsideACharacter_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("unicode escapes") << QByteArray(255, 'A') + "\\u-10179?\\u-8704?";
        QTest::newRow("UTF-8 bytes") << QByteArray(255, 'A') + "\xF0\x9F\x98\x80";
    }

    void aLongFontNameIsNeverCutInsideACharacter()
    {
        QFETCH(QByteArray, name);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\ansicpg65001{\\fonttbl{\\f0\\fcharset1 " + name + ";}}\\f0 x}", document));
        QCOMPARE(familyAt(document, 0), QString(255, u'A'));
    }

    void unicodeEscapes_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("fallback skipped") << QByteArray("{\\rtf1 \\u12354?x}") << QString("あx");
        QTest::newRow("negative") << QByteArray("{\\rtf1 \\u-4031?}") << QString("\uF041");
        QTest::newRow("parameter ends at a letter") << QByteArray("{\\rtf1 \\u945ab}") << QString("αb");
        QTest::newRow("surrogate pair") << QByteArray("{\\rtf1 \\u-10179?\\u-8704?}") << QString("😀");
        QTest::newRow("positive pair without fallback")
            << QByteArray("{\\rtf1\\uc0 \\u55357 \\u56832 !}") << QString("😀!");
        QTest::newRow("pair with its fallback eaten by uc1")
            << QByteArray("{\\rtf1 \\u55357 \\u56832 !}") << QString("\uFFFD!");
        QTest::newRow("lone high surrogate") << QByteArray("{\\rtf1 \\u-10179?x}") << QString("\uFFFDx");
        QTest::newRow("lone low surrogate") << QByteArray("{\\rtf1 \\u-8704?x}") << QString("\uFFFDx");
        QTest::newRow("uc2 skips two hex bytes") << QByteArray("{\\rtf1\\ansicpg932\\uc2 \\u12354\\'82\\'a0x}") << QString("あx");
        QTest::newRow("control word counts one") << QByteArray("{\\rtf1 \\u12354\\b x}") << QString("あx");
        QTest::newRow("bin with data counts one") << QByteArray("{\\rtf1 \\u12354\\bin3 abcd}") << QString("あd");
        QTest::newRow("skipping stops at a brace") << QByteArray("{\\rtf1\\uc3 \\u12354 a}b") << QString("あ");
        QTest::newRow("skipping stops at an open brace") << QByteArray("{\\rtf1\\uc3 \\u12354{b}c}") << QString("あbc");
        QTest::newRow("uc is scoped to its group")
            << QByteArray("{\\rtf1{\\uc2\\u228\\'E8a}\\u228 bc}") << QString("ääc");
        QTest::newRow("out of range") << QByteArray("{\\rtf1 \\u99999999999?x}") << QString("\uFFFDx");
    }

    void unicodeEscapes()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    void destinationsThatAreNotText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("ignorable destination")
            << QByteArray("{\\rtf1 a{\\*\\unknown b{c}d}e}") << QString("ae");
        QTest::newRow("star in mid-group only marks")
            << QByteArray("{\\rtf1\\ansi {\\i0\\*\\cs7 The quick brown fox} end\\par}") << QString("The quick brown fox end");
        QTest::newRow("nested table")
            << QByteArray("{\\rtf1\\ansi\\pard\\intbl\\itap2 A\\nestcell B\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000"
                          "\\cellx2000\\nestrow}{\\nonesttables\\par}\\cell\\row\\pard end\\par}")
            << QString("A\tB\t\n\t\nend");
        QTest::newRow("unicode text of upr")
            << QByteArray("{\\rtf1\\ansi \\pard A\\par {\\upr{[G]}{\\*\\ud{[\\uc0\\u915]}}}\\par}") << QString("A\n[\u0393]");
        QTest::newRow("stylesheet and info")
            << QByteArray("{\\rtf1{\\stylesheet{\\s0 Normal;}}{\\info{\\title T}{\\author A}}x}") << QString("x");
        QTest::newRow("picture") << QByteArray("{\\rtf1 a{\\pict\\wmetafile8 0102abcd}b}") << QString("ab");
        QTest::newRow("object: its result is its picture, not text")
            << QByteArray("{\\rtf1{\\object\\objemb{\\*\\objclass Paint}{\\*\\objdata 01}{\\result{\\pict 00}shown}}x}") << QString("x");
        QTest::newRow("field keeps its result")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}} and {\\field{\\fldinst PAGE}{\\fldrslt 3}}}")
            << QString("link and 3");
        QTest::newRow("fields in an instruction are part of it")
            << QByteArray("{\\rtf1{\\field{\\*\\fldinst IF {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} = 1 \"a\"}{\\fldrslt b}}}")
            << QString("b");
        QTest::newRow("list number text") << QByteArray("{\\rtf1{\\pntext 1.\\tab}item}") << QString("item");
        QTest::newRow("Word's list text") << QByteArray("{\\rtf1{\\listtext\\f1\\u-3913 ?\\tab}item}") << QString("item");
        QTest::newRow("bin holding braces")
            << QByteArray("{\\rtf1 te{\\*\\shprslt\\bin24 }{\\par MUST NOT IMPORT}}}xt}") << QString("text");
        QTest::newRow("bin past the end") << QByteArray("{\\rtf1 a\\bin2000000000 xyz}") << QString("a");
        QTest::newRow("negative bin") << QByteArray("{\\rtf1 a\\bin-5 b}") << QString("ab");
        QTest::newRow("unknown words with parameters") << QByteArray("{\\rtf1 \\foo12 a\\bar-3b\\baz c}") << QString("abc");
        QTest::newRow("word of 32 letters and more")
            << "{\\rtf1 \\" + QByteArray(32, 'x') + "1 a\\" + QByteArray(40, 'y') + " b}" << QString("ab");
        QTest::newRow("parameter ends at a non-digit")
            << QByteArray("{\\rtf1\\highlight0Normal \\fs20-x}") << QString("Normal -x");
        QTest::newRow("special characters")
            << QByteArray("{\\rtf1 a\\~b\\_c\\-d\\tab e\\emdash\\lquote\\rquote}") << QString("a\u00A0b\u2011c\u00ADd\te—‘’");
        QTest::newRow("raw line ends") << QByteArray("{\\rtf1 a\r\nb\rc\nd}") << QString("abcd");
        QTest::newRow("backslash before line end") << QByteArray("{\\rtf1 a\\\nb\\\r\nc}") << QString("a\nb\nc");
        QTest::newRow("text after the document") << QByteArray("{\\rtf1 a}b\r\n\0{\\rtf1 c}", 22) << QString("a");
        QTest::newRow("not RTF") << QByteArray("plain text") << QString("(not read)");
    }

    void destinationsThatAreNotText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    void paragraphsTakeThePropertiesInForceAtPar()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\li720\\ri360\\fi-240 first\\line\\qc same\\par second\\par\\pard\\qj third\\par\\pard fourth\\par}",
                        document));
        QCOMPARE(document.blockCount(), 4);
        QCOMPARE(textOf(document), QString("first\nsame\nsecond\nthird\nfourth"));
        const QTextBlockFormat first = document.begin().blockFormat();
        QCOMPARE(first.alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(first.leftMargin(), 48.0);
        QCOMPARE(first.rightMargin(), 24.0);
        QCOMPARE(first.textIndent(), -16.0);
        QCOMPARE(document.begin().text(), QString("first\u2028same"));
        QCOMPARE(document.begin().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        QCOMPARE(document.begin().next().next().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignJustify);
        QCOMPARE(document.lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
        QCOMPARE(document.lastBlock().blockFormat().leftMargin(), 0.0);
    }

    void finalParDoesNotAddAParagraph_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<int>("blocks");
        QTest::newRow("empty") << QByteArray("{\\rtf1}") << 1;
        QTest::newRow("only par") << QByteArray("{\\rtf1\\par}") << 1;
        QTest::newRow("text") << QByteArray("{\\rtf1 a}") << 1;
        QTest::newRow("text par") << QByteArray("{\\rtf1 a\\par}") << 1;
        QTest::newRow("text par par") << QByteArray("{\\rtf1 a\\par\\par}") << 2;
        QTest::newRow("text par text") << QByteArray("{\\rtf1 a\\par b}") << 2;
    }

    void finalParDoesNotAddAParagraph()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(int, blocks);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(document.blockCount(), blocks);
    }

    void paragraphsAndLineBreaksInTheText_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty") << QByteArray("{\\rtf1}") << QString();
        QTest::newRow("only par") << QByteArray("{\\rtf1\\par}") << QString();
        QTest::newRow("par par") << QByteArray("{\\rtf1\\par\\par}") << QString("\n");
        QTest::newRow("text par par") << QByteArray("{\\rtf1 a\\par\\par}") << QString("a\n");
        QTest::newRow("empty paragraphs between") << QByteArray("{\\rtf1 a\\par\\par\\par b}") << QString("a\n\n\nb");
        QTest::newRow("line breaks") << QByteArray("{\\rtf1 a\\line\\line b\\line\\par}") << QString("a\n\nb\n");
        QTest::newRow("group after the last par") << QByteArray("{\\rtf1 a\\par{\\b b}}") << QString("a\nb");
        QTest::newRow("row and cell") << QByteArray("{\\rtf1 a\\cell b\\row c}") << QString("a\tb\nc");
    }

    void paragraphsAndLineBreaksInTheText()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    // Each paragraph keeps the format of its mark, which an empty one shows and
    // typing into it takes; a paragraph left open takes that of the text before it.
    void paragraphMarksKeepTheFormatAtTheirEnd()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}\\fs40 a\\b\\par\\i\\par{\\cf1 b}\\ul\\par\\ulnone c}",
                        document));
        QCOMPARE(textOf(document), QString("a\n\nb\nc"));
        QTextBlock block = document.begin();
        QCOMPARE(block.charFormat().fontWeight(), int(QFont::Bold));
        QVERIFY(!block.charFormat().fontItalic());
        QCOMPARE(block.charFormat().fontPointSize(), 20.0);
        block = block.next();
        QVERIFY(block.charFormat().fontItalic());
        block = block.next();
        QCOMPARE(block.charFormat().underlineStyle(), QTextCharFormat::SingleUnderline);
        QVERIFY(!block.charFormat().hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(block.begin().fragment().charFormat().foreground().color(), QColor(255, 0, 0));
        block = block.next();
        QCOMPARE(block.charFormat().foreground().color(), QColor(255, 0, 0));
        QCOMPARE(block.begin().fragment().charFormat().underlineStyle(), QTextCharFormat::NoUnderline);
    }

    void characterFormatsAreScopedAndReset()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}{\\colortbl;\\red255\\green0\\blue0;\\red0\\green0\\blue255;}"
                        "{\\b\\i\\ul\\f1\\fs40\\cf1\\highlight2 A}B\\b C\\b0 D\\ul E\\ul0 F\\uldb G\\ulnone H"
                        "\\ulwave I\\ulnone\\b\\i\\fs30\\cf2\\plain J\\cf1 K\\cf0 L\\cf99 M}",
                        document));
        QCOMPARE(textOf(document), QString("ABCDEFGHIJKLM"));
        const QTextCharFormat a = formatAt(document, 0);
        QVERIFY(a.fontWeight() == QFont::Bold && a.fontItalic() && a.fontUnderline());
        QCOMPARE(a.fontFamilies().toStringList(), QStringList{"Courier"});
        QCOMPARE(a.fontPointSize(), 20.0);
        QCOMPARE(a.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(a.background().color(), QColor(0, 0, 255));
        const QTextCharFormat b = formatAt(document, 1);
        QVERIFY(b.fontWeight() < QFont::Bold && !b.fontItalic() && !b.fontUnderline());
        QCOMPARE(b.fontFamilies().toStringList(), QStringList{"Arial"});
        QCOMPARE(b.fontPointSize(), 0.0);
        QVERIFY(!b.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatAt(document, 2).fontWeight(), int(QFont::Bold));
        QVERIFY(formatAt(document, 3).fontWeight() < QFont::Bold);
        QVERIFY(formatAt(document, 4).fontUnderline());
        QVERIFY(!formatAt(document, 5).fontUnderline());
        QCOMPARE(formatAt(document, 6).underlineStyle(), QTextCharFormat::SingleUnderline);
        QCOMPARE(formatAt(document, 7).underlineStyle(), QTextCharFormat::NoUnderline);
        QCOMPARE(formatAt(document, 8).underlineStyle(), QTextCharFormat::WaveUnderline);
        const QTextCharFormat j = formatAt(document, 9);
        QVERIFY(j.fontWeight() < QFont::Bold && !j.fontItalic() && j.fontPointSize() == 0.0);
        QVERIFY(!j.hasProperty(QTextFormat::ForegroundBrush));
        QCOMPARE(formatAt(document, 10).foreground().color(), QColor(255, 0, 0));
        QVERIFY(!formatAt(document, 11).hasProperty(QTextFormat::ForegroundBrush)); // entry 0 is automatic
        QVERIFY(!formatAt(document, 12).hasProperty(QTextFormat::ForegroundBrush)); // no such entry
    }

    // A format is made from the font and colour tables as they stand when text
    // in it comes after text in another.
    void tablesChangedAfterTextApplyToTheTextAfterThem_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("font table") << QByteArray("{\\rtf1 a{\\fonttbl{\\f0 Arial;}}\\b x\\b0 b}") << "/auto" << "Arial/auto";
        QTest::newRow("font redefined without a name")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}}a{\\fonttbl{\\f0;}}\\b x\\b0 b}") << "Arial/auto" << "/auto";
        QTest::newRow("default font")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1 Courier;}}a\\deff1\\b x\\b0 b}") << "Arial/auto" << "Courier/auto";
        QTest::newRow("colour table")
            << QByteArray("{\\rtf1\\cf1 a{\\colortbl;\\red255\\green0\\blue0;}\\b x\\b0 b}") << "/auto" << "/#ff0000";
        QTest::newRow("text amid a font's name")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari{\\upr{\\ud a}}al;}}\\b x\\b0 b}") << "Ari/auto" << "Arial/auto";
    }

    void tablesChangedAfterTextApplyToTheTextAfterThem()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, before);
        QFETCH(QString, after);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(textOf(document), QString("axb"));
        const auto look = [&document](int position) {
            return familyAt(document, position) + u'/'
                + testing::colorName(formatAt(document, position), QTextFormat::ForegroundBrush);
        };
        QCOMPARE(look(0), before);
        QCOMPARE(look(2), after);
    }

    // Strike-through, raised text, spacing and tab stops, as the pane shows them.
    void textAndParagraphLooksAreRead_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("paragraph");
        QTest::addColumn<double>("offset"); // in percent of the text's height
        QTest::newRow("strike") << QByteArray("\\strike a") << " strike" << "" << 0.0;
        QTest::newRow("double strike") << QByteArray("\\striked1 a") << " strike" << "" << 0.0;
        QTest::newRow("strike ended") << QByteArray("\\strike\\strike0 a") << "" << "" << 0.0;
        QTest::newRow("superscript") << QByteArray("\\super a") << " script1" << "" << 0.0;
        QTest::newRow("subscript") << QByteArray("\\sub a") << " script2" << "" << 0.0;
        QTest::newRow("nosupersub") << QByteArray("\\super\\nosupersub a") << "" << "" << 0.0;
        QTest::newRow("up without a number") << QByteArray("\\up a") << " raised6" << "" << 25.0;
        QTest::newRow("up in its size") << QByteArray("\\fs20\\up5 a") << " raised5" << "" << 25.0;
        QTest::newRow("dn") << QByteArray("\\dn12 a") << " raised-12" << "" << -50.0;
        QTest::newRow("plain ends them all") << QByteArray("\\strike\\super\\up4\\plain a") << "" << "" << 0.0;
        QTest::newRow("space before and after") << QByteArray("\\sb120\\sa240 a") << "" << " sb120 sa240" << 0.0;
        QTest::newRow("lines of 1.5") << QByteArray("\\sl360\\slmult1 a") << "" << " line1:150" << 0.0;
        QTest::newRow("lines at least") << QByteArray("\\sl300\\slmult0 a") << "" << " line3:20" << 0.0;
        QTest::newRow("lines exactly") << QByteArray("\\sl-300 a") << "" << " line2:20" << 0.0;
        QTest::newRow("tab stops")
            << QByteArray("\\tx720\\tqr\\tx4320\\tqc\\tx2880\\tqdec\\tx5000\\tx6000 a") << ""
            << " tab0:720 tab1:4320 tab2:2880 tab3:5000 tab0:6000" << 0.0;
        QTest::newRow("pard ends them") << QByteArray("\\sb120\\sl360\\tx720\\pard a") << "" << "" << 0.0;
        QTest::newRow("bounded") << QByteArray("\\sb99999999\\sa-5\\tx-5 a") << "" << " sb31680 sa0 tab0:0" << 0.0;
    }

    void textAndParagraphLooksAreRead()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(QString, paragraph);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1 " + body + "}", document));
        QCOMPARE(textOf(document), QString("a"));
        QCOMPARE(testing::describeScript(formatAt(document, 0)), text);
        QCOMPARE(testing::describeSpacing(document.begin().blockFormat()), paragraph);
        QFETCH(double, offset);
        QCOMPARE(formatAt(document, 0).baselineOffset(), offset);
    }

    void pardResetsParagraphAndGroupsRestoreIt()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\qr a\\par{\\qc b\\par}c\\par\\pard d}", document));
        QCOMPARE(textOf(document), QString("a\nb\nc\nd"));
        QTextBlock block = document.begin();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignRight);
        block = block.next();
        QCOMPARE(block.blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignLeft);
    }

    void damagedInputStillLoads_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("text");
        QTest::newRow("100,000 nested groups")
            << "{\\rtf1 " + QByteArray(100000, '{') + "\\b deep" + QByteArray(100000, '}') + " after}" << QString("deep after");
        QTest::newRow("100,000 groups never closed") << "{\\rtf1 a" + QByteArray(100000, '{') + "b" << QString("ab");
        QTest::newRow("unterminated") << QByteArray("{\\rtf1{\\fonttbl{\\f0 Ari") << QString();
        QTest::newRow("truncated after a backslash") << QByteArray("{\\rtf1 a\\") << QString("a");
        QTest::newRow("truncated hex") << QByteArray("{\\rtf1 a\\'") << QString("a");
        QTest::newRow("truncated unicode") << QByteArray("{\\rtf1 a\\u-") << QString("a-");
        QTest::newRow("too many closing braces") << QByteArray("{\\rtf1 a}}}}b") << QString("a");
        QTest::newRow("huge parameters")
            << QByteArray("{\\rtf1\\fs999999999999999999999\\li-99999999999999\\uc99999999999 a\\u12354 bcd\\cf2147483648 e}")
            << QString("a\u3042");
        QTest::newRow("many unicode fallbacks") << QByteArray("{\\rtf1\\uc255\\u65 ") + QByteArray(300, 'x') << QString("A") + QString(45, 'x');
        QTest::newRow("structural characters") << QByteArray("{\\rtf1 a\\u8233?b\\u-560?c\\u0?d}") << QString("a\uFFFDb\uFFFDc\uFFFDd");
    }

    void damagedInputStillLoads()
    {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, text);
        QCOMPARE(readText(rtf), text);
    }

    void objectMarkersNeverHideTheTextAroundThem_data()
    {
        QTest::addColumn<QByteArray>("rtf");
        QTest::newRow("unicode escape") << QByteArray("{\\rtf1 before\\u-4?after\\par}");
        QTest::newRow("UTF-8 bytes") << QByteArray("{\\rtf1\\ansi\\ansicpg65001 before\\'ef\\'bf\\'bcafter\\par}");
    }

    void objectMarkersNeverHideTheTextAroundThem()
    {
        QFETCH(QByteArray, rtf);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(document.toPlainText(), QString("before\uFFFDafter"));
        // A QTextDocument takes U+FFFC for an object: its HTML, which copying
        // puts on the clipboard, would leave out the run that holds it.
        QTextCursor all(&document);
        all.select(QTextCursor::Document);
        for (const QString &html : {document.toHtml(), all.selection().toHtml()})
            QVERIFY2(html.contains("before\uFFFDafter"), qPrintable(html));
    }

    void textThatIsNotRtfLeavesTheDocumentAlone()
    {
        QTextDocument document;
        document.setPlainText("kept");
        QVERIFY(!readRtf("{\\rtx1 a}", document));
        QVERIFY(!readRtf("", document));
        QCOMPARE(document.toPlainText(), QString("kept"));
        QVERIFY(readRtf("\r\n {\\rtf1 new}", document));
        QCOMPARE(document.toPlainText(), QString("new"));
    }
};

QTEST_MAIN(TestRtfReader)
#include "tst_rtfreader.moc"
