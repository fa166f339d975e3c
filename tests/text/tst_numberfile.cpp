#include "NumberFile.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestNumberFile : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

private slots:
    void singlesAreWrittenAsPlainDecimalText_data()
    {
        QTest::addColumn<float>("value");
        QTest::addColumn<QString>("text");
        QTest::newRow("whole") << 2400.0f << QString("2400");
        QTest::newRow("negative fraction") << -15.25f << QString("-15.25");
        QTest::newRow("no exponent below ten million") << 1234567.0f << QString("1234567");
        QTest::newRow("seven digits, not the float's binary tail") << 0.1f << QString("0.1");
        QTest::newRow("zero") << 0.0f << QString("0");
    }

    void singlesAreWrittenAsPlainDecimalText()
    {
        QFETCH(float, value);
        QFETCH(QString, text);
        QCOMPARE(formatSingle(value), text);
        const QString path = m_dir.filePath("a5index.txt");
        QVERIFY(writeNumberFile(path, value));
        QCOMPARE(readText(path), text.toLatin1() + "\r\n");
        QCOMPARE(readNumberFile(path), std::optional<float>(value));
    }

    void writingReplacesALongerFileWhole()
    {
        const QString path = m_dir.filePath("side.txt");
        writeText(path, "123456789.5\r\nand more after it\r\n");
        QVERIFY(writeNumberFile(path, 5));
        QCOMPARE(readText(path), QByteArray("5\r\n"));
    }

    void writingIntoAMissingFolderFails()
    {
        QVERIFY(!writeNumberFile(m_dir.filePath("no/such/folder/a.txt"), 1));
        QVERIFY(!QFileInfo::exists(m_dir.filePath("no")));
    }

    void readingTakesTheLeadingNumber_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<std::optional<float>>("number");
        QTest::newRow("text after the number") << QByteArray("  -12.5xyz") << std::optional<float>(-12.5f);
        QTest::newRow("spaces and line breaks first") << QByteArray(" \r\n\t3000\r\n") << std::optional<float>(3000);
        QTest::newRow("no digit before the point") << QByteArray(".5") << std::optional<float>(0.5f);
        QTest::newRow("exponent") << QByteArray("2.4E+03") << std::optional<float>(2400);
        QTest::newRow("UTF-8 byte-order mark") << QByteArray("\xEF\xBB\xBF" "1440\r\n") << std::optional<float>(1440);
        QTest::newRow("no number") << QByteArray("abc\r\n") << std::optional<float>();
        QTest::newRow("empty") << QByteArray() << std::optional<float>();
        QTest::newRow("sign alone") << QByteArray("-\r\n") << std::optional<float>();
        QTest::newRow("infinity") << QByteArray("inf") << std::optional<float>();
        QTest::newRow("beyond any length in twips") << QByteArray("1e10") << std::optional<float>();
    }

    void readingTakesTheLeadingNumber()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(std::optional<float>, number);
        const QString path = m_dir.filePath("read.txt");
        writeText(path, bytes);
        QCOMPARE(readNumberFile(path), number);
    }

    void readingAMissingFileGivesNothing()
    {
        QCOMPARE(readNumberFile(m_dir.filePath("missing.txt")), std::optional<float>());
        QCOMPARE(readNumberFile(m_dir.path()), std::optional<float>());
    }
};

QTEST_GUILESS_MAIN(TestNumberFile)
#include "tst_numberfile.moc"
