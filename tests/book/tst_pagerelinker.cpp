#include "OpenBook.h"
#include "TestFiles.h"
#include "PageRelinker.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

// Repairing the links of a book whose pages moved: which items are broken, the
// pages found under a chosen folder, and the url files rewritten.
class TestPageRelinker : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<OpenBook> f;
    QString m_pages; // the folder the user chooses

    static QStringList keys(const QList<BrokenLink> &links)
    {
        QStringList found;
        for (const BrokenLink &link : links)
            found << link.key;
        return found;
    }

private slots:
    void init()
    {
        f = std::make_unique<OpenBook>();
        f->openBook(u"|0\\Book=a1+root|a1\\Moved=a5+htmlfile|a1\\NoUrl=a6+htmlfile|a1\\Fine=a7+htmlfile|"
                    u"a1\\Folder=a2+fclose|a2\\Gone=a8+htmlfile|");
        m_pages = f->dir.path() + "/chosen";
        writeText(f->working("a5url.txt"), "C:\\Old\\Book\\Pages\\Index.HTM\r\n");
        writeText(f->dir.path() + "/fine.html", "fine");
        writeText(f->working("a7url.txt"), QFile::encodeName(f->dir.path() + "/fine.html") + "\r\n");
        writeText(f->working("a8url.txt"), "D:\\web\\gone.htm\r\n");
        writeText(m_pages + "/index.htm", "a page of another name's folder");
        writeText(m_pages + "/copy/book/pages/index.htm", "the moved page");
        writeText(m_pages + "/copy/other/index.htm", "another page");
    }

    void brokenLinksAreTheHomepagesWhosePageCannotBeFoundInTreeOrder()
    {
        const QList<BrokenLink> broken = brokenLinks(f->book);
        QCOMPARE(keys(broken), QStringList({"a5", "a6", "a8"}));
        QCOMPARE(broken[0].caption, QString("Moved"));
        QCOMPARE(broken[0].recordedPath, QString("C:\\Old\\Book\\Pages\\Index.HTM"));
        QCOMPARE(broken[1].recordedPath, QString());
    }

    void relinkingPointsEachFoundItemAtTheFileSharingMostOfItsPath()
    {
        const RelinkResult result = relinkPages(f->book, brokenLinks(f->book), PageIndex(m_pages));
        QCOMPARE(result.relinked, 1);
        QCOMPARE(keys(result.remaining), QStringList({"a6", "a8"}));
        QVERIFY(result.failedFile.isEmpty());
        QCOMPARE(readText(f->working("a5url.txt")), QFile::encodeName(m_pages + "/copy/book/pages/index.htm") + "\r\n");
        QCOMPARE(readText(f->working("a8url.txt")), QByteArray("D:\\web\\gone.htm\r\n"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(keys(brokenLinks(f->book)), QStringList({"a6", "a8"}));
        QCOMPARE(relinkReport(result, false),
                 QString("1 個の項目のリンクを修復しました。\nページが見つからない項目が 2 個残っています。"));
    }

    void nothingFoundLeavesTheBookUnchanged()
    {
        const RelinkResult result = relinkPages(f->book, brokenLinks(f->book), PageIndex(f->dir.path() + "/none"));
        QCOMPARE(result.relinked, 0);
        QCOMPARE(keys(result.remaining), QStringList({"a5", "a6", "a8"}));
        QVERIFY(!f->book.isChanged());
    }

    void urlFileThatCannotBeWrittenStaysBrokenAndIsNamed()
    {
        QVERIFY(QFile::remove(f->working("a5url.txt")));
        QVERIFY(QDir().mkpath(f->working("a5url.txt")));
        const QList<BrokenLink> broken{{"a5", "Moved", "C:\\Old\\Book\\Pages\\Index.HTM"}};
        const RelinkResult result = relinkPages(f->book, broken, PageIndex(m_pages));
        QCOMPARE(result.relinked, 0);
        QCOMPARE(keys(result.remaining), QStringList({"a5"}));
        QCOMPARE(result.failedFile, f->working("a5url.txt"));
        QVERIFY(!f->book.isChanged());
        QCOMPARE(relinkReport(result, true),
                 "0 個の項目のリンクを修復しました。\nページが見つからない項目が 1 個残っています。\n\n「 "
                     + QDir::toNativeSeparators(f->working("a5url.txt"))
                     + " 」\n\nを保存できませんでした。\n\nフォルダが大きすぎるため、一部だけを探しました。");
    }

    void symbolicLinksToFoldersAreNeverWalked()
    {
        const QString loops = f->dir.path() + "/loops";
        writeText(loops + "/inside/page.htm", "inside");
        writeText(f->dir.path() + "/outside.htm", "outside");
        QVERIFY(QFile::link(loops, loops + "/inside/again"));
        QVERIFY(QFile::link(f->dir.path(), loops + "/up"));
        QVERIFY(QFile::link(loops + "/inside/page.htm", loops + "/linked.htm")); // a link to a file is a file
        const PageIndex index(loops);
        QVERIFY(!index.isIncomplete());
        QCOMPARE(index.find("C:\\inside\\page.htm"), loops + "/inside/page.htm");
        QCOMPARE(index.find("C:\\x\\outside.htm"), std::nullopt);
        QCOMPARE(index.find("C:\\x\\LINKED.htm"), loops + "/linked.htm");
    }

    void walkStopsAtItsDepthBound()
    {
        QString deep = f->dir.path() + "/deep";
        for (int level = 0; level < PageIndex::kMaxDepth + 2; ++level)
            deep += "/d";
        writeText(deep + "/bottom.htm", "too deep");
        const PageIndex index(f->dir.path() + "/deep");
        QVERIFY(index.isIncomplete());
        QCOMPARE(index.find("bottom.htm"), std::nullopt);
        QCOMPARE(PageIndex(m_pages).find(QString(5000, u'x') + "\\index.htm"), std::nullopt);
        QCOMPARE(PageIndex(m_pages).find(""), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestPageRelinker)
#include "tst_pagerelinker.moc"
