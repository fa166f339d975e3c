#include "PageFiles.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace kobin;

// A saved page and the files that go with it, as export, check and the search index take them.
class TestPageFiles : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString at(const QString &name) const { return m_dir.path() + u'/' + name; }

private slots:
    void initTestCase()
    {
        writeText(at("pages/index.htm"), "<p>page</p>");
        writeText(at("pages/Saved.MHTML"), "page");
        writeText(at("pages/index_files/style.css"), "p {}");
        writeText(at("pages/notes.txt"), "not a page");
        writeText(at("pages2/beside.css"), "a folder whose name begins as the page's does");
        writeText(at("secret.txt"), "the user's own");
        writeText(at("elsewhere/real.html"), "<p>a page elsewhere</p>");
        QVERIFY(QDir().mkpath(at("pages/folder.html")));
        QCOMPARE(::mkfifo(QFile::encodeName(at("pages/pipe.html")).constData(), 0600), 0);
        QVERIFY(QFile::link(at("secret.txt"), at("pages/secret.html")));
        QVERIFY(QFile::link(at("elsewhere/real.html"), at("pages/linked.html")));
        QVERIFY(QFile::link(at("secret.txt"), at("pages/index_files/leak.css")));
        QVERIFY(QFile::link(at("pages/index_files/style.css"), at("pages/index_files/again.css")));
        QVERIFY(QFile::link(at("elsewhere"), at("pages/index_files/out")));
    }

    void onlyRegularFilesNamedAsPagesArePages_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("page");
        QTest::newRow("page") << at("pages/index.htm") << true;
        QTest::newRow("capitals") << at("pages/Saved.MHTML") << true;
        QTest::newRow("link to a page elsewhere") << at("pages/linked.html") << true;
        QTest::newRow("text file") << at("pages/notes.txt") << false;
        QTest::newRow("link named as a page to a text file") << at("pages/secret.html") << false;
        QTest::newRow("folder") << at("pages/folder.html") << false;
        QTest::newRow("pipe") << at("pages/pipe.html") << false;
        QTest::newRow("device") << QStringLiteral("/dev/null") << false;
        QTest::newRow("missing") << at("pages/gone.html") << false;
        QTest::newRow("empty") << QString() << false;
    }
    void onlyRegularFilesNamedAsPagesArePages()
    {
        QFETCH(QString, path);
        QFETCH(bool, page);
        QCOMPARE(PageFiles::isPage(path), page);
    }

    void aPageHoldsOnlyFilesOfItsOwnFolder_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("file");
        QTest::addColumn<bool>("held");
        const QString page = at("pages/index.htm");
        QTest::newRow("its files") << page << at("pages/index_files/style.css") << true;
        QTest::newRow("link within the folder") << page << at("pages/index_files/again.css") << true;
        QTest::newRow("link leading out") << page << at("pages/index_files/leak.css") << false;
        QTest::newRow("through a linked folder") << page << at("pages/index_files/out/real.html") << false;
        QTest::newRow("climbing out") << page << at("pages/../secret.txt") << false;
        QTest::newRow("folder named alike") << page << at("pages2/beside.css") << false;
        QTest::newRow("a folder") << page << at("pages/index_files") << false;
        QTest::newRow("pipe") << page << at("pages/pipe.html") << false;
        QTest::newRow("page that is no page") << at("pages/secret.html") << at("pages/index_files/style.css") << false;
        QTest::newRow("page linked from elsewhere") << at("pages/linked.html") << at("pages/index_files/style.css")
                                                    << false;
    }
    void aPageHoldsOnlyFilesOfItsOwnFolder()
    {
        QFETCH(QString, page);
        QFETCH(QString, file);
        QFETCH(bool, held);
        QCOMPARE(PageFiles(page).holds(file), held);
    }
};

QTEST_GUILESS_MAIN(TestPageFiles)
#include "tst_pagefiles.moc"
