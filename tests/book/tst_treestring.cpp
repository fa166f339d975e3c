#include "ItemTree.h"
#include "TreeString.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace kobin;

namespace {

QString roundTrip(const QString &treeString)
{
    ItemTree tree;
    treestring::buildTree(tree, treeString);
    return treestring::fromTree(tree);
}

} // namespace

class TestTreeString : public QObject
{
    Q_OBJECT

private slots:
    void newBookHasOneRecord()
    {
        ItemTree tree;
        QCOMPARE(treestring::buildTree(tree, u"|0\\新規ブック=a1+root|").added, 1);
        const TreeItem *book = tree.item(1);
        QCOMPARE(book->key(), QString("a1"));
        QCOMPARE(book->text(), QString("新規ブック"));
        QCOMPARE(book->image(), QString("root"));
        QCOMPARE(book->expandedImage(), QString("root"));
        QCOMPARE(book->selectedImage(), QString());
        QCOMPARE(treestring::fromTree(tree), QString("|0\\新規ブック=a1+root|"));
    }

    void nestedItemsReadBackWithOrderAndImages()
    {
        const QString s = "|0\\B=a1+root|a1\\F=a2+fclose|a2\\T=a4+richtxt|a1\\H=a3+htmlfile|";
        ItemTree tree;
        QCOMPARE(treestring::buildTree(tree, s).added, 4);
        QCOMPARE(tree.item("a1")->child()->key(), QString("a2"));
        QCOMPARE(tree.item("a2")->next()->key(), QString("a3"));
        QCOMPARE(tree.item("a2")->selectedImage(), QString("fopen"));
        QCOMPARE(tree.item("a2")->expandedImage(), QString("fopen"));
        QCOMPARE(tree.item("a4")->parent()->key(), QString("a2"));
        QCOMPARE(tree.item("a4")->selectedImage(), QString("SelectedRichtxt"));
        QCOMPARE(tree.item("a3")->selectedImage(), QString("SelectedHtmlfile"));
        QCOMPARE(treestring::fromTree(tree), s);
    }

    void trailingLineBreakIsIgnored()
    {
        const QString s = "|0\\B=a1+root|a1\\F=a2+fclose|";
        QCOMPARE(roundTrip(s + "\r\n"), s);
        QCOMPARE(roundTrip(s + "\r\ngarbage without records"), s);
    }

    void recordsThatCannotBeAddedAreSkipped_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("kept");
        QTest::newRow("unknown parent")
            << "|0\\B=a1+root|a9\\X=a2+richtxt|a1\\Y=a3+richtxt|" << "|0\\B=a1+root|a1\\Y=a3+richtxt|";
        QTest::newRow("key used twice")
            << "|0\\B=a1+root|a1\\X=a2+richtxt|a1\\Y=a2+fclose|a1\\Z=a3+richtxt|"
            << "|0\\B=a1+root|a1\\X=a2+richtxt|a1\\Z=a3+richtxt|";
        QTest::newRow("image not in the list")
            << "|0\\B=a1+root|a1\\X=a2+picture|a1\\Y=a3+richtxt|" << "|0\\B=a1+root|a1\\Y=a3+richtxt|";
        QTest::newRow("key naming another folder")
            << "|0\\B=a1+root|a1\\X=../../etc/passwd+richtxt|a1\\Y=a3+richtxt|" << "|0\\B=a1+root|a1\\Y=a3+richtxt|";
        QTest::newRow("key with leading zero")
            << "|0\\B=a1+root|a1\\X=a02+richtxt|a1\\Y=a3+richtxt|" << "|0\\B=a1+root|a1\\Y=a3+richtxt|";
        QTest::newRow("children of a skipped record go too")
            << "|0\\B=a1+root|a1\\X=a2+bad|a2\\Y=a3+richtxt|a1\\Z=a4+richtxt|" << "|0\\B=a1+root|a1\\Z=a4+richtxt|";
        QTest::newRow("no leading bar loses the first record") << "0\\B=a1+root|a1\\X=a2+richtxt|" << "|";
        QTest::newRow("empty") << "" << "|";
        QTest::newRow("only delimiters") << "|\\=+|\\\\==++||" << "|";
    }

    void recordsThatCannotBeAddedAreSkipped()
    {
        QFETCH(QString, input);
        QFETCH(QString, kept);
        QCOMPARE(roundTrip(input), kept);
    }

    void recordsLeftOutAreCounted_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("added");
        QTest::addColumn<int>("dropped");
        QTest::newRow("whole book with its line break") << "|0\\B=a1+root|a1\\X=a2+richtxt|\r\n" << 2 << 0;
        QTest::newRow("empty records between bars") << "|0\\B=a1+root||\r\n|" << 1 << 0;
        QTest::newRow("empty") << "" << 0 << 0;
        QTest::newRow("unknown parent") << "|0\\B=a1+root|a9\\X=a2+richtxt|a1\\Y=a3+richtxt|" << 2 << 1;
        QTest::newRow("key used twice") << "|0\\B=a1+root|a1\\X=a2+richtxt|a1\\Y=a2+fclose|" << 2 << 1;
        QTest::newRow("unknown image and its child")
            << "|0\\B=a1+root|a1\\X=a2+bad|a2\\Y=a3+richtxt|a1\\Z=a4+richtxt|" << 2 << 2;
        QTest::newRow("cut off in its image") << "|0\\B=a1+root|a1\\X=a2+rich" << 1 << 1;
        QTest::newRow("cut off in its parent key") << "|0\\B=a1+root|a1" << 1 << 1;
        QTest::newRow("text after the last record") << "|0\\B=a1+root|\r\ngarbage" << 1 << 1;
        QTest::newRow("record missing its key and image") << "|0\\B=a1+root|a1\\X|a1\\F=a2+fclose|" << 2 << 1;
        QTest::newRow("no leading bar") << "0\\B=a1+root|a1\\X=a2+richtxt|" << 0 << 2;
        QTest::newRow("no bar at all") << "0\\B=a1+root" << 0 << 1;
    }

    void recordsLeftOutAreCounted()
    {
        QFETCH(QString, input);
        QFETCH(int, added);
        QFETCH(int, dropped);
        ItemTree tree;
        const treestring::RecordCounts counts = treestring::buildTree(tree, input);
        QCOMPARE(counts.added, added);
        QCOMPARE(counts.dropped, dropped);
        QCOMPARE(tree.count(), added);
        QCOMPARE(treestring::givesAnItem(input), added > 0);
    }

    void cursorsMoveIndependentlyAsTheOlderReaderDid()
    {
        // A record missing its "=key+image" part makes the next record's fields be
        // taken from further on; the cursors decide what each record gets.
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\B=a1+root|a1\\X|a1\\F=a2+fclose|");
        QCOMPARE(tree.count(), 2);
        QCOMPARE(tree.item("a2")->text(), QString("X|a1\\F"));
        QCOMPARE(tree.item("a2")->parent()->key(), QString("a1"));
    }

    void captionsAreWrittenSoTheyReadBack()
    {
        ItemTree tree;
        tree.add(nullptr, Relationship::Last, "a1", "A|B", "root");
        tree.add("a1", Relationship::Child, "a2", "x\\y=z+w", "richtxt");
        const QString s = treestring::fromTree(tree);
        QCOMPARE(s, QString("|0\\A｜B=a1+root|a1\\x＼y＝z＋w=a2+richtxt|"));
        ItemTree back;
        QCOMPARE(treestring::buildTree(back, s).added, 2);
        QCOMPARE(back.item("a2")->text(), QString("x＼y＝z＋w"));
    }

    void stringsBeyond32767CharactersRead()
    {
        QString s = "|0\\長い本=a1+root|";
        for (int i = 2; s.size() < 200000; ++i)
            s += QStringLiteral("a1\\項目%1=a%1+richtxt|").arg(i);
        QVERIFY(s.size() > 32767);
        QCOMPARE(roundTrip(s), s);
    }

    void longestImageKeyIsAccepted()
    {
        const QString s = "|0\\B=a1+root|a1\\X=a2+NoSelectedFolderOpen|a1\\Y=a3+NoSelectedFolderOpenX|";
        QCOMPARE(roundTrip(s), QString("|0\\B=a1+root|a1\\X=a2+NoSelectedFolderOpen|"));
    }

    void everyTopLevelItemIsKept()
    {
        const QString s = "|0\\B=a1+root|a1\\X=a2+richtxt|0\\C=a3+root|a3\\Y=a4+fclose|";
        QCOMPARE(roundTrip(s), s);
    }

    void deepTreesWriteAndReadWithoutRecursion()
    {
        QString s = "|0\\B=a1+root|";
        for (int i = 2; i <= 100000; ++i)
            s += QStringLiteral("a%1\\d=a%2+fclose|").arg(i - 1).arg(i);
        QCOMPARE(roundTrip(s), s);
    }

    void captionsOfAnyLengthReadBackWhole_data()
    {
        QTest::addColumn<int>("length");
        QTest::newRow("the longest a user can type") << treestring::kMaxCaptionLength;
        QTest::newRow("one more") << treestring::kMaxCaptionLength + 1;
        QTest::newRow("two thousand") << 2003;
        QTest::newRow("a hundred thousand") << 100000;
    }

    void captionsOfAnyLengthReadBackWhole()
    {
        QFETCH(int, length);
        const QString caption = QString(length - 3, u'長') + "END";
        const QString s = "|0\\B=a1+root|a1\\" + caption + "=a2+richtxt|a1\\After=a3+richtxt|";
        ItemTree tree;
        treestring::buildTree(tree, s);
        QCOMPARE(tree.item("a2")->text(), caption);
        QCOMPARE(treestring::fromTree(tree), s);
    }

    void recordsRunningIntoOtherRecordsAreNotRead()
    {
        // Every record's caption would run to the same "=" far on, which is only the
        // first record's own: what is read stays within the string.
        QString s = "|0\\B=a1+root|";
        const int records = 20000;
        for (int i = 0; i < records; ++i)
            s += "a1\\|";
        for (int i = 2; i < records + 2; ++i)
            s += QStringLiteral("=a%1+richtxt|").arg(i);
        ItemTree tree;
        const treestring::RecordCounts counts = treestring::buildTree(tree, s);
        QCOMPARE(counts.added, 2);
        QCOMPARE(counts.dropped, 2 * records - 1); // each "a1\" and "=a…+richtxt" taken for a record
        QCOMPARE(tree.item("a2")->text().size(), 1 + 4 * (records - 1));
        qsizetype total = 0;
        for (int i = 1; i <= tree.count(); ++i)
            total += tree.item(i)->text().size();
        QVERIFY(total <= s.size());
    }
};

QTEST_GUILESS_MAIN(TestTreeString)
#include "tst_treestring.moc"
