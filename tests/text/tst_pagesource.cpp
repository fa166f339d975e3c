#include "Cp932.h"
#include "JapaneseText.h"
#include "PageSource.h"

#include <QtTest>

using namespace kobin;

namespace {

const QString kBody = QStringLiteral("<p>") + kJapaneseParagraph + QStringLiteral("</p>");

QString page(const QString &head, const QString &lineBreak = QStringLiteral("\n"))
{
    return QStringLiteral("<html><head>%1<title>日記</title></head>%2<body>%2%3%2</body></html>%2")
        .arg(head, lineBreak, kBody);
}

} // namespace

class TestPageSource : public QObject
{
    Q_OBJECT

private slots:
    void theDeclaredCharsetIsFoundInTheHeadOnly()
    {
        QCOMPARE(declaredCharset("<meta charset=\"EUC-JP\">"), QByteArray("euc-jp"));
        QCOMPARE(declaredCharset("<META http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">"),
                 QByteArray("shift_jis"));
        QCOMPARE(declaredCharset("<meta charset='utf-8' />"), QByteArray("utf-8"));
        QCOMPARE(declaredCharset("<p>charset=euc-jp is not a tag</p>"), QByteArray());
        QCOMPARE(declaredCharset(QByteArray(1024, ' ') + "<meta charset=euc-jp>"), QByteArray());
    }

    void eachPageIsWrittenBackByteForByte_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("encoding");
        const QString sjisHead = QStringLiteral("<meta http-equiv=\"Content-Type\" content=\"text/html; charset=Shift_JIS\">");
        QTest::newRow("UTF-8, declared, CRLF")
            << page(QStringLiteral("<meta charset=\"utf-8\">"), QStringLiteral("\r\n")).toUtf8() << QByteArray("UTF-8");
        QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + page(QString()).toUtf8()
                                                      << QByteArray("UTF-8");
        QTest::newRow("EUC-JP, declared") << encodedAs("EUC-JP", page(QStringLiteral("<meta charset=euc-jp>")))
                                          << QByteArray("EUC-JP");
        QTest::newRow("EUC-JP, undeclared, CR") << encodedAs("EUC-JP", page(QString(), QStringLiteral("\r")))
                                                << QByteArray("EUC-JP");
        QTest::newRow("ISO-2022-JP, undeclared") << encodedAs("ISO-2022-JP", page(QString())) << QByteArray("ISO-2022-JP");
        QTest::newRow("Shift_JIS, declared") << encodeSystemText(page(sjisHead, QStringLiteral("\r\n")))
                                             << QByteArray("CP932");
        // ～ (FF5E) and ソ (a backslash as second byte) are where Shift_JIS readers go wrong.
        QTest::newRow("Shift_JIS, undeclared") << encodeSystemText(page(QString()) + QStringLiteral("～ソ表"))
                                               << QByteArray("CP932");
        QTest::newRow("UTF-8 though it declares Shift_JIS") << page(sjisHead).toUtf8() << QByteArray("UTF-8");
        // Bytes code page 932 leaves undefined: single, a pair, a lead byte without its trail.
        const QByteArray nothing("\xA0\x85\x40\xFF\x82", 5);
        QTest::newRow("Shift_JIS with bytes that stand for nothing, declared")
            << encodeSystemText(page(sjisHead, QStringLiteral("\r\n"))) + nothing << QByteArray("CP932");
        QTest::newRow("Shift_JIS with bytes that stand for nothing, undeclared")
            << encodeSystemText(page(QString())) + nothing << QByteArray("CP932");
    }

    void eachPageIsWrittenBackByteForByte()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, encoding);
        const PageSource source = readPageSource(bytes);
        QCOMPARE(source.read.encoding, encoding);
        QVERIFY(!source.read.undecodableBytes);
        QVERIFY(source.read.text.contains(kBody));
        QVERIFY(!source.read.text.contains(u'\r'));
        QCOMPARE(writePageSource(source.read.text, source).value_or("(refused)"), bytes);
    }

    void anEditChangesOnlyItsOwnBytes()
    {
        const QByteArray before = encodedAs("EUC-JP", page(QStringLiteral("<meta charset=euc-jp>"), QStringLiteral("\r\n")));
        const PageSource source = readPageSource(before);
        QString text = source.read.text;
        text.replace(QStringLiteral("日記"), QStringLiteral("旅行記\n"));
        const QByteArray after = writePageSource(text, source).value_or("(refused)");
        QCOMPARE(after, QByteArray(before).replace(encodedAs("EUC-JP", QStringLiteral("日記")),
                                                   encodedAs("EUC-JP", QStringLiteral("旅行記\r\n"))));
    }

    void aCharacterTheEncodingLacksIsRefusedAndNamed()
    {
        const PageSource source = readPageSource(encodedAs("EUC-JP", page(QStringLiteral("<meta charset=euc-jp>"))));
        QString unwritable;
        QVERIFY(!writePageSource(source.read.text + QStringLiteral("笑顔😀です"), source, &unwritable));
        QCOMPARE(unwritable, QStringLiteral("😀"));

        const PageSource sjis = readPageSource(encodeSystemText(page(QString())));
        QVERIFY(!writePageSource(QStringLiteral("한국어"), sjis, &unwritable));
        QCOMPARE(unwritable, QStringLiteral("한"));
        // What an input method types for the wave dash is written as code page 932's own.
        QCOMPARE(writePageSource(QStringLiteral("〜"), sjis).value_or("(refused)"), QByteArray("\x81\x60"));
    }

    void bytesThatWouldNotComeBackAreNoticed()
    {
        QVERIFY(readPageSource(QByteArray("<meta charset=utf-8>\xFF\xFE\xFD", 23)).read.undecodableBytes);
        // An NEC-selected IBM extension is written back as the IBM extension.
        QVERIFY(readPageSource(encodeSystemText(kBody) + QByteArray("\xED\x40", 2)).read.undecodableBytes);
        QVERIFY(!readPageSource(encodeSystemText(kBody)).read.undecodableBytes);
    }
};

QTEST_GUILESS_MAIN(TestPageSource)
#include "tst_pagesource.moc"
