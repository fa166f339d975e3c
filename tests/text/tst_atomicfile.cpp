#include "AtomicFile.h"
#include "FileSizeLimit.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

namespace {

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// Every byte value, CR LF and NUL among them, over several write buffers.
QByteArray largeBytes()
{
    QByteArray bytes;
    for (int i = 0; i < 4 * 1024 * 1024; ++i)
        bytes.append(static_cast<char>(i * 7 % 256));
    return bytes;
}

// The most memory this process has held, from the kernel's own count.
qint64 peakResidentBytes()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

} // namespace

class TestAtomicFile : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString path(const QString &name) const { return m_dir->filePath(name); }

private slots:
    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void writesTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("previous");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("new file") << QByteArray() << QByteArray("|0\\Book=a1+root|\r\n");
        QTest::newRow("shorter than the old one") << QByteArray("a much longer old content\r\n") << QByteArray("new");
        QTest::newRow("empty") << QByteArray("old") << QByteArray();
        QTest::newRow("large, every byte value") << QByteArray("old") << largeBytes();
    }

    void writesTheWholeFile()
    {
        QFETCH(QByteArray, previous);
        QFETCH(QByteArray, bytes);
        const QString target = path("book.iis");
        if (!previous.isEmpty())
            writeText(target, previous);
        QVERIFY(saveFileAtomically(target, bytes));
        QCOMPARE(readText(target), bytes);
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"book.iis"}));
    }

    void aFailureReportsItAndLeavesEverythingAsItWas()
    {
        const QString old = path("a1.rtf");
        writeText(old, "{\\rtf1 old}");
        writeText(path("folder/kept.txt"), "kept");

        QVERIFY(!saveFileAtomically(path("no/such/folder/a.rtf"), "new"));
        QVERIFY(!saveFileAtomically(path("folder"), "new"));
        QVERIFY(!saveFileAtomically(old + "/inside.rtf", "new"));

        QCOMPARE(readText(old), QByteArray("{\\rtf1 old}"));
        QCOMPARE(entriesIn(path("folder")), QStringList({"kept.txt"}));
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"a1.rtf", "folder"}));
    }

    void aWriteThatStopsShortLeavesTheOldFile_data()
    {
        QTest::addColumn<int>("limit");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("beyond the write buffer") << 64 * 1024 << largeBytes();
        // Held back in a write buffer, the failure shows only when the buffer is flushed.
        QTest::newRow("within the write buffer") << 100 << QByteArray(1000, 'n');
    }

    void aWriteThatStopsShortLeavesTheOldFile()
    {
        QFETCH(int, limit);
        QFETCH(QByteArray, bytes);
        const QString target = path("a1.rtf");
        writeText(target, "{\\rtf1 old}");
        bool saved = true;
        {
            FileSizeLimit sizeLimit(static_cast<rlim_t>(limit));
            if (!sizeLimit.isSet())
                QSKIP("cannot limit the size of written files here");
            saved = saveFileAtomically(target, bytes);
        }
        QVERIFY(!saved);
        QCOMPARE(readText(target), QByteArray("{\\rtf1 old}"));
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"a1.rtf"}));
    }

    void aFullDiskLeavesTheOldFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a small file") << QByteArray("|0\\Book=a1+root|a1\\Note=a2+richtxt|\r\n");
        QTest::newRow("a large file") << largeBytes();
    }

    void aFullDiskLeavesTheOldFile()
    {
        QFETCH(QByteArray, bytes);
        SmallDisk disk;
        if (!disk.isMounted())
            QSKIP("mounting a small disk to fill up needs root");
        const QString target = disk.path("book.iis");
        writeText(target, "|0\\Old=a1+root|\r\n");
        disk.fill();
        QVERIFY(!saveFileAtomically(target, bytes));
        QCOMPARE(readText(target), QByteArray("|0\\Old=a1+root|\r\n"));
        QCOMPARE(entriesIn(disk.path()), QStringList({"book.iis", "filler"}));
    }

    void aPartFileLeftByACrashIsWrittenOver()
    {
        const QString target = path("a1.rtf");
        writeText(target, "old");
        writeText(target + ".kobin-part", "half of an earlier wri");
        QVERIFY(saveFileAtomically(target, "new"));
        QCOMPARE(readText(target), QByteArray("new"));
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"a1.rtf"}));
    }

    void theReplacedFileKeepsItsPermissions()
    {
        const QString target = path("a1.rtf");
        writeText(target, "old");
        const QFile::Permissions ownerOnly = QFile::ReadOwner | QFile::WriteOwner;
        QVERIFY(QFile::setPermissions(target, ownerOnly));
        QVERIFY(saveFileAtomically(target, "new"));
        QCOMPARE(QFile::permissions(target) & ~(QFile::ReadUser | QFile::WriteUser), ownerOnly);
    }

    void aCopyTakesALargeFileAPieceAtATime()
    {
        // Mostly a hole, so that making it costs no disk; copied, it is as large as any file.
        constexpr qint64 size = 256LL * 1024 * 1024;
        QFile large(path("large.bin"));
        QVERIFY(large.open(QIODevice::WriteOnly));
        QVERIFY(large.write("head") == 4 && large.resize(size) && large.seek(size - 4) && large.write("tail") == 4);
        large.close();
        const qint64 before = peakResidentBytes();
        if (before < 0)
            QSKIP("the system does not tell a process's peak memory");

        QVERIFY(copyFileAtomically(large.fileName(), path("copy.bin")));

        QVERIFY2(peakResidentBytes() - before < size / 4, "the copy held the file in memory");
        QFile copy(path("copy.bin"));
        QVERIFY(copy.open(QIODevice::ReadOnly));
        QCOMPARE(copy.size(), size);
        QCOMPARE(copy.read(4), QByteArray("head"));
        QVERIFY(copy.seek(size - 4));
        QCOMPARE(copy.read(4), QByteArray("tail"));
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"copy.bin", "large.bin"}));
    }

    void aCopyThatFailsLeavesNothing()
    {
        QVERIFY(saveFileAtomically(path("source"), largeBytes()));
        QVERIFY(!copyFileAtomically(path("missing"), path("copy")));
        const FileSizeLimit limit(1024 * 1024);
        QVERIFY(limit.isSet());
        QVERIFY(!copyFileAtomically(path("source"), path("copy")));
        QCOMPARE(entriesIn(m_dir->path()), QStringList({"source"}));
    }

    void savingThroughALinkReplacesTheFileItPointsTo()
    {
        const QString target = path("notes/a1.rtf");
        writeText(target, "old");
        const QString link = path("a1-link.rtf");
        QVERIFY(QFile::link(target, link));
        QVERIFY(saveFileAtomically(link, "new"));
        QVERIFY(QFileInfo(link).isSymLink());
        QCOMPARE(readText(target), QByteArray("new"));
    }
};

QTEST_GUILESS_MAIN(TestAtomicFile)
#include "tst_atomicfile.moc"
