#include "BoundedFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestBoundedFile : public QObject
{
    Q_OBJECT

private slots:
    void filesAreReadWholeUpToTheBound_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<qint64>("bound");
        QTest::addColumn<bool>("read");
        QTest::newRow("empty") << 0 << qint64(10) << true;
        QTest::newRow("at the bound") << 10 << qint64(10) << true;
        QTest::newRow("one byte over") << 11 << qint64(10) << false;
        QTest::newRow("many pieces long") << 300000 << qint64(1) << false;
        QTest::newRow("many pieces long, bound far above") << 300000 << qint64(512) * 1024 * 1024 << true;
    }

    void filesAreReadWholeUpToTheBound()
    {
        QFETCH(int, size);
        QFETCH(qint64, bound);
        QFETCH(bool, read);
        QTemporaryDir dir;
        const QString path = dir.filePath("file");
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char(i * 7 + i / 251);
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == size);
        file.close();
        const std::optional<QByteArray> got = readRegularFile(path, bound);
        QCOMPARE(got.has_value(), read);
        if (read)
            QVERIFY(*got == bytes);
    }

    // The system's own files say they are empty and are not.
    void aFileHoldingMoreThanItsSizeSaysIsReadToItsEnd()
    {
        const std::optional<QByteArray> status = readRegularFile("/proc/self/status", 1 << 20);
        QVERIFY(status && status->contains("Name:"));
        QVERIFY(!readRegularFile("/proc/self/status", 4));
    }

    void devicesPipesAndFoldersAreNotRead()
    {
        QTemporaryDir dir;
        for (const QString &path : {QString("/dev/zero"), dir.path(), dir.filePath("missing")})
            QVERIFY2(!readRegularFile(path, 1 << 20), qPrintable(path));
    }
};

QTEST_GUILESS_MAIN(TestBoundedFile)
#include "tst_boundedfile.moc"
