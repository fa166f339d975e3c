#include "BookFixture.h"
#include "ContentNameCase.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

// Content files written by Windows tools with other capitals are found.
class TestContentNameCase : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\Text=a3+richtxt|a1\\Web=a5+htmlfile|");
    }

    void notesAndUrlFilesTakeTheirOwnNamesAndTheOthersGoAtTheNextSave()
    {
        writeText(f->working("a1.rtf"), "book");
        writeText(f->working("A2.rtf"), "folder note");
        writeText(f->working("A5Url.txt"), "C:\\pages\\index.htm\r\n");
        writeText(f->working("a3.rtf"), "own text");
        writeText(f->working("A3.rtf"), "another text of another name");
        writeText(f->working("A9.rtf"), "no item of this key");
        QCOMPARE(adoptCaseVariants(f->book.workingFolder(), f->tree), 2);
        QCOMPARE(readText(f->working("a2.rtf")), QByteArray("folder note"));
        QCOMPARE(f->book.workingFolder().pageSettings().pagePath("a5"), QString("C:\\pages\\index.htm"));
        QCOMPARE(f->book.workingFolder().deletions().files(), QStringList({"A2.rtf", "A5Url.txt"}));
        // A name that is there already, and a file of no item, are left as they are.
        QCOMPARE(readText(f->working("a3.rtf")), QByteArray("own text"));
        QVERIFY(QFile::exists(f->working("A3.rtf")));
        QVERIFY(QFile::exists(f->working("A9.rtf")));
        QCOMPARE(adoptCaseVariants(f->book.workingFolder(), f->tree), 0);
    }

    void sideTextAndSplittersOfAPageAreFoundWhenShown()
    {
        const QString page = f->dir.path() + "/web/Index.html";
        writeText(page, "<html></html>");
        writeText(f->working("a5url.txt"), QFile::encodeName(page) + "\r\n");
        writeText(f->working("A5INDEX.rtf"), "side text");
        writeText(f->working("a5INDEX.txt"), "1234\r\n");
        f->click("a5");
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->book.shown().pageTextName(), QString("a5Index"));
        QCOMPARE(f->note.text, QString("side text"));
        QCOMPARE(f->arrangement.stacked, 1234.0f);
        QCOMPARE(f->book.workingFolder().deletions().files(), QStringList({"A5INDEX.rtf", "a5INDEX.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestContentNameCase)
#include "tst_contentnamecase.moc"
