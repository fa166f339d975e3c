#include "Cp932.h"
#include "JapaneseText.h"
#include "UserText.h"

#include <QtTest>

using namespace kobin;

namespace {
const QString &kJapanese = kJapaneseParagraph;
} // namespace

class TestUserText : public QObject
{
    Q_OBJECT

private slots:
    void eachEncodingIsRecognised_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("encoding");
        QTest::newRow("UTF-8 with a byte-order mark") << QByteArray("\xEF\xBB\xBF") + kJapanese.toUtf8() << QByteArray("UTF-8");
        QTest::newRow("UTF-16 little end first") << QByteArray("\xFF\xFE") + encodedAs("UTF-16LE", kJapanese)
                                                 << QByteArray("UTF-16LE");
        QTest::newRow("UTF-8 without a mark") << kJapanese.toUtf8() << QByteArray("UTF-8");
        QTest::newRow("EUC-JP, undeclared") << encodedAs("EUC-JP", kJapanese) << QByteArray("EUC-JP");
        QTest::newRow("ISO-2022-JP, undeclared") << encodedAs("ISO-2022-JP", kJapanese) << QByteArray("ISO-2022-JP");
        QTest::newRow("Shift_JIS, as code page 932") << encodeSystemText(kJapanese) << QByteArray("CP932");
    }

    void eachEncodingIsRecognised()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, encoding);
        const UserText read = decodeUserText(bytes);
        QCOMPARE(read.encoding, encoding);
        QCOMPARE(read.text, kJapanese);
    }

    void shortOrOddBytesStillGiveText()
    {
        QCOMPARE(decodeUserText("").text, QString());
        QCOMPARE(decodeUserText("plain").text, QString("plain"));
        // ソ and 表 have a backslash as their second byte in code page 932.
        QCOMPARE(decodeUserText(QByteArray("\x83\x5C\x95\x5C")).text, QString("ソ表"));
        const UserText odd = decodeUserText(QByteArray("\xFF\xFF\x80", 3)); // nothing fits: code page 932
        QCOMPARE(odd.encoding, QByteArray("CP932"));
        QCOMPARE(odd.text.size(), 3);
        // Bytes that stand for nothing are kept, and written back as they were.
        QVERIFY(odd.keptBytes);
        QVERIFY(!odd.undecodableBytes);
        QCOMPARE(encodeUserText(odd.text, odd.encoding, false).value_or("(refused)"), QByteArray("\xFF\xFF\x80", 3));
    }

    void aLeadByteKeptAloneIsRefusedWhereItWouldJoinTheNextByte()
    {
        const UserText lead = decodeUserText(QByteArray("\x82", 1));
        QString unwritable;
        QVERIFY(!encodeUserText(lead.text + u'A', lead.encoding, false, &unwritable));
        QCOMPARE(unwritable, lead.text);
        QCOMPARE(encodeUserText(lead.text + u' ', lead.encoding, false).value_or("(refused)"), QByteArray("\x82 "));
    }
};

QTEST_GUILESS_MAIN(TestUserText)
#include "tst_usertext.moc"
