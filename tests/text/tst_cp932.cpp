#include "Cp932.h"

#include <QtTest>

using namespace kobin;

class TestCp932 : public QObject
{
    Q_OBJECT

private slots:
    void decodesJapaneseWhoseTrailByteIsBackslash_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("so") << QByteArray("\x83\x5C") << QStringLiteral("ソ");
        QTest::newRow("hyou") << QByteArray("\x95\x5C") << QStringLiteral("表");
        QTest::newRow("nou") << QByteArray("\x94\x5C") << QStringLiteral("能");
        QTest::newRow("circled one") << QByteArray("\x87\x40") << QStringLiteral("①");
        QTest::newRow("taka (IBM extension)") << QByteArray("\xFB\xFC") << QStringLiteral("髙");
        QTest::newRow("wave dash") << QByteArray("\x81\x60") << QStringLiteral("～");
        QTest::newRow("half-width kana") << QByteArray("\xB1\xDE") << QStringLiteral("ｱﾞ");
        QTest::newRow("backslash stays a backslash") << QByteArray("a\\b") << QStringLiteral("a\\b");
        QTest::newRow("mixed") << QByteArray("\x83\x5C\x83\x74\x83\x67" "a") << QStringLiteral("ソフトa");
    }

    void decodesJapaneseWhoseTrailByteIsBackslash()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
        QByteArray encoded;
        QVERIFY(cp932::encode(text, encoded));
        QCOMPARE(encoded, bytes);
    }

    void everyDefinedCodeDecodesAndEncodesBackToItsCharacter()
    {
        int defined = 0;
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            if (!cp932::isLeadByte(static_cast<unsigned char>(lead)))
                continue;
            for (int trail = 0x40; trail <= 0xFC; ++trail) {
                const char16_t ch = cp932::decodePair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
                if (ch == 0 || cp932::isKeptBytes(ch))
                    continue;
                ++defined;
                const int code = cp932::encodeChar(ch);
                QVERIFY2(code > 0xFF, qPrintable(QString::number(ch, 16)));
                QCOMPARE(cp932::decodePair(static_cast<unsigned char>(code >> 8), static_cast<unsigned char>(code & 0xFF)), ch);
            }
        }
        QCOMPARE(defined, 9604);
    }

    void duplicateCodesEncodeAsWindowsDoes()
    {
        // NEC-selected IBM extensions are written as the IBM extensions, NEC row 13
        // duplicates of JIS symbols as the JIS ones.
        QCOMPARE(cp932::encodeChar(cp932::decodePair(0xED, 0x40)), 0xFA5C);
        QCOMPARE(cp932::encodeChar(cp932::decodePair(0x87, 0x90)), 0x81E0);
        QCOMPARE(cp932::encodeChar(u'¬'), -1);
        QCOMPARE(cp932::encodeChar(0xFFE2), 0x81CA);
    }

    void bytesThatStandForNothingAreKeptAsCharacters_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("single bytes") << QByteArray("\x80\xA0\xFD\xFE\xFF")
                                      << QStringLiteral("\uF180\uF1A0\uF1FD\uF1FE\uF1FF");
        QTest::newRow("lead byte at the end") << QByteArray("a\x81") << QStringLiteral("a\uF181");
        // A lead byte kept alone leaves the byte after it to be read on its own.
        QTest::newRow("lead byte before a space") << QByteArray("\x9F x") << QStringLiteral("\uF19F x");
        QTest::newRow("lead byte before DEL") << QByteArray("\xE0\x7F") << QStringLiteral("\uF1E0\x7F");
        QTest::newRow("lead byte before 0xFD") << QByteArray("\xFC\xFD") << QStringLiteral("\uF1FC\uF1FD");
        QTest::newRow("first undefined pair") << QByteArray("\x81\xAD") << QStringLiteral("\uF200");
        QTest::newRow("undefined pair") << QByteArray("\x85\x40z") << QStringLiteral("\uF2E4z");
        QTest::newRow("last undefined pair") << QByteArray("\xFC\xFC") << QStringLiteral("\uF88B");
    }

    void bytesThatStandForNothingAreKeptAsCharacters()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(cp932::decode(bytes), text);
        QByteArray encoded;
        QVERIFY(cp932::encode(text, encoded));
        QCOMPARE(encoded, bytes);
        // A book that holds them is written back as it was, in code page 932.
        QCOMPARE(encodeSystemText(decodeSystemText(bytes)), bytes);
    }

    void everyByteAndPairOfBytesComesBackAsItWas()
    {
        int rewritten = 0;
        QByteArray encoded;
        for (int first = 0; first < 0x100; ++first) {
            const QByteArray single(1, static_cast<char>(first));
            QVERIFY(cp932::encode(cp932::decode(single), encoded));
            QCOMPARE(encoded, single);
            for (int second = 0; second < 0x100; ++second) {
                const QByteArray bytes = single + static_cast<char>(second);
                const QString text = cp932::decode(bytes);
                QVERIFY(cp932::encode(text, encoded));
                if (encoded == bytes)
                    continue;
                // Only a character with two codes may come back as the one Windows writes.
                ++rewritten;
                QCOMPARE(text.size(), 1);
                QCOMPARE(cp932::decode(encoded), text);
            }
        }
        QCOMPARE(rewritten, 398);
    }

    void aLeadByteKeptAloneIsNeverWrittenWhereItWouldJoinTheNextByte()
    {
        const QString lead(QChar(0xF182));
        QByteArray encoded;
        QVERIFY(cp932::encode(lead + u' ', encoded));
        QCOMPARE(encoded, QByteArray("\x82 "));
        for (const QString &next : {QStringLiteral("A"), QStringLiteral("ｱ"), QStringLiteral("あ"), QString(QChar(0xF1A0))}) {
            qsizetype failedAt = -1;
            QVERIFY2(!cp932::encode(u'x' + lead + next, encoded, &failedAt), qPrintable(next));
            QCOMPARE(failedAt, 1);
        }
        // The system's text files then keep it in UTF-8.
        QCOMPARE(encodeSystemText(lead + u'A'), QByteArray("\xEF\xBB\xBF\xEF\x86\x82" "A"));
    }

    void systemTextFoldsVariantsIntoCodePage932()
    {
        const QString variants = QStringLiteral("\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014");
        const QByteArray bytes = encodeSystemText(variants);
        QVERIFY(!bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(decodeSystemText(bytes), QStringLiteral("～∥－￠￡￢―"));
    }

    void systemTextInUtf8KeepsTheCharactersAsTyped_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        // Only code page 932 needs its own forms of 〜 and the like.
        QTest::newRow("variants are not folded") << QStringLiteral("〜−😀")
                                                 << QByteArray("\xE3\x80\x9C\xE2\x88\x92\xF0\x9F\x98\x80");
        // Half a pair, as text cut to a length may leave, is marked as lost, never written as "?".
        QTest::newRow("high surrogate at the end") << QStringLiteral("😀a") + QChar(0xD83D)
                                                   << QByteArray("\xF0\x9F\x98\x80" "a\xEF\xBF\xBD");
        QTest::newRow("low surrogate alone") << QString(QChar(0xDE00)) + u'b' << QByteArray("\xEF\xBF\xBD" "b");
        QTest::newRow("high surrogate before a pair") << QString(QChar(0xD83D)) + QStringLiteral("😀")
                                                      << QByteArray("\xEF\xBF\xBD\xF0\x9F\x98\x80");
    }

    void systemTextInUtf8KeepsTheCharactersAsTyped()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(encodeSystemText(text), QByteArray("\xEF\xBB\xBF") + bytes);
    }

    void systemTextFallsBackToUtf8RatherThanQuestionMarks()
    {
        const QString text = QStringLiteral("日本語 é 😀 한국어");
        const QByteArray bytes = encodeSystemText(text);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(!bytes.contains('?'));
        QCOMPARE(decodeSystemText(bytes), text);
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "tst_cp932.moc"
