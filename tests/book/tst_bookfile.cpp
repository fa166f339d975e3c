#include "BookFile.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace kobin;

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// "|0\表計算=a1+root|a1\ソフト能力=a2+richtxt|" in code page 932 with CR LF.
const QByteArray kShiftJisBook("|0\\\x95\x5C\x8C\x76\x8E\x5A=a1+root|a1\\\x83\x5C\x83\x74\x83\x67\x94\x5C\x97\xCD=a2+richtxt|\r\n");

// The records left out of a book read; nothing when it was not read.
std::optional<int> readBook(const QString &path, ItemTree &tree)
{
    const BookReading reading = loadBookFile(path, tree);
    return reading.outcome == BookReading::Outcome::Read ? std::optional<int>(reading.droppedRecords) : std::nullopt;
}

} // namespace

class TestBookFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void shiftJisBookReadsAndWritesBackByteForByte()
    {
        const QString path = m_dir.filePath("表.iis");
        writeBytes(path, kShiftJisBook);
        ItemTree tree;
        QVERIFY(readBook(path, tree));
        QCOMPARE(tree.item("a1")->text(), QString("表計算"));
        QCOMPARE(tree.item("a2")->text(), QString("ソフト能力"));

        const QString copy = m_dir.filePath("copy.iis");
        QVERIFY(writeBookFile(copy, treestring::fromTree(tree)));
        QCOMPARE(readBytes(copy), kShiftJisBook);
    }

    void fileWithoutLineBreakReadsTheSame()
    {
        const QString path = m_dir.filePath("nobreak.iis");
        writeBytes(path, kShiftJisBook.chopped(2));
        ItemTree tree;
        const BookReading reading = loadBookFile(path, tree);
        QCOMPARE(reading.outcome, BookReading::Outcome::Read);
        QCOMPARE(reading.droppedRecords, 0);
        QCOMPARE(tree.count(), 2);
    }

    void charactersOutsideCodePage932AreWrittenAsUtf8()
    {
        const QString path = m_dir.filePath("utf8.iis");
        const QString treeString = "|0\\Café 😀=a1+root|a1\\～=a2+richtxt|";
        QVERIFY(writeBookFile(path, treeString));
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
        ItemTree tree;
        QCOMPARE(loadBookFile(path, tree).outcome, BookReading::Outcome::Read);
        QCOMPARE(treestring::fromTree(tree), treeString);
    }

    void treeIsWrittenAsItsWholeStringWouldBe_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::newRow("code page 932") << QString("表計算");
        QTest::newRow("variants folded") << QString::fromUtf16(u"\u301C\u2016\u2212\u00A2\u00A3\u00AC\u2014");
        QTest::newRow("delimiters made full-width") << QString("a|b\\c=d+e");
        QTest::newRow("outside code page 932: UTF-8") << QString("Café 😀");
        QTest::newRow("kept lead byte before a trail byte: UTF-8") << QString::fromUtf16(u"\uF181a");
        QTest::newRow("kept lead byte ending the caption") << QString::fromUtf16(u"x\uF181");
    }

    void treeIsWrittenAsItsWholeStringWouldBe()
    {
        QFETCH(QString, caption);
        // Enough items for the records to be encoded in more than one piece; the caption is in the last.
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Book=a1+root|");
        for (int key = 2; key <= 3000; ++key)
            tree.add("a1", Relationship::Child, QStringLiteral("a%1").arg(key), QStringLiteral("項目 %1").arg(key), "richtxt");
        tree.setText(tree.item("a3000"), caption);
        const QString whole = m_dir.filePath("whole.iis");
        const QString byRecords = m_dir.filePath("records.iis");
        QVERIFY(writeBookFile(whole, treestring::fromTree(tree)));
        QVERIFY(writeBookFile(byRecords, tree));
        QCOMPARE(readBytes(byRecords), readBytes(whole));
    }

    void unreadableFileChangesNothing()
    {
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Open book=a1+root|");
        const QString missing = m_dir.filePath("missing.iis");
        QCOMPARE(loadBookFile(missing, tree).outcome, BookReading::Outcome::Unreadable);
        QCOMPARE(loadBookFile(m_dir.path(), tree).outcome, BookReading::Outcome::Unreadable); // a folder is no book
        QCOMPARE(tree.item(1)->text(), QString("Open book"));
    }

    void booksNestedDeeperThanAnyRealBookAreRefused()
    {
        const auto chain = [](int levels) {
            QString treeString = "|0\\L1=a1+root|";
            for (int level = 2; level <= levels; ++level)
                treeString += QString("a%1\\L%2=a%2+fclose|").arg(level - 1).arg(level);
            return treeString.toLatin1() + "\r\n";
        };
        writeBytes(m_dir.filePath("deepest.iis"), chain(1000));
        writeBytes(m_dir.filePath("deeper.iis"), chain(1001));
        ItemTree tree;
        QCOMPARE(readBook(m_dir.filePath("deepest.iis"), tree), std::optional<int>(0));
        QCOMPARE(tree.count(), 1000);
        QCOMPARE(loadBookFile(m_dir.filePath("deeper.iis"), tree).outcome, BookReading::Outcome::TooDeep);
        QCOMPARE(tree.count(), 1000);
    }

    void devicesAndPipesAreRefusedWithoutWaiting()
    {
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Open book=a1+root|");
        const QString pipe = m_dir.filePath("pipe.iis");
        QVERIFY(::mkfifo(QFile::encodeName(pipe).constData(), 0600) == 0);
        for (const QString &path : {QString("/dev/zero"), pipe}) {
            QCOMPARE(loadBookFile(path, tree).outcome, BookReading::Outcome::Unreadable);
        }
        QCOMPARE(tree.item(1)->text(), QString("Open book"));
    }

    void fileThatIsNoBookIsRefusedAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text file") << QByteArray("# Notes\r\n\r\nKept | in a table = with + signs.\r\n");
        QTest::newRow("line breaks only") << QByteArray("\r\n");
        QTest::newRow("bars only") << QByteArray("||||\r\n");
        QTest::newRow("records none of which gives an item")
            << QByteArray("|a9\\X=a2+richtxt|0\\Y=b3+richtxt|0\\Z=a4+picture|\r\n");
        QTest::newRow("NUL among good records") << QByteArray("|0\\B=a1+root|\0a1\\X=a2+richtxt|", 30);
        QTest::newRow("control character") << QByteArray("|0\\B\x1b[1m=a1+root|");
        QTest::newRow("invalid UTF-8 after a byte-order mark") << QByteArray("\xEF\xBB\xBF|0\\B\xC3(=a1+root|");
        QTest::newRow("UTF-8 cut off at the end") << QByteArray("\xEF\xBB\xBF|0\\B=a1+root|\xE3\x81");
        QByteArray noise;
        for (quint32 x = 12345; noise.size() < 4096;) {
            x = x * 1103515245u + 12345u;
            noise += char(x >> 23);
        }
        QTest::newRow("random bytes") << noise;
    }

    void bytesCodePage932LeavesUndefinedComeBackAsTheyWere()
    {
        // As an old program may have left them in captions: an undefined single byte, an undefined pair.
        const QByteArray book("|0\\B\x80=a1+root|a1\\N\x85\x40ote=a2+richtxt|\r\n");
        const QString path = m_dir.filePath("kept.iis");
        writeBytes(path, book);
        ItemTree tree;
        QCOMPARE(readBook(path, tree), std::optional<int>(0));
        QVERIFY(writeBookFile(path, treestring::fromTree(tree)));
        QCOMPARE(readBytes(path), book);
    }

    void fileThatIsNoBookIsRefusedAndChangesNothing()
    {
        QFETCH(QByteArray, bytes);
        const QString path = m_dir.filePath("text.iis");
        writeBytes(path, bytes);
        const QString open = "|0\\Open book=a1+root|a1\\Note=a2+richtxt|";
        ItemTree tree;
        treestring::buildTree(tree, open);
        tree.select(tree.item("a2"));
        QCOMPARE(loadBookFile(path, tree).outcome, BookReading::Outcome::NotABook);
        QCOMPARE(treestring::fromTree(tree), open);
        QCOMPARE(tree.selectedItem(), tree.item("a2"));
        QCOMPARE(readBytes(path), bytes);
    }

    void booksWithUnusualButValidTextRead_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("treeString");
        // U+FFFD is a character like any other in a UTF-8 book: only undecodable bytes refuse it.
        QTest::newRow("replacement character in UTF-8")
            << QByteArray("\xEF\xBB\xBF|0\\\xEF\xBF\xBD=a1+root|\r\n") << QString("|0\\\uFFFD=a1+root|");
        QTest::newRow("tab in a caption") << QByteArray("|0\\A\tB=a1+root|\r\n") << QString("|0\\A\tB=a1+root|");
        QTest::newRow("line feed only") << QByteArray("|0\\B=a1+root|\n") << QString("|0\\B=a1+root|");
        QTest::newRow("half-width katakana") << QByteArray("|0\\\xB6\xC5=a1+root|") << QString("|0\\ｶﾅ=a1+root|");
    }

    void booksWithUnusualButValidTextRead()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, treeString);
        const QString path = m_dir.filePath("unusual.iis");
        writeBytes(path, bytes);
        ItemTree tree;
        QVERIFY(readBook(path, tree));
        QCOMPARE(treestring::fromTree(tree), treeString);
    }

    void failedWriteLeavesThePreviousFile()
    {
        const QString path = m_dir.filePath("keep.iis");
        writeBytes(path, kShiftJisBook);
        // A path under a plain file cannot be written, whoever runs the test.
        QVERIFY(!writeBookFile(path + "/inside.iis", "|0\\X=a1+root|"));
        QCOMPARE(readBytes(path), kShiftJisBook);
    }

    void bookNameIsTheFileNameCutAtItsFirstDot()
    {
        QCOMPARE(bookNameFromPath("D:\\docs\\report.final.iis"), QString("report"));
        QCOMPARE(bookNameFromPath("/home/u/my.book.iis"), QString("my"));
        QCOMPARE(bookNameFromPath("plain"), QString("plain"));
        QCOMPARE(bookNameFromPath("/x/.iis"), QString());
    }
};

QTEST_GUILESS_MAIN(TestBookFile)
#include "tst_bookfile.moc"
