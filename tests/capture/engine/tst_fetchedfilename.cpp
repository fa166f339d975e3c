#include "FetchedFileName.h"

#include <QFile>
#include <QtTest>

using kobin::capture::fetchedFileName;

class TestFetchedFileName : public QObject
{
    Q_OBJECT

private slots:
    void namesFitTheFileSystem_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("contentType");
        QTest::addColumn<QString>("name");
        const QString kanji200(200, QChar(0x9577)); // 長: three bytes each in UTF-8
        const QString surrogates = QString::fromUtf8("\xF0\xA0\xAE\xB7").repeated(70); // 𠮷: four bytes, two UTF-16 units
        QTest::newRow("short, kept") << "/docs/report.pdf" << "application/pdf" << "report.pdf";
        QTest::newRow("no extension: from the type") << "/docs/report" << "application/pdf" << "report.pdf";
        QTest::newRow("no name") << "/" << "image/png" << "file.png";
        QTest::newRow("what no name holds") << "/a:b*c.txt" << "text/plain" << "a_b_c.txt";
        QTest::newRow("hidden, trailing dots") << "/..secret.txt.." << "text/plain" << "secret.txt";
        QTest::newRow("255 bytes, kept") << "/" + QString(251, 'a') + ".pdf" << "application/pdf"
                                         << QString(251, 'a') + ".pdf";
        QTest::newRow("256 bytes") << "/" + QString(252, 'a') + ".pdf" << "application/pdf" << QString(251, 'a') + ".pdf";
        QTest::newRow("three-byte characters") << "/" + kanji200 + ".pdf" << "application/pdf"
                                               << kanji200.left(83) + ".pdf";
        QTest::newRow("suffix from the type") << "/" + kanji200 << "application/pdf" << kanji200.left(83) + ".pdf";
        QTest::newRow("never half a pair") << "/" + surrogates + ".png" << "image/png" << surrogates.left(2 * 62) + ".png";
        QTest::newRow("a long suffix is no suffix") << "/a." + kanji200 << "application/pdf" << "a." + kanji200.left(84);
    }
    void namesFitTheFileSystem()
    {
        QFETCH(QString, path);
        QFETCH(QString, contentType);
        QFETCH(QString, name);
        QUrl url("http://example.com/");
        url.setPath(path);
        const QString fetched = fetchedFileName(url, contentType);
        QCOMPARE(fetched, name);
        QVERIFY(QFile::encodeName(fetched).size() <= 255);
    }
};

QTEST_APPLESS_MAIN(TestFetchedFileName)
#include "tst_fetchedfilename.moc"
