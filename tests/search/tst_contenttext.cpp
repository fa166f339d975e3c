#include "ContentText.h"
#include "Cp932.h"
#include "JapaneseText.h"
#include "RichTextFiles.h"
#include "SmallStack.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

using namespace kobin;
using namespace kobin::search;

class TestContentText : public QObject
{
    Q_OBJECT

private slots:
    void aPageGivesTheTextItShows()
    {
        const QByteArray html = "<!DOCTYPE html><html><head><title>My  Page</title>"
                                "<style>p { color: red }</style><script>var hidden = 1;</script></head>"
                                "<body><h1>Heading</h1><p>one\n   two</p><div>three<br>four</div>"
                                "<noscript>no scripts</noscript><template>later</template>"
                                "<p>a &amp; b &lt;c&gt;</p><!-- a comment --></body></html>";
        QCOMPARE(visiblePageText(html).value_or(QStringLiteral("<none>")),
                 QStringLiteral("My Page\nHeading\none two\nthree\nfour\na & b <c>"));
    }

    void aPageIsReadInItsOwnEncoding_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QString body = QStringLiteral("<p>") + kJapaneseParagraph + QStringLiteral("</p>");
        QTest::newRow("Shift_JIS, declared") << encodeSystemText(
            QStringLiteral("<html><head><meta charset=\"Shift_JIS\"></head><body>") + body + QStringLiteral("</body></html>"));
        QTest::newRow("Shift_JIS, undeclared") << encodeSystemText(QStringLiteral("<html><body>") + body
                                                                   + QStringLiteral("</body></html>"));
        QTest::newRow("EUC-JP, undeclared") << encodedAs("EUC-JP", QStringLiteral("<html><body>") + body
                                                                       + QStringLiteral("</body></html>"));
        QTest::newRow("UTF-16 with a byte-order mark")
            << QByteArray("\xFF\xFE") + encodedAs("UTF-16LE", QStringLiteral("<html><body>") + body);
        // Single-file archives: the page part is read, whatever comes before it.
        const QByteArray archiveHeader = "From: <Saved by a browser>\r\nMIME-Version: 1.0\r\n"
                                         "Content-Type: multipart/related;\r\n\ttype=\"text/html\";\r\n"
                                         "\tboundary=\"----Boundary--x\"\r\n\r\n";
        QByteArray quoted;
        const QByteArray utf8 = ("<html><head><meta charset=\"utf-8\"></head><body>" + body + "</body></html>").toUtf8();
        for (int i = 0; i < utf8.size(); ++i) {
            const auto byte = static_cast<unsigned char>(utf8[i]);
            quoted += byte >= 0x80 || byte == '=' ? "=" + QByteArray::number(byte, 16).toUpper() : QByteArray(1, char(byte));
            if (i == utf8.size() / 2)
                quoted += "=\r\n"; // a soft line break inside a character
        }
        QTest::newRow("MHTML, quoted-printable")
            << archiveHeader + "------Boundary--x\r\nContent-Type: text/css\r\n\r\np { color: red }\r\n"
                   "------Boundary--x\r\nContent-Type: text/html\r\nContent-Transfer-Encoding: quoted-printable\r\n\r\n"
                   + quoted + "\r\n------Boundary--x--\r\n";
        QTest::newRow("MHTML, base64 in the charset its part names")
            << archiveHeader + "------Boundary--x\r\nContent-Type: text/html;\r\n charset=\"shift_jis\"\r\n"
                   "Content-Transfer-Encoding: base64\r\n\r\n"
                   + encodeSystemText(QStringLiteral("<html><body>") + body).toBase64() + "\r\n------Boundary--x--\r\n";
    }
    void aPageIsReadInItsOwnEncoding()
    {
        QFETCH(QByteArray, bytes);
        QCOMPARE(visiblePageText(bytes).value_or(QString()), kJapaneseParagraph);
    }

    void badPagesGiveNothingOrText()
    {
        QByteArray binary(8000, '\0');
        for (int i = 0; i < binary.size(); ++i)
            binary[i] = static_cast<char>((i * 7919) % 251);
        QVERIFY(!visiblePageText(binary));
        QCOMPARE(visiblePageText("").value_or(QStringLiteral("<none>")), QString());
        // Deep nesting is walked without recursion.
        const QByteArray deep = QByteArray("<div>").repeated(kDeeperThanAnyRecursion) + "deep"
                                + QByteArray("</div>").repeated(kDeeperThanAnyRecursion);
        std::optional<QString> deepText;
        runOnSmallStack([&] { deepText = visiblePageText(deep); });
        QCOMPARE(deepText.value_or(QString()), QStringLiteral("deep"));
        QCOMPARE(visiblePageText("<p>unclosed <b>tags<p>and <td>cells").value_or(QString()),
                 QStringLiteral("unclosed tags\nand cells"));
    }

    void filesAreReadWithinBounds()
    {
        QTemporaryDir dir;
        const QString big = dir.filePath(QStringLiteral("big.html"));
        {
            QFile file(big);
            QVERIFY(file.open(QIODevice::WriteOnly));
            QVERIFY(file.resize(kMaxPageFileSize + 1));
        }
        QVERIFY(!pageFileText(big));
        QVERIFY(!pageFileText(dir.filePath(QStringLiteral("missing.html"))));
        QVERIFY(!pageFileText(dir.path())); // a folder
        writeText(dir.filePath(QStringLiteral("ok.html")), "<p>ok</p>");
        QCOMPARE(pageFileText(dir.filePath(QStringLiteral("ok.html"))).value_or(QString()), QStringLiteral("ok"));
    }

    void aNoteGivesItsParagraphs()
    {
        QTemporaryDir dir;
        QTextDocument document;
        document.setPlainText(QStringLiteral("一行目 ＡＢＣ\n二行目"));
        const QString note = dir.filePath(QStringLiteral("a2.rtf"));
        QVERIFY(richtext::saveFile(document, note, richtext::FileType::Rtf));
        QCOMPARE(noteFileText(note).value_or(QString()), QStringLiteral("一行目 ＡＢＣ\n二行目"));
        writeText(dir.filePath(QStringLiteral("a3.rtf")), "not rtf at all");
        QVERIFY(!noteFileText(dir.filePath(QStringLiteral("a3.rtf"))));
        writeText(dir.filePath(QStringLiteral("a4.rtf")), "{\\rtf1 broken {\\b bold");
        QCOMPARE(noteFileText(dir.filePath(QStringLiteral("a4.rtf"))).value_or(QStringLiteral("<none>")),
                 QStringLiteral("broken bold"));
    }
};

QTEST_MAIN(TestContentText)
#include "tst_contenttext.moc"
