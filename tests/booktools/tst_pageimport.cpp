#include "PageImport.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestPageImport : public QObject
{
    Q_OBJECT

private slots:
    void thePageComesWithItsFilesFolderAndNothingFromOutside()
    {
        QTemporaryDir dir;
        const QString web = dir.path() + "/web/";
        writeText(web + "Index.HTM", "<img src=Index_files/a.png>");
        writeText(web + "index_files/a.png", "png");
        writeText(web + "index_files/css/site.css", "css");
        writeText(web + "other.html", "another page beside it");
        writeText(dir.path() + "/secret.txt", "not the page's");
        QVERIFY(QFile::link(dir.path() + "/secret.txt", web + "index_files/secret.txt"));
        const QString staging = dir.path() + "/staging/";
        QVERIFY(QDir().mkpath(staging));

        QString failed;
        const std::optional<QString> copy = importPage(web + "Index.HTM", staging, &failed);
        QCOMPARE(copy.value_or(failed), staging + "Index.HTM");
        QCOMPARE(readText(staging + "index_files/css/site.css"), QByteArray("css"));
        QCOMPARE(readText(staging + "index_files/a.png"), QByteArray("png"));
        QVERIFY(!QFile::exists(staging + "index_files/secret.txt"));
        QVERIFY(!QFile::exists(staging + "other.html"));
    }

    void whatIsNoPageIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("a picture") << "photo.png";
        QTest::newRow("missing") << "gone.html";
        QTest::newRow("a folder") << "folder.html";
    }

    void whatIsNoPageIsRefused()
    {
        QFETCH(QString, name);
        QTemporaryDir dir;
        writeText(dir.path() + "/photo.png", "png");
        QVERIFY(QDir().mkpath(dir.path() + "/folder.html"));
        const QString staging = dir.path() + "/staging/";
        QVERIFY(QDir().mkpath(staging));
        QString failed;
        QVERIFY(!importPage(dir.path() + '/' + name, staging, &failed));
        QCOMPARE(failed, dir.path() + '/' + name);
        QVERIFY(QDir(staging).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestPageImport)
#include "tst_pageimport.moc"
