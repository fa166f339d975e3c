#include "BookFile.h"
#include "BookSession.h"
#include "FakePrompter.h"
#include "ItemTree.h"
#include "TreeString.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

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
        FakePrompter prompter;
        QVERIFY(readBookFile(path, tree, prompter));
        QVERIFY(prompter.prompts.isEmpty());
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
        const auto treeString = loadTreeString(path);
        QVERIFY(treeString);
        ItemTree tree;
        QCOMPARE(treestring::buildTree(tree, *treeString).added, 2);
    }

    void charactersOutsideCodePage932AreWrittenAsUtf8()
    {
        const QString path = m_dir.filePath("utf8.iis");
        const QString treeString = "|0\\Café 😀=a1+root|a1\\～=a2+richtxt|";
        QVERIFY(writeBookFile(path, treeString));
        const QByteArray bytes = readBytes(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QVERIFY(bytes.endsWith("\r\n"));
        QCOMPARE(loadTreeString(path).value(), treeString + "\r\n");
    }

    void unreadableFileIsReportedAndChangesNothing()
    {
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Open book=a1+root|");
        FakePrompter prompter;
        const QString missing = m_dir.filePath("missing.iis");
        QVERIFY(!readBookFile(missing, tree, prompter));
        QVERIFY(!readBookFile(m_dir.path(), tree, prompter)); // a folder is no book
        QCOMPARE(prompter.prompts.size(), 2);
        QCOMPARE(prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(prompter.prompts[0].text, QString("「 ") + missing + " 」\n\nを開けません。");
        QCOMPARE(prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(tree.item(1)->text(), QString("Open book"));
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
