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
        QCOMPARE(treestring::buildTree(tree, u"|0\\新規ブック=a1+root|"), 1);
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
        QCOMPARE(treestring::buildTree(tree, s), 4);
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
        QCOMPARE(treestring::buildTree(back, s), 2);
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

    void hostileOverlappingCaptionsStayBounded()
    {
        // Every record's caption would otherwise run to the far end of the string.
        QString s = "|0\\B=a1+root|";
        const int records = 20000;
        for (int i = 0; i < records; ++i)
            s += "a1\\|";
        for (int i = 2; i < records + 2; ++i)
            s += QStringLiteral("=a%1+richtxt|").arg(i);
        ItemTree tree;
        QVERIFY(treestring::buildTree(tree, s) > records / 2);
        qsizetype total = 0;
        for (int i = 1; i <= tree.count(); ++i) {
            QVERIFY(tree.item(i)->text().size() <= treestring::kMaxCaptionLength);
            total += tree.item(i)->text().size();
        }
        QVERIFY(total <= 4 * s.size() + 65536);
    }
};

QTEST_GUILESS_MAIN(TestTreeString)
#include "tst_treestring.moc"
