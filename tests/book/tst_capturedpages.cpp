#include "CapturedPages.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestCapturedPages : public QObject
{
    Q_OBJECT

private slots:
    void theCapturedFolderAPageLiesIn_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("folder");
        QTest::newRow("its page") << "/p/Book/pages/one/index.html" << "/p/Book/pages/one/";
        QTest::newRow("a file of its files") << "/p/Book/pages/one/index_files/a/b.png" << "/p/Book/pages/one/";
        QTest::newRow("another book's") << "/p/Book2/pages/one/index.html" << "";
        QTest::newRow("out through ..") << "/p/Book/pages/one/../../a2.rtf" << "";
        QTest::newRow("a capture not yet placed") << "/p/Book/pages/.capturing-1/index.html" << "";
        QTest::newRow("the pages folder itself") << "/p/Book/pages/index.html" << "";
        QTest::newRow("a Windows path") << "C:\\web\\index.html" << "";
    }

    void theCapturedFolderAPageLiesIn()
    {
        QFETCH(QString, page);
        QFETCH(QString, folder);
        QCOMPARE(CapturedPages::captureFolderOf(page, "/p/Book/"), folder);
    }

    void aPagesFolderLinkedElsewhereIsNeverWrittenThrough()
    {
        QTemporaryDir dir;
        const QString book = dir.path() + "/Book/";
        const QString elsewhere = dir.path() + "/elsewhere";
        QVERIFY(QDir().mkpath(book) && QDir().mkpath(elsewhere));
        QVERIFY(QFile::link(elsewhere, book + "pages"));
        QVERIFY(CapturedPages::isLinkedAway(book));
        QVERIFY(!CaptureStaging(book).isReady());
        writeText(dir.path() + "/other/one/index.html", "page");
        QString failed;
        QVERIFY(!CapturedPages::copyInto(dir.path() + "/other/one/", book, &failed));
        QVERIFY(QDir(elsewhere).isEmpty());
        QVERIFY(!CapturedPages::isLinkedAway(dir.path() + "/other/"));
    }

    void aStagedCaptureIsPlacedWholeOrLeavesNothing()
    {
        QTemporaryDir dir;
        const QString book = dir.path() + "/Book/";
        const QString pages = CapturedPages::folderOf(book);
        QString placed;
        {
            CaptureStaging staging(book);
            QVERIFY(staging.isReady());
            writeText(staging.path() + "index.html", "page");
            writeText(staging.path() + "index_files/a.png", "png");
            placed = staging.place(staging.path() + "index.html").value_or(QString());
        }
        QCOMPARE(readText(placed), QByteArray("page"));
        const QString folder = CapturedPages::captureFolderOf(placed, book);
        QCOMPARE(readText(folder + "index_files/a.png"), QByteArray("png"));

        // Copied whole into another book, it is a captured page of that book.
        QString failed;
        const std::optional<QString> copy = CapturedPages::copyInto(folder, dir.path() + "/Copy/", &failed);
        QVERIFY(copy && *copy != folder);
        QCOMPARE(readText(*copy + "index_files/a.png"), QByteArray("png"));
        {
            CaptureStaging cutShort(book);
            writeText(cutShort.path() + "index.html", "half a page");
        }
        QCOMPARE(QDir(pages).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList({QFileInfo(folder.chopped(1)).fileName()}));
    }

    // A page's folder may hold links to anything (the user's files, a folder of
    // their home): a copy takes none of them and reads nothing behind them.
    void aCopyLeavesOutSymbolicLinks()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/Book/pages/one/";
        writeText(page + "index.html", "page");
        writeText(dir.path() + "/home/.ssh/id", "secret");
        QVERIFY(QFile::link(dir.path() + "/home/.ssh/id", page + "id.png"));
        QVERIFY(QFile::link(dir.path() + "/home", page + "index_files"));
        QString failed;
        const std::optional<QString> copy = CapturedPages::copyInto(page, dir.path() + "/Copy/", &failed);
        QVERIFY(copy);
        QCOMPARE(QDir(*copy).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
                 QStringList{"index.html"});
    }

    void aCopyOfMoreFilesThanAPageHoldsIsRefused()
    {
        QTemporaryDir dir;
        const QString page = dir.path() + "/Book/pages/one/";
        QVERIFY(QDir().mkpath(page));
        for (int i = 0; i <= CapturedPages::kMaxFiles; ++i)
            QVERIFY(QFile(page + QString::number(i)).open(QIODevice::WriteOnly));
        QString failed;
        QVERIFY(!CapturedPages::copyInto(page, dir.path() + "/Copy/", &failed));
        QVERIFY(failed.startsWith(page));
        QCOMPARE(QDir(dir.path() + "/Copy/pages").entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                 QStringList());
    }
};

QTEST_GUILESS_MAIN(TestCapturedPages)
#include "tst_capturedpages.moc"
