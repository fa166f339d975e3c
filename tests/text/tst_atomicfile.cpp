#include "AtomicFile.h"
#include "SmallDisk.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

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

// Limits the size of any file this process writes, so that a write stops short
// as on a full disk; the limit and the signal it raises are undone at the end.
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = m_previous;
        limit.rlim_cur = bytes;
        m_set = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_previousHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_previous{};
    void (*m_previousHandler)(int) = SIG_DFL;
    bool m_set = false;
};

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
