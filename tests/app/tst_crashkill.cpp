#include "BookFile.h"
#include "ItemTree.h"
#include "KillTrials.h"
#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>

// Kills the program with SIGKILL at random moments while it keeps what is typed
// (and deletes items and takes the deletions back), then starts it again, takes
// the recovery it offers and saves: every item that comes back has its note kept
// before the kill, whole, never empty, never cut, and so has every item saved.
class TestCrashKill : public QObject
{
    Q_OBJECT

private:
    static constexpr int kNotes = 12;

    QProcessEnvironment environment(const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("XDG_DATA_HOME", home + "data");
        env.insert("XDG_CONFIG_HOME", home + "config");
        return env;
    }

    // A book of kNotes notes at version 0, in a program folder of its own.
    QString makeBook(const QString &home)
    {
        QString tree = "|0\\Diary=a1+root|";
        writeText(home + "app/diary/a1.rtf", "{\\rtf1\\ansi book note\\par}");
        for (int i = 2; i < kNotes + 2; ++i) {
            tree += QString("a1\\Day %1=a%1+richtxt|").arg(i);
            writeText(home + QString("app/diary/a%1.rtf").arg(i), QString("{\\rtf1\\ansi end 0\\par}").toUtf8());
        }
        writeText(home + "docs/diary.iis", tree.toUtf8() + "\r\n");
        return home + "docs/diary.iis";
    }

private slots:
    void everyNoteKeptBeforeAKillComesBackWhole_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<int>("trials");
        QTest::newRow("typing") << "type" << killTrials();
        QTest::newRow("typing and deleting") << "delete" << killTrials() / 2;
    }

    void everyNoteKeptBeforeAKillComesBackWhole()
    {
        QFETCH(QString, mode);
        QFETCH(int, trials);
        const quint32 seed = qEnvironmentVariableIsSet("KOBIN_KILL_SEED")
                                 ? qEnvironmentVariable("KOBIN_KILL_SEED").toUInt()
                                 : QRandomGenerator::global()->generate();
        qInfo("seed %u (KOBIN_KILL_SEED repeats it)", seed);
        QRandomGenerator random(seed);
        QTemporaryDir dir;
        for (int trial = 0; trial < trials; ++trial) {
            const QString home = dir.path() + QString("/trial%1/").arg(trial);
            const QString book = makeBook(home);

            QProcess typist;
            typist.setProcessEnvironment(environment(home));
            typist.start(KOBIN_RECOVERY_DRIVER, {mode, home + "app/", book});
            QVERIFY(typist.waitForStarted());
            // Somewhere in the first few rounds of typing, at any point of a write.
            QVERIFY2(typist.waitForReadyRead(60000), "the program never began typing");
            QTest::qWait(static_cast<int>(random.bounded(400)));
            ::kill(static_cast<pid_t>(typist.processId()), SIGKILL);
            QVERIFY(typist.waitForFinished(30000));
            QMap<QString, int> kept;
            for (const QByteArray &line : typist.readAllStandardOutput().split('\n')) {
                const QList<QByteArray> words = line.split(' ');
                if (words.size() == 3 && words[0] == "kept")
                    kept[QString::fromLatin1(words[1])] = words[2].toInt();
            }

            // What the kill left is a book the program can read.
            kobin::ItemTree tree;
            const kobin::BookReading reading = kobin::loadBookFile(home + "app/temp/recovery.iis", tree);
            QVERIFY2(reading.outcome == kobin::BookReading::Outcome::Read,
                     qPrintable(QString("trial %1: no tree kept").arg(trial)));
            QCOMPARE(reading.droppedRecords, 0);
            QVERIFY(tree.count() == kNotes + 1 || (mode == "delete" && tree.count() == kNotes));

            QProcess recovered;
            recovered.setProcessEnvironment(environment(home));
            recovered.start(KOBIN_RECOVERY_DRIVER, {"recover", home + "app/"});
            QVERIFY(recovered.waitForFinished(60000));
            QCOMPARE(recovered.exitCode(), 0);
            QMap<QString, int> back;
            QStringList items;
            bool changed = false;
            bool saved = false;
            for (const QByteArray &line : recovered.readAllStandardOutput().split('\n')) {
                const QList<QByteArray> words = line.split(' ');
                if (line.startsWith('a'))
                    items << QString::fromLatin1(words[0]);
                if (words.size() == 3 && words[1] == "end")
                    back[QString::fromLatin1(words[0])] = words[2].toInt();
                changed = changed || line == "changed 1";
                saved = saved || line == "saved 1";
            }
            QVERIFY2(changed, qPrintable(QString("trial %1: the recovered book is not marked changed").arg(trial)));
            QCOMPARE(items.size(), tree.count() - 1);
            for (const QString &key : std::as_const(items)) {
                QVERIFY2(back.contains(key), qPrintable(QString("trial %1: %2 came back cut or empty").arg(trial).arg(key)));
                QVERIFY2(back[key] >= kept.value(key),
                         qPrintable(QString("trial %1: %2 came back as version %3, %4 had been kept")
                                        .arg(trial).arg(key).arg(back[key]).arg(kept.value(key))));
            }

            // Saved, every item of the book has its note in the book folder.
            QVERIFY2(saved, qPrintable(QString("trial %1: the recovered book was not saved").arg(trial)));
            kobin::ItemTree savedTree;
            QCOMPARE(kobin::loadBookFile(book, savedTree).outcome, kobin::BookReading::Outcome::Read);
            QCOMPARE(savedTree.count(), tree.count());
            for (int i = 2; i <= savedTree.count(); ++i) {
                const QString note = home + "app/diary/" + savedTree.item(i)->key() + ".rtf";
                QVERIFY2(readText(note).contains("end "), qPrintable(QString("trial %1: %2 saved without its note").arg(trial).arg(note)));
            }
            QDir(home).removeRecursively();
        }
    }
};

QTEST_GUILESS_MAIN(TestCrashKill)
#include "tst_crashkill.moc"
