#include "AtomicFile.h"
#include "BookFile.h"
#include "Cp932.h"
#include "ItemTree.h"
#include "KillTrials.h"
#include "SaveKillBook.h"
#include "TestFiles.h"
#include "TreeString.h"

#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

using namespace kobin;

namespace {

constexpr int GenerationsPerTrial = 1000; // far more than a trial lives to save
constexpr int WaitLimitMs = 60 * 1000;

struct Driver {
    QProcess process;
    QByteArray output;

    void start(const QString &programFolder, int firstGeneration, int cycles = 0)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // What the driver's own temporary folders leave when it is killed stays in the test's.
        environment.insert(QStringLiteral("TMPDIR"), programFolder + QStringLiteral("tmp"));
        QDir().mkpath(programFolder + QStringLiteral("tmp"));
        process.setProcessEnvironment(environment);
        QStringList arguments{programFolder, QString::number(firstGeneration)};
        if (cycles > 0)
            arguments << QString::number(cycles);
        process.start(QStringLiteral(SAVE_DRIVER), arguments);
    }

    // Waits until the driver has said line; false when it ended or took too long first.
    bool waitFor(const QByteArray &line)
    {
        QElapsedTimer waited;
        waited.start();
        while (!('\n' + output).contains('\n' + line + '\n')) {
            if (process.state() == QProcess::NotRunning || waited.elapsed() > WaitLimitMs)
                return false;
            process.waitForReadyRead(50);
            output += process.readAllStandardOutput();
        }
        return true;
    }

    QString report()
    {
        output += process.readAllStandardOutput();
        return QString::fromUtf8(output + process.readAllStandardError());
    }
};

struct Note {
    int generation = 0;
    QByteArray bytes;
};
using Notes = QHash<QString, Note>; // the book folder's notes, by key

// What a save cut short left, and whether it is a book the program can go on with.
struct Outcome {
    QString fault; // empty when the book is whole
    Notes notes;
    int notesOfThisTrial = 0;
    int partFiles = 0;
};

Outcome faulty(const QString &fault)
{
    Outcome outcome;
    outcome.fault = fault;
    return outcome;
}

Outcome inspect(const QString &programFolder, const Notes &before, int firstGeneration)
{
    Outcome outcome;
    QFile bookFile(savekill::bookFile(programFolder));
    if (!bookFile.open(QIODevice::ReadOnly))
        return faulty(QStringLiteral("the book file cannot be read"));
    const std::optional<QString> treeString = decodeSystemText(bookFile.readAll());
    if (!treeString->startsWith(u'|') || !treeString->endsWith(QStringLiteral("|\r\n")))
        return faulty(QStringLiteral("the book file is cut: ") + treeString->right(40));
    ItemTree tree;
    const int records = static_cast<int>(treeString->count(u'|')) - 1;
    const int added = treestring::buildTree(tree, *treeString).added;
    if (added != records || tree.count() < 2)
        return faulty(QStringLiteral("%1 of the book file's %2 records make items").arg(added).arg(records));

    const QString folder = savekill::bookFolder(programFolder);
    const QStringList files = QDir(folder).entryList(QDir::Files);
    for (const QString &name : files) {
        if (name.endsWith(QLatin1String(PartFileEnding))) {
            ++outcome.partFiles;
            continue;
        }
        QFile file(folder + name);
        if (!file.open(QIODevice::ReadOnly))
            return faulty(name + QStringLiteral(" cannot be read"));
        const QString key = name.chopped(4);
        const QByteArray bytes = file.readAll();
        const auto known = before.constFind(key);
        // A note unchanged since the last look is the version checked then.
        const std::optional<int> generation = known != before.cend() && known->bytes == bytes
                                                  ? known->generation
                                                  : savekill::noteGeneration(key, bytes);
        if (!name.endsWith(QLatin1String(".rtf")) || !generation)
            return faulty(name + QStringLiteral(" is no whole version of its note"));
        const bool ofThisTrial = *generation >= firstGeneration && *generation < firstGeneration + GenerationsPerTrial;
        if (!ofThisTrial && (known == before.cend() || known->generation != *generation))
            return faulty(QStringLiteral("%1 holds generation %2, neither the one before nor one of this run")
                        .arg(name)
                        .arg(*generation));
        outcome.notesOfThisTrial += ofThisTrial ? 1 : 0;
        outcome.notes.insert(key, {*generation, bytes});
    }
    for (int index = 1; index <= tree.count(); ++index) {
        const TreeItem *item = tree.item(index);
        const auto note = outcome.notes.constFind(item->key());
        if (note == outcome.notes.cend())
            return faulty(QStringLiteral("the tree names %1, whose note is missing").arg(item->key()));
        // A note older than its item is a deleted item's that had the same key.
        if (note->generation < savekill::generationAdded(*item))
            return faulty(QStringLiteral("%1, added in generation %2, has a note of generation %3")
                              .arg(item->key())
                              .arg(savekill::generationAdded(*item))
                              .arg(note->generation));
    }
    return outcome;
}

} // namespace

// Kills the program's save at random moments and looks at what it left: always a
// book file that reads whole, each note whole in its old or its new version, and a
// note for every item the tree names.
class TestSaveKill : public QObject
{
    Q_OBJECT

private:
    quint32 m_seed = 0;

private slots:
    void initTestCase()
    {
        const QByteArray fixed = qgetenv("KOBIN_KILL_SEED");
        m_seed = fixed.isEmpty() ? QRandomGenerator::global()->generate() : fixed.toUInt();
        qInfo("seed %u (KOBIN_KILL_SEED=%u runs the same kills again)", m_seed, m_seed);
    }

    void aSaveKilledAnywhereLeavesAWholeBook()
    {
        // In memory where the system offers it: a killed process leaves the same files on
        // any file system, and the disk's speed would otherwise decide how long the kills take.
        const bool inMemory = QFileInfo(QStringLiteral("/dev/shm")).isWritable();
        QTemporaryDir dir(inMemory ? QStringLiteral("/dev/shm/tst_savekill-XXXXXX")
                                   : QDir::tempPath() + QStringLiteral("/tst_savekill-XXXXXX"));
        QVERIFY(dir.isValid());
        const QString programFolder = dir.path() + QStringLiteral("/app/");
        QVERIFY(savekill::createBook(programFolder));
        Notes notes = inspect(programFolder, {}, 0).notes;
        QCOMPARE(notes.size(), savekill::ItemCount);

        // One save run through gives the time over which the kills are spread.
        Driver first;
        first.start(programFolder, 1, 1);
        QVERIFY2(first.waitFor("saving 1"), qPrintable(first.report()));
        QElapsedTimer saving;
        saving.start();
        QVERIFY2(first.waitFor("saved 1"), qPrintable(first.report()));
        const qint64 saveTime = std::max<qint64>(saving.elapsed(), 20);
        QVERIFY(first.process.waitForFinished(WaitLimitMs));
        QCOMPARE(first.process.exitCode(), 0);
        Outcome outcome = inspect(programFolder, notes, 1);
        QVERIFY2(outcome.fault.isEmpty(), qPrintable(outcome.fault));
        notes = outcome.notes;

        QRandomGenerator random(m_seed);
        const int trials = killTrials();
        int cutBeforeTheTree = 0;
        int leftPartFiles = 0;
        for (int trial = 0; trial < trials; ++trial) {
            const int firstGeneration = (trial + 1) * GenerationsPerTrial;
            const QByteArray bookBefore = readText(savekill::bookFile(programFolder));
            Driver driver;
            driver.start(programFolder, firstGeneration);
            QVERIFY2(driver.waitFor("saving " + QByteArray::number(firstGeneration)), qPrintable(driver.report()));
            QThread::msleep(random.bounded(static_cast<quint32>(saveTime * 5 / 4)));
            driver.process.kill();
            QVERIFY(driver.process.waitForFinished(WaitLimitMs));
            QVERIFY2(driver.process.exitStatus() == QProcess::CrashExit, qPrintable(driver.report()));

            outcome = inspect(programFolder, notes, firstGeneration);
            QVERIFY2(outcome.fault.isEmpty(), qPrintable(QStringLiteral("seed %1, trial %2: %3")
                                                             .arg(m_seed)
                                                             .arg(trial)
                                                             .arg(outcome.fault)));
            notes = outcome.notes;
            const bool treeWritten = readText(savekill::bookFile(programFolder)) != bookBefore;
            cutBeforeTheTree += outcome.notesOfThisTrial > 0 && !treeWritten ? 1 : 0;
            leftPartFiles += outcome.partFiles > 0 ? 1 : 0;
        }
        qInfo("%d kills over %lld ms saves: %d between the notes and the tree, %d leaving part files", trials,
              saveTime, cutBeforeTheTree, leftPartFiles);

        // The next run opens what the last kill left, and saves it whole.
        Driver last;
        last.start(programFolder, (trials + 1) * GenerationsPerTrial, 1);
        QVERIFY(last.process.waitForFinished(WaitLimitMs));
        QVERIFY2(last.process.exitStatus() == QProcess::NormalExit && last.process.exitCode() == 0,
                 qPrintable(last.report()));
        outcome = inspect(programFolder, notes, (trials + 1) * GenerationsPerTrial);
        QVERIFY2(outcome.fault.isEmpty(), qPrintable(outcome.fault));
        QCOMPARE(outcome.partFiles, 0);
        QVERIFY(!QFile::exists(savekill::bookFile(programFolder) + QLatin1String(PartFileEnding)));
    }
};

QTEST_GUILESS_MAIN(TestSaveKill)
#include "tst_savekill.moc"
