#include "SearchText.h"

#include <QtTest>

using namespace kobin::search;

namespace {

bool matches(const QString &text, const QString &query, KanaMatching kana = KanaMatching::Distinct)
{
    const QStringList words = queryWords(query, kana);
    return !words.isEmpty() && containsAll(fold(text, kana), words);
}

} // namespace

class TestSearchText : public QObject
{
    Q_OBJECT

private slots:
    void widthAndCaseAreIgnored_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("query");
        QTest::newRow("full-width letters") << QStringLiteral("ＡＢＣの本") << QStringLiteral("abc");
        QTest::newRow("upper case query") << QStringLiteral("abc") << QStringLiteral("ABC");
        QTest::newRow("full-width digits") << QStringLiteral("第２０号") << QStringLiteral("20");
        QTest::newRow("half-width katakana") << QStringLiteral("ｶﾀｶﾅ") << QStringLiteral("カタカナ");
        QTest::newRow("half-width voiced marks") << QStringLiteral("ﾀﾞｲｱﾘｰ") << QStringLiteral("ダイアリー");
        QTest::newRow("combining voiced mark") << QStringLiteral("カ\u3099ス") << QStringLiteral("ガス");
        QTest::newRow("ideographic space in the query") << QStringLiteral("図書館で本") << QStringLiteral("図書館\u3000本");
        QTest::newRow("compatibility square") << QStringLiteral("㈱山田") << QStringLiteral("(株)");
        QTest::newRow("Greek case") << QStringLiteral("ΣΟΦΙΑ") << QStringLiteral("σοφια");
    }
    void widthAndCaseAreIgnored()
    {
        QFETCH(QString, text);
        QFETCH(QString, query);
        QVERIFY(matches(text, query));
    }

    void kanaMatchOnlyWhenAsked()
    {
        QVERIFY(!matches(QStringLiteral("ねこ"), QStringLiteral("ネコ")));
        QVERIFY(!matches(QStringLiteral("ネコ"), QStringLiteral("ねこ")));
        QVERIFY(matches(QStringLiteral("ねこ"), QStringLiteral("ネコ"), KanaMatching::Same));
        QVERIFY(matches(QStringLiteral("ｸﾞﾗｽ"), QStringLiteral("ぐらす"), KanaMatching::Same));
        QVERIFY(holdsKana(QStringLiteral("ab ね")));
        QVERIFY(!holdsKana(QStringLiteral("猫 cat ー")));
    }

    void katakanaFoldsToHiraganaWhereThereIsOne_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("folded");
        QTest::newRow("ends of the range") << QStringLiteral("ァヶ") << QStringLiteral("ぁゖ");
        QTest::newRow("iteration marks") << QStringLiteral("ヽヾ") << QStringLiteral("ゝゞ");
        QTest::newRow("long vowel mark") << QStringLiteral("ラーメン") << QStringLiteral("らーめん");
        QTest::newRow("voiced wa to wo") << QStringLiteral("ヷヸヹヺ") << QStringLiteral("ヷヸヹヺ");
    }
    void katakanaFoldsToHiraganaWhereThereIsOne()
    {
        QFETCH(QString, text);
        QFETCH(QString, folded);
        QCOMPARE(fold(text, KanaMatching::Same), folded);
    }

    void everyWordMustMatchAndSyntaxIsText()
    {
        const QString note = QStringLiteral("猫と犬が AND \"遊ぶ\" 庭*");
        QVERIFY(matches(note, QStringLiteral("猫")));
        QVERIFY(matches(note, QStringLiteral("犬 猫")));
        QVERIFY(!matches(note, QStringLiteral("犬 鳥")));
        QVERIFY(matches(note, QStringLiteral("\"遊ぶ\"")));
        QVERIFY(!matches(QStringLiteral("遊ぶ"), QStringLiteral("\"遊ぶ\"")));
        QVERIFY(matches(note, QStringLiteral("庭*")));
        QVERIFY(!matches(QStringLiteral("庭園"), QStringLiteral("庭*")));
        QCOMPARE(queryWords(QStringLiteral("  a\tＢ　\"c\" NEAR  "), KanaMatching::Distinct),
                 QStringList({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("\"c\""), QStringLiteral("near")}));
        QVERIFY(queryWords(QStringLiteral(" \u3000\t\n"), KanaMatching::Distinct).isEmpty());
    }

    void matchesMapBackToTheOriginalCharacters()
    {
        // "ｶﾞ" is two characters of the original that fold into one.
        const QString original = QStringLiteral("ﾊﾝｶﾞﾘｰとＡＢＣ😀ｶﾞ");
        const FoldedText folded = foldWithOrigins(original, KanaMatching::Distinct);
        QCOMPARE(folded.origins.size(), size_t(folded.text.size() + 1));
        const std::vector<TextRange> ranges
            = findWords(folded, queryWords(QStringLiteral("ガ abc"), KanaMatching::Distinct), 10);
        QCOMPARE(ranges.size(), size_t(3));
        QCOMPARE(original.mid(ranges[0].start, ranges[0].length), QStringLiteral("ｶﾞ"));
        QCOMPARE(original.mid(ranges[1].start, ranges[1].length), QStringLiteral("ＡＢＣ"));
        QCOMPARE(original.mid(ranges[2].start, ranges[2].length), QStringLiteral("ｶﾞ"));
        QCOMPARE(ranges[2].start, original.size() - 2);
        // One character that folds into several: a match inside it takes it whole.
        const QString square = QStringLiteral("x㍿y");
        const std::vector<TextRange> inside
            = findWords(foldWithOrigins(square, KanaMatching::Distinct), {QStringLiteral("式")}, 10);
        QCOMPARE(inside.size(), size_t(1));
        QCOMPARE(square.mid(inside[0].start, inside[0].length), QStringLiteral("㍿"));
        // Half a surrogate pair stands for no character, in a text as in a query.
        QCOMPARE(fold(QString(QChar(0xD842)) + u'A', KanaMatching::Distinct), QStringLiteral("\uFFFDa"));
    }

    void theFirstOccurrenceIsFoundAcrossPiecesOfALongText()
    {
        const QString pad(4095, u'x');
        const auto first = [](const QString &text, const QString &query) {
            const std::optional<TextRange> found
                = firstOccurrence(text, queryWords(query, KanaMatching::Distinct), KanaMatching::Distinct);
            return found ? text.mid(found->start, found->length) + u'@' + QString::number(found->start) : QString();
        };
        QCOMPARE(first(pad + QStringLiteral("ABCD"), QStringLiteral("abcd")), QStringLiteral("ABCD@4095"));
        QCOMPARE(first(pad + QStringLiteral("ｶﾞ"), QStringLiteral("ガ")), QStringLiteral("ｶﾞ@4095"));
        QCOMPARE(first(pad + pad + QStringLiteral("ｶﾞyy"), QStringLiteral("yy ガ")),
                 QStringLiteral("ｶﾞ@") + QString::number(2 * 4095));
        QCOMPARE(first(pad + QStringLiteral("ab") + pad, QStringLiteral("ba")), QString());
        QCOMPARE(first(QStringLiteral("😀ab"), QStringLiteral("B")), QStringLiteral("b@3"));
    }

    void overlappingMatchesAreFoundUpToTheLimit()
    {
        const FoldedText folded = foldWithOrigins(QStringLiteral("ああああ"), KanaMatching::Distinct);
        QCOMPARE(findWords(folded, {QStringLiteral("ああ")}, 10).size(), size_t(3));
        QCOMPARE(findWords(folded, {QStringLiteral("ああ")}, 2).size(), size_t(2));
    }
};

QTEST_GUILESS_MAIN(TestSearchText)
#include "tst_searchtext.moc"
