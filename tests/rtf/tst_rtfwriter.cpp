#include "DocumentFormats.h"
#include "RichTextFiles.h"
#include "RtfReader.h"
#include "RtfWriter.h"

#include <QTextCursor>
#include <QtTest>

using kobin::rtf::readRtf;
using kobin::rtf::writeRtf;

namespace {

QByteArray writeText(const QString &text, const QString &family)
{
    QTextDocument document;
    QTextCharFormat format;
    format.setFontFamilies({family});
    QTextCursor(&document).insertText(text, format);
    return writeRtf(document);
}

// Every format the pane can give, on text that needs every kind of escape.
void buildRichDocument(QTextDocument &document)
{
    QTextCursor cursor(&document);
    QTextCharFormat plain;
    cursor.insertText("Plain ", plain);
    QTextCharFormat gothic;
    gothic.setFontFamilies({QStringLiteral("ＭＳ Ｐゴシック")});
    gothic.setFontPointSize(9);
    cursor.insertText("①髙～ｶﾀｶﾅソ表能", gothic);
    QTextCharFormat bold = gothic;
    bold.setFontWeight(QFont::Bold);
    cursor.insertText("太字", bold);
    QTextCharFormat italic;
    italic.setFontItalic(true);
    italic.setFontPointSize(10.5);
    cursor.insertText("italic\u2028line", italic);

    QTextBlockFormat centered;
    centered.setAlignment(Qt::AlignHCenter);
    centered.setLeftMargin(48);
    centered.setRightMargin(24);
    centered.setTextIndent(-16);
    centered.setTabPositions({QTextOption::Tab(16, QTextOption::LeftTab)}); // the one its hanging indent makes
    cursor.insertBlock(centered);
    QTextCharFormat red;
    red.setForeground(QColor(255, 0, 0));
    red.setBackground(QColor(255, 255, 0));
    red.setFontFamilies({QStringLiteral("Arial")});
    cursor.insertText("red on yellow é😀\t{\\}", red);
    for (const auto style : {QTextCharFormat::SingleUnderline, QTextCharFormat::DotLine,
                             QTextCharFormat::DashUnderline, QTextCharFormat::DashDotLine,
                             QTextCharFormat::DashDotDotLine, QTextCharFormat::WaveUnderline}) {
        QTextCharFormat underline;
        underline.setUnderlineStyle(style);
        cursor.insertText("下線", underline);
    }
    cursor.insertText("\u00A0\u2011\u00AD〜", plain);

    QTextBlockFormat right;
    right.setAlignment(Qt::AlignRight);
    cursor.insertBlock(right);
    QTextCharFormat big;
    big.setFontPointSize(36);
    big.setFontFamilies({QStringLiteral("Semi;colon")});
    cursor.insertText("大きい", big);
    cursor.insertText(" back to default size", plain);

    QTextBlockFormat justified;
    justified.setAlignment(Qt::AlignJustify);
    cursor.insertBlock(justified);
    cursor.insertBlock(QTextBlockFormat());
    cursor.insertText("after an empty paragraph", plain);
    cursor.insertBlock(QTextBlockFormat());
}

} // namespace

class TestRtfWriter : public QObject
{
    Q_OBJECT

private slots:
    void writesTheFormOfTheWindowsControl()
    {
        const QByteArray rtf = writeText("あ", QStringLiteral("ＭＳ 明朝"));
        QVERIFY2(rtf.startsWith("{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl{\\f0"), rtf);
        QVERIFY2(rtf.contains("{\\f1\\fnil\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"), rtf);
        QVERIFY2(rtf.contains("}\r\n{\\colortbl ;}\r\n\\viewkind4\\uc1\\pard"), rtf);
        QVERIFY2(rtf.contains("\\viewkind4\\uc1\\pard\\f1\\fs"), rtf);
        QVERIFY2(rtf.endsWith("\\'82\\'a0\\par\r\n}\r\n"), rtf);
    }

    void textInTheDefaultFontGetsItsNameAndSize()
    {
        QTextDocument document;
        document.setDefaultFont(QFont("Arial", 11));
        QTextCursor(&document).insertText("x");
        const QByteArray rtf = writeRtf(document);
        QVERIFY2(rtf.contains("{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"), rtf);
        QVERIFY2(rtf.contains("\\pard\\fs22 x\\par"), rtf);
    }

    void charactersAreCodePageBytesOrUnicode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("hiragana") << QString("あい") << QByteArray("\\'82\\'a0\\'82\\'a2");
        QTest::newRow("trail byte 5c") << QString("ソ表能") << QByteArray("\\'83\\'5c\\'95\\'5c\\'94\\'5c");
        QTest::newRow("NEC and IBM extensions") << QString("①髙") << QByteArray("\\'87\\'40\\'fb\\'fc");
        QTest::newRow("full-width tilde") << QString("～") << QByteArray("\\'81\\'60");
        QTest::newRow("half-width kana") << QString("ｱﾝ") << QByteArray("\\'b1\\'dd");
        QTest::newRow("wave dash is not folded") << QString("〜") << QByteArray("\\u12316?");
        QTest::newRow("outside code page 932") << QString("é") << QByteArray("\\u233?");
        QTest::newRow("beyond U+FFFF") << QString("😀") << QByteArray("\\u-10179?\\u-8704?");
        QTest::newRow("above U+7FFF") << QString("\uF041") << QByteArray("\\u-4031?");
        QTest::newRow("bytes code page 932 leaves undefined") << QString("\uF1A0\uF2E4") << QByteArray("\\'a0\\'85\\'40");
        // As a byte, it would be read back as a pair with the next one.
        QTest::newRow("lead byte kept alone") << QString("\uF182A") << QByteArray("\\u-3710?A");
        QTest::newRow("RTF's own characters") << QString("a\\{b}") << QByteArray("a\\\\\\{b\\}");
        QTest::newRow("tab and line break") << QString("a\tb\u2028c") << QByteArray("a\\tab b\\line c");
        QTest::newRow("special spaces and hyphens") << QString("\u00A0\u2011\u00AD") << QByteArray("\\~\\_\\-");
    }

    void charactersAreCodePageBytesOrUnicode()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, written);
        const QByteArray rtf = writeText(text, "MS Gothic");
        QVERIFY2(rtf.contains(written), rtf);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(document.begin().text(), text);
    }

    void fontNamesComeBackWithEveryCharacter_data()
    {
        QTest::addColumn<QString>("family");
        QTest::newRow("semicolon") << QString("Semi;colon");
        // The font table reads no \\tab nor \\line.
        QTest::newRow("tab and line break") << QString("A\tB\u2028C");
        QTest::newRow("Japanese and beyond U+FFFF") << QString("ＭＳ 明朝😀");
    }

    void fontNamesComeBackWithEveryCharacter()
    {
        QFETCH(QString, family);
        const QByteArray rtf = writeText("x", family);
        QTextDocument document;
        QVERIFY(readRtf(rtf, document));
        QCOMPARE(testing::formatAt(document, 0).fontFamilies().toStringList(), QStringList(family));
        QCOMPARE(writeRtf(document), rtf);
    }

    void westernFontsKeepTheWesternCharset()
    {
        const QByteArray latin = writeText("café", "Arial");
        QVERIFY2(latin.contains("\\fcharset0 Arial;"), latin);
        QVERIFY2(latin.contains("caf\\u233?"), latin);
        // A font that carries Japanese text must announce it, or readers decode its bytes as 1252.
        const QByteArray japanese = writeText("日本", "Arial");
        QVERIFY2(japanese.contains("\\fcharset128 Arial;"), japanese);
    }

    // A run read in a symbol font is written in it, its characters as the bytes
    // they were read from: printable ones as themselves, as the Windows control
    // writes them, so that a note saved unchanged keeps its very bytes.
    void symbolFontsKeepTheirBytes_data()
    {
        QTest::addColumn<QByteArray>("font");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("Symbol") << QByteArray("Symbol") << QByteArray("a\\'b7") << QByteArray("a\\'b7");
        QTest::newRow("glyph area escapes") << QByteArray("Symbol") << QByteArray("\\u-3999?\\u-3913?") << QByteArray("a\\'b7");
        QTest::newRow("RTF's own bytes") << QByteArray("Symbol") << QByteArray("\\'5c\\'7b\\'7d") << QByteArray("\\\\\\{\\}");
        QTest::newRow("Wingdings") << QByteArray("Wingdings") << QByteArray("\\'fcJ") << QByteArray("\\'fcJ");
        QTest::newRow("unknown symbol font") << QByteArray("Marlett") << QByteArray("\\'a8J") << QByteArray("\\'a8J");
        // Every byte of every font: no two bytes may read as one character.
        QByteArray everyByte;
        QByteArray everyByteWritten;
        for (int byte = 0; byte < 256; ++byte) {
            const QByteArray escaped = "\\'" + QByteArray::number(byte, 16).rightJustified(2, '0');
            everyByte += escaped;
            if (byte == '\\' || byte == '{' || byte == '}')
                everyByteWritten += '\\';
            everyByteWritten += byte >= 0x20 && byte < 0x7F ? QByteArray(1, char(byte)) : escaped;
        }
        for (const char *font : {"Symbol", "Wingdings", "Wingdings 2", "Wingdings 3", "Webdings", "Marlett"})
            QTest::newRow(QByteArray("every byte of ") + font) << QByteArray(font) << everyByte << everyByteWritten;
    }

    void symbolFontsKeepTheirBytes()
    {
        QFETCH(QByteArray, font);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, written);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset2 " + font + ";}}"
                        "\\f1 " + body + "}",
                        document));
        const QByteArray rtf = writeRtf(document);
        QVERIFY2(rtf.contains("\\fcharset2 " + font + ";}"), rtf);
        QVERIFY2(rtf.contains(written + "\\par"), rtf);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(copy.toPlainText(), document.toPlainText());
        QCOMPARE(writeRtf(copy), rtf);
    }

    // What a symbol font's table has no byte for is written as \uN: a letter
    // typed into the run comes back as typed, not as the font's glyph.
    void symbolRunsTypedIntoOrGivenAnotherFontStayReadable()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}{\\f1\\fnil\\fcharset2 Symbol;}}\\f1 a}", document));
        QTextCursor cursor(&document);
        cursor.movePosition(QTextCursor::End);
        cursor.insertText("a\t日😀β");
        const QString typed("αa\t日😀β");
        QByteArray rtf = writeRtf(document);
        QVERIFY2(rtf.contains("{\\f1\\fnil\\fcharset2 Symbol;}"), rtf);
        QVERIFY2(rtf.contains("a\\u97?\\tab\\u26085?\\u-10179?\\u-8704?b\\par"), rtf);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(copy.toPlainText(), typed);

        // Given another font, the run is that font's text.
        cursor.select(QTextCursor::Document);
        QTextCharFormat arial;
        arial.setFontFamilies({QStringLiteral("Arial")});
        cursor.mergeCharFormat(arial);
        rtf = writeRtf(document);
        QVERIFY2(!rtf.contains("\\fcharset2"), rtf);
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(copy.toPlainText(), typed);
    }

    // Each look read is written back in the words it was read from, and reads back the same.
    void looksAreWrittenBackInTheirWords_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArrayList>("written");
        QTest::newRow("strike") << QByteArray("\\strike a\\strike0 b") << QByteArrayList{"\\strike a\\strike0 b"};
        QTest::newRow("super and sub")
            << QByteArray("\\super 2\\sub 3\\nosupersub x") << QByteArrayList{"\\super 2\\sub 3\\nosupersub x"};
        QTest::newRow("raised and lowered") << QByteArray("\\up6 a\\dn4 b\\up0 c") << QByteArrayList{"\\up6 a\\dn4 b\\up0 c"};
        QTest::newRow("spacing") << QByteArray("\\sb120\\sa60 a") << QByteArrayList{"\\pard\\sb120\\sa60\\"};
        QTest::newRow("line spacing")
            << QByteArray("\\sl360\\slmult1 a\\par\\pard\\sl-280 b\\par\\pard\\sl300 c")
            << QByteArrayList{"\\sl360\\slmult1\\", "\\sl-280\\slmult0 b", "\\sl300\\slmult0 c"};
        QTest::newRow("tab stops")
            << QByteArray("\\tx720\\tqr\\tx4320\\tqc\\tx2880\\tqdec\\tx5000 a\\tab b")
            << QByteArrayList{"\\tx720\\tqr\\tx4320\\tqc\\tx2880\\tqdec\\tx5000\\", "a\\tab b"};
        QTest::newRow("tab stops of an indented paragraph, its hanging indent a stop of its own")
            << QByteArray("\\li720\\fi-360\\tx360\\tx1440 *\\tab *\\tab a\\tab b")
            << QByteArrayList{"\\li720\\fi-360\\tx360\\tx1440\\", "*\\tab *\\tab a"};
        QTest::newRow("Symbol's bullet in a text font")
            << QByteArray("\\u-3913?\\tab a\\u8226?") << QByteArrayList{"\\u-3913?\\tab a\\u8226?"};
    }

    void looksAreWrittenBackInTheirWords()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArrayList, written);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 " + body + "}", document));
        const QByteArray rtf = writeRtf(document);
        for (const QByteArray &words : written)
            QVERIFY2(rtf.contains(words), rtf);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::describe(copy), testing::describe(document));
        QCOMPARE(writeRtf(copy), rtf);
    }

    // A field shows its result in the result's own formats; a link's result links
    // to its address. Written back, the field's instruction is as it stood.
    void fieldsAreWrittenBackAsTheyStood_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("href"); // of the result's first character, the text's third
        QTest::addColumn<QByteArrayList>("written");
        const QByteArray web = "{\\field{\\*\\fldinst{HYPERLINK \"https://example.jp/\"}}{\\fldrslt{\\ul\\cf1 link}}}";
        QTest::newRow("web link") << "a " + web + " b" << "a link b" << "https://example.jp/"
                                  << QByteArrayList{"{\\field{\\*\\fldinst{HYPERLINK \"https://example.jp/\"}}{\\fldrslt\\ul\\cf1 link}} b"};
        QTest::newRow("bookmark") << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}}") << "a up"
                                  << "#top" << QByteArrayList{"{\\field{\\*\\fldinst HYPERLINK \\\\l \"top\"}{\\fldrslt up}}"};
        QTest::newRow("address, bookmark and tip")
            << QByteArray("a {\\field{\\*\\fldinst {HYPERLINK \"https://a.jp/x\" \\\\l \"s\" \\\\o \"tip\"}}{\\fldrslt x}}") << "a x"
            << "https://a.jp/x#s" << QByteArrayList{"{\\*\\fldinst {HYPERLINK \"https://a.jp/x\" \\\\l \"s\" \\\\o \"tip\"}}"};
        QTest::newRow("page number") << QByteArray("p {\\field{\\*\\fldinst { PAGE \\\\* MERGEFORMAT }}{\\fldrslt 3}}") << "p 3" << ""
                                     << QByteArrayList{"{\\field{\\*\\fldinst { PAGE \\\\* MERGEFORMAT }}{\\fldrslt 3}}"};
        QTest::newRow("instruction in code page 932")
            << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \"https://example.jp/\\'83\\'4e\"}{\\fldrslt \\'83\\'4e}}") << "a ク"
            << "https://example.jp/ク" << QByteArrayList{"{\\*\\fldinst HYPERLINK \"https://example.jp/\\'83\\'4e\"}"};
        QTest::newRow("two links side by side")
            << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt x}}{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt y}}")
            << "a xy" << "u" << QByteArrayList{"{\\fldrslt x}}{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt y}}\\par"};
        QTest::newRow("formats after a field are its own")
            << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt\\b x}}\\b y") << "a xy" << "u"
            << QByteArrayList{"{\\fldrslt\\b x}}\\b y"};
        QTest::newRow("a field in a link's result is its result")
            << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt x{\\field{\\*\\fldinst PAGE}{\\fldrslt 2}}}}") << "a x2"
            << "u" << QByteArrayList{"{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt x2}}"};
        QTest::newRow("a field with an empty result stays unseen")
            << QByteArray("a {\\field{\\*\\fldinst PAGE}{\\fldrslt }}b\\par{\\field{\\*\\fldinst{ DATE \\\\@ \"yyyy\" }}}")
            << "a \uFFFCb\n\uFFFC" << "" << QByteArrayList{"a {\\field{\\*\\fldinst PAGE}{\\fldrslt }}b\\par", "{\\field{\\*\\fldinst{ DATE \\\\@ \"yyyy\" }}}\\par"};
        QTest::newRow("a picture as a field's result is shown once")
            << QByteArray("a {\\field{\\*\\fldinst INCLUDEPICTURE \"p.png\"}{\\fldrslt{\\pict\\wmetafile8\\picw53\\pich53 0100}}}b")
            << "a \uFFFCb" << "" << QByteArrayList{"{\\pict\\wmetafile8"};
        QTest::newRow("a paragraph ended in a field without a result is ended once")
            << QByteArray("ab {\\field{\\*\\fldinst PAGE}\\par}c") << "ab \nc" << "" << QByteArrayList{"ab \\par"};
        QTest::newRow("a field word in the middle of a group opens no field")
            << QByteArray("ab {\\b c\\field}") << "ab c" << "" << QByteArrayList{"ab \\b c\\par"};
        QTest::newRow("a font table in a field is not the note's")
            << QByteArray("a {\\field{\\*\\fldinst PAGE}{\\fonttbl{\\f0\\fcharset2 Symbol;}}}\\f0 b") << "a \uFFFCb" << ""
            << QByteArrayList{"{\\field{\\*\\fldinst PAGE}{\\fonttbl{\\f0\\fcharset2 Symbol;}}}"};
        QTest::newRow("a shape picture in a field without a result is shown once")
            << QByteArray("a {\\field\\shppict}b") << "a \uFFFCb" << "" << QByteArrayList{"a {\\shppict}b"};
        QTest::newRow("a link right after a shape picture")
            << QByteArray("{\\*\\shppict{\\pict\\pngblip 00}}{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt xy}}") << "\uFFFCxy" << "u"
            << QByteArrayList{"{\\*\\shppict{\\pict\\pngblip 00}}{\\field{\\*\\fldinst HYPERLINK \"u\"}{\\fldrslt\\fs18 xy}}"};
        QTest::newRow("instruction cut off") << QByteArray("a {\\field{\\*\\fldinst HYPERLINK \"u\"") << "a " << "" << QByteArrayList{};
    }

    void fieldsAreWrittenBackAsTheyStood()
    {
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(QString, href);
        QFETCH(QByteArrayList, written);
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\ansi\\ansicpg932{\\colortbl;\\red0\\green0\\blue255;}" + body + "}", document));
        QCOMPARE(document.toPlainText(), text);
        QCOMPARE(testing::formatAt(document, 2).anchorHref(), href);
        const QByteArray rtf = writeRtf(document);
        for (const QByteArray &words : written)
            QVERIFY2(rtf.contains(words), rtf);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::describe(copy), testing::describe(document));
        QCOMPARE(writeRtf(copy), rtf);
    }

    // A link made in the editor is written as a HYPERLINK field of its address.
    void linksMadeInTheEditorAreWrittenAsFields()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText("see ");
        QTextCharFormat link;
        link.setAnchor(true);
        link.setAnchorHref("https://example.jp/a\"b?q=日本");
        cursor.insertText("here", link);
        const QByteArray rtf = writeRtf(document);
        QVERIFY2(rtf.contains("{\\field{\\*\\fldinst{HYPERLINK \"https://example.jp/a%22b?q=\\u26085?\\u26412?\"}}{\\fldrslt here}}"), rtf);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::formatAt(copy, 4).anchorHref(), QString("https://example.jp/a%22b?q=日本"));
    }

    // A list made in the note is written for Word and for older readers alike,
    // its items indented by their level with their markers hanging.
    void listsMadeInTheNoteAreWrittenInBothForms()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        cursor.insertText(QStringLiteral("one"));
        cursor.createList(QTextListFormat::ListDecimal);
        cursor.insertBlock();
        cursor.insertText(QStringLiteral("two"));
        cursor.insertBlock();
        QTextListFormat nested;
        nested.setStyle(QTextListFormat::ListDisc);
        nested.setIndent(2);
        cursor.createList(nested);
        cursor.insertText(QStringLiteral("three"));
        const QByteArray rtf = writeRtf(document);
        for (const char *words : {"\\pard\\li600\\fi-360\\ls1\\ilvl0{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pndec{\\pntxta .}}{\\pntext 1.\\tab}",
                                  "{\\pntext 2.\\tab}", "\\pard\\li1200\\fi-360\\ls2\\ilvl1{\\*\\pn\\pnlvlblt\\pnf1",
                                  "{\\listlevel\\levelnfc0\\leveljc0\\levelfollow0\\levelstartat1{\\leveltext\\'02\\'00.;}",
                                  "{\\listoverride\\listid2\\listoverridecount0\\ls2}"})
            QVERIFY2(rtf.contains(words), words);
        QCOMPARE(kobin::rtf::readRtfText(rtf, u"\n").value_or(QString()), QStringLiteral("1. one\n2. two\n  \u2022 three"));
    }

    // Numbers come right after text in a symbol font: they stay numbers.
    void listNumbersAfterSymbolTextStayNumbers()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset2 Symbol;}}\\f1 a\\par\\pard"
                        "{\\*\\pn\\pnlvlbody\\pndec{\\pntxtb\\f0 (}{\\pntxta\\f0 .}}\\f0 b}",
                        document));
        const QByteArray rtf = writeRtf(document);
        QVERIFY2(kobin::rtf::readRtfText(rtf, u"\n").value_or(QString()).endsWith(QStringLiteral("\n(1. b")), rtf.constData());
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(writeRtf(copy), rtf);
    }

    // Word's entries of a list (its name, hybrid marks, tab stops, anything the
    // note does not show) are written back as read, fonts renumbered, while the
    // note shows the list as read; changed, it gets entries of its own.
    void wordListsKeepTheirEntriesWhileUnchanged()
    {
        const QByteArray entry = "{\\list\\listtemplateid77\\listhybrid{\\listlevel\\levelnfc23{\\leveltext\\'01\\u-3913 ?;}\\f5\\jclisttab\\tx720}"
                                 "{\\listlevel\\levelnfc4{\\leveltext\\'02\\'01);}\\f3\\fi-360}{\\listname A;}\\listid9}";
        QTextDocument note;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f3 Arial;}{\\f5\\fcharset2 Wingdings;}}{\\*\\listtable" + entry + "}"
                        "{\\*\\listoverridetable{\\listoverride\\listid9\\listoverridecount0\\ls4}{\\listoverride\\listid9\\listoverridecount0\\ls6}}"
                        "{\\*\\pn\\pnlvlbody\\pndec}z\\par\\pard\\ls4 a\\par\\pard\\ls4\\ilvl1 b\\par\\pard\\ls6 c}",
                        note));
        const QByteArray saved = writeRtf(note);
        const QByteArray renumbered = QByteArray(entry).replace("\\f5", "\\f2");
        QCOMPARE(saved.count(renumbered), 1);
        for (const char *words : {"{\\f2\\fnil\\fcharset2 Wingdings;}{\\f3\\fnil\\fcharset0 Arial;}",
                                  "{\\listoverride\\listid9\\listoverridecount0\\ls4}{\\listoverride\\listid9\\listoverridecount0\\ls6}",
                                  "\\ls4\\ilvl0", "\\ls4\\ilvl1", "\\ls6\\ilvl0"})
            QVERIFY2(saved.contains(words), saved.constData());
        QTextDocument copy;
        QVERIFY(readRtf(saved, copy));
        QCOMPARE(writeRtf(copy), saved);

        QTextListFormat numbers = note.begin().next().textList()->format();
        numbers.setStyle(QTextListFormat::ListDecimal);
        note.begin().next().textList()->setFormat(numbers);
        const QByteArray changed = writeRtf(note);
        QVERIFY2(changed.contains("\\pard\\ls8\\ilvl0{\\*\\pn\\pnlvlbody") && changed.contains("\\listid11}"), changed.constData());
        QVERIFY2(changed.contains("\\ls4\\ilvl1") && changed.contains("{\\listname A;}"), changed.constData());

        // A list in an entry is part of that entry.
        QTextDocument nested;
        QVERIFY(readRtf("{\\rtf1{\\*\\listtable{\\list{\\list x}{\\listlevel\\levelnfc4}\\listid3}}"
                        "{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}\\pard\\ls1 a}",
                        nested));
        const QByteArray kept = writeRtf(nested);
        QVERIFY2(kept.contains("{\\*\\listtable{\\list{\\list x}{\\listlevel\\levelnfc4}\\listid3}}"), kept.constData());

        // A number outside an entry's group is not the entry's: the entry written back
        // would lack it; a font table in an entry (a font without a name) is not the note's.
        const char fontTableInEntry[] = "{\\rtf1 {\\listtable{\\list\\fonttbl{\\f\0}}{\\listoverride\\ls1}}\\ls1";
        for (const QByteArray &rtf : {QByteArray("{\\rtf1{\\*\\listtable{\\list\\listid3}{\\listoverride\\listid3}\\ls1}\\pard\\ls1 a}"),
                                      QByteArray(fontTableInEntry, sizeof fontTableInEntry - 1)}) {
            QTextDocument read;
            QVERIFY(readRtf(rtf, read));
            const QByteArray once = writeRtf(read);
            QTextDocument again;
            QVERIFY(readRtf(once, again));
            QCOMPARE(writeRtf(again), once);
        }
    }

    void readingWhatWasWrittenGivesTheSameDocument()
    {
        QTextDocument original;
        buildRichDocument(original);
        const QByteArray rtf = writeRtf(original);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::describe(copy), testing::describe(original));
        QCOMPARE(copy.blockCount(), original.blockCount());
        QCOMPARE(writeRtf(copy), rtf);
    }

    // The header, written after the body, goes in front of it however long it is.
    void aHeaderOfManyFontsAndColoursComesFirst()
    {
        QTextDocument document;
        QTextCursor cursor(&document);
        for (int i = 0; i < 200; ++i) {
            QTextCharFormat format;
            format.setFontFamilies({QStringLiteral("Font number %1").arg(i)});
            format.setForeground(QColor(i, 0, 255 - i));
            cursor.insertText(QStringLiteral("run %1 ").arg(i), format);
        }
        const QByteArray rtf = writeRtf(document);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::describe(copy), testing::describe(document));
        QCOMPARE(writeRtf(copy), rtf);
    }

    void emptyParagraphsKeepTheSizeOfTheirLine()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1\\fs40\\par\\fs20 x}", document));
        QTextDocument copy;
        QVERIFY(readRtf(writeRtf(document), copy));
        QCOMPARE(copy.blockCount(), 2);
        QCOMPARE(copy.begin().charFormat().fontPointSize(), 20.0);
        QCOMPARE(testing::formatAt(copy, 1).fontPointSize(), 10.0);
    }

    void emptyParagraphsInTheirOwnFontAndColourKeepThem()
    {
        QTextDocument document;
        QVERIFY(readRtf("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset128 MS Gothic;}{\\f2 Courier;}}"
                        "{\\colortbl ;\\red0\\green0\\blue255;\\red255\\green0\\blue0;}"
                        "\\f0\\cf1 text\\par\\f1\\cf2\\highlight1\\par\\f2\\cf0\\highlight0\\par\\f0 end}",
                        document));
        const QByteArray rtf = writeRtf(document);
        QTextDocument copy;
        QVERIFY(readRtf(rtf, copy));
        QCOMPARE(testing::describe(copy), testing::describe(document));
        const QTextCharFormat gothic = copy.findBlockByNumber(1).charFormat();
        QCOMPARE(gothic.fontFamilies().toStringList(), QStringList("MS Gothic"));
        QCOMPARE(gothic.foreground().color(), QColor(255, 0, 0));
        QCOMPARE(gothic.background().color(), QColor(0, 0, 255));
        QCOMPARE(copy.findBlockByNumber(2).charFormat().fontFamilies().toStringList(), QStringList("Courier"));
        // Writing what was read back gives the very same bytes.
        QCOMPARE(writeRtf(copy), rtf);
    }

    void notesOfEachRichEditVersionSurviveARoundTrip_data()
    {
        QTest::addColumn<QString>("file");
        QTest::newRow("RichEdit 1.0") << "richedit10.rtf";
        QTest::newRow("RichEdit 2.0/3.0") << "richedit20.rtf";
        QTest::newRow("RichEdit 4.1") << "richedit41.rtf";
        QTest::newRow("looks of text and paragraphs") << "looks.rtf";
        QTest::newRow("links and fields") << "links.rtf";
        QTest::newRow("lists of both forms") << "lists.rtf";
    }

    void notesOfEachRichEditVersionSurviveARoundTrip()
    {
        QFETCH(QString, file);
        QTextDocument note;
        QVERIFY(readRtf(testing::readBytes(KOBIN_RTF_DATA "/" + file), note));
        QTextDocument copy;
        QVERIFY(readRtf(writeRtf(note), copy));
        QCOMPARE(testing::describe(copy), testing::describe(note));
    }

    // Notes made by hand as word processors write them: edited at the front and
    // saved, they keep every word of their structure and the same text.
    void handMadeNotesKeepTheirStructureAfterAnEdit_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArrayList>("words");
        QTest::newRow("looks") << "looks.rtf"
                               << QByteArrayList{"\\strike", "\\strike0", "\\sub", "\\super", "\\nosupersub", "\\up6",
                                                 "\\dn4", "\\tx1440\\tqc\\tx4320\\tqr\\tx7920", "\\tqdec\\tx2880",
                                                 "\\sb240\\sa120", "\\sl360\\slmult1", "\\sa200\\sl-400\\slmult0",
                                                 "\\u-3913?", "{\\nonshppict{\\pict\\pngblip"};
        QTest::newRow("links") << "links.rtf"
                               << QByteArrayList{"{\\field{\\*\\fldinst{HYPERLINK \"https://example.jp/\\'88\\'c4\\'93\\'e0/\"}}{\\fldrslt",
                                                 "{\\field{\\*\\fldinst{HYPERLINK \"mailto:info@example.jp\" \\\\o \"\\'83\\'81\\'81\\'5b\\'83\\'8b\"}}",
                                                 "{\\field{\\*\\fldinst HYPERLINK \\\\l \"mokuji\"}{\\fldrslt",
                                                 "{\\field{\\*\\fldinst { PAGE \\\\* MERGEFORMAT }}{\\fldrslt"};
        QTest::newRow("lists") << "lists.rtf"
                               << QByteArrayList{"\\li360\\fi-360\\ls2\\ilvl0{\\*\\pn\\pnlvlblt", "\\'b7\\tab}\\'97\\'91\\par",
                                                 "\\pnstart1\\pndec{\\pntxta .}}{\\pntext 1.\\tab}", "{\\pntext 2.\\tab}",
                                                 "\\li1440\\fi-360\\ls1\\ilvl1{\\*\\pn\\pnlvlbody\\pnindent0\\pnstart1\\pnlcltr",
                                                 "{\\pntext b)\\tab}", "{\\pntext i.\\tab}",
                                                 "{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\levelstartat1{\\leveltext\\'01\\u-3913 ?;}{\\levelnumbers;}\\f2\\fi-360",
                                                 "{\\leveltext\\'02\\'01);}{\\levelnumbers\\'01;}\\fi-360\\li1440}", "\\li2160}\\listid7}",
                                                 "{\\listoverride\\listid7\\listoverridecount0\\ls1}"};
    }

    void handMadeNotesKeepTheirStructureAfterAnEdit()
    {
        QFETCH(QString, file);
        QFETCH(QByteArrayList, words);
        QTextDocument note;
        QVERIFY(readRtf(testing::readBytes(KOBIN_RTF_DATA "/" + file), note));
        const QString text = kobin::richtext::plainText(note, u"\n");
        QTextCursor(&note).insertText(QStringLiteral("追記"));
        const QByteArray saved = writeRtf(note);
        for (const QByteArray &word : words)
            QVERIFY2(saved.contains(word), word.constData());
        QTextDocument copy;
        QVERIFY(readRtf(saved, copy));
        QCOMPARE(kobin::richtext::plainText(copy, u"\n"), QStringLiteral("追記") + text);
    }
};

QTEST_MAIN(TestRtfWriter)
#include "tst_rtfwriter.moc"
