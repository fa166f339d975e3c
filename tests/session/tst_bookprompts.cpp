#include "BookPrompts.h"
#include "FakePrompter.h"
#include "ItemTree.h"
#include "TestFiles.h"
#include "TreeString.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace kobin;

// What the user is told when a book cannot be opened: one message per kind of
// refusal, and the book open before stays as it was.
class TestBookPrompts : public QObject
{
    Q_OBJECT

private slots:
    void eachRefusalIsToldInItsOwnWords_data()
    {
        QTest::addColumn<QString>("name"); // in the test's folder; "/dev/zero" as it is
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("told"); // after 「 PATH 」\n\n
        QString deep = "|0\\L1=a1+root|";
        for (int level = 2; level <= 1001; ++level)
            deep += QString("a%1\\L%2=a%2+fclose|").arg(level - 1).arg(level);
        QTest::newRow("missing") << "missing.iis" << QByteArray() << "を開けません。";
        QTest::newRow("a device") << "/dev/zero" << QByteArray() << "を開けません。";
        QTest::newRow("a pipe") << "pipe.iis" << QByteArray() << "を開けません。";
        QTest::newRow("no book") << "notes.iis" << QByteArray("# Notes\r\n") << "はブックファイルとして読めません。";
        QTest::newRow("too deep") << "deep.iis" << deep.toLatin1() << "は項目の階層が 1000 より深いため開けません。";
    }

    void eachRefusalIsToldInItsOwnWords()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, told);
        const QTemporaryDir dir;
        const QString path = name.startsWith('/') ? name : dir.filePath(name);
        if (name == "pipe.iis")
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        else if (!bytes.isEmpty())
            writeText(path, bytes);
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Open book=a1+root|");
        FakePrompter prompter;

        QVERIFY(!readBookFile(path, tree, prompter));

        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(prompter.prompts[0].text, "「 " + path + " 」\n\n" + told);
        QCOMPARE(treestring::fromTree(tree), QString("|0\\Open book=a1+root|"));
    }
};

QTEST_GUILESS_MAIN(TestBookPrompts)
#include "tst_bookprompts.moc"
