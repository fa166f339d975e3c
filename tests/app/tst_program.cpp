#include "SingleInstance.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

// Starts the real program in its smoke mode: it opens, shows its window and
// closes through its normal close path.
class TestProgram : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString home() const { return m_dir->path() + "/home/"; }
    QString iniFile() const { return m_dir->path() + "/config/Kobin/Kobin.ini"; }

    struct Run {
        int exitCode;
        QString err;
        QString out;
    };

    Run run(const QStringList &args = {})
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KOBIN_SMOKE", "1");
        env.insert("KOBIN_HOME", home());
        env.insert("XDG_CONFIG_HOME", m_dir->path() + "/config");
        env.insert("XDG_RUNTIME_DIR", m_dir->path() + "/run");
        env.insert("XDG_CACHE_HOME", m_dir->path() + "/cache");
        process.setProcessEnvironment(env);
        process.start(KOBIN_PROGRAM, args);
        if (!process.waitForFinished(120000))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardError()), QString::fromUtf8(process.readAllStandardOutput())};
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QDir().mkpath(m_dir->path() + "/run");
        QFile::setPermissions(m_dir->path() + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    void firstStartInstallsAndOpensTheSampleBook_data()
    {
        QTest::addColumn<bool>("folderMadeFirst");
        QTest::newRow("no program folder") << false;
        QTest::newRow("an empty program folder") << true;
    }

    void firstStartInstallsAndOpensTheSampleBook()
    {
        QFETCH(bool, folderMadeFirst);
        if (folderMadeFirst)
            QVERIFY(QDir().mkpath(home()));
        const Run first = run();
        QCOMPARE(first.exitCode, 0);
        QVERIFY2(!first.err.contains("が見つかりません"), qPrintable(first.err));
        QVERIFY(QFile::exists(home() + "sample.iis"));
        QVERIFY(QFile::exists(home() + "kobin.qch"));
        QFile url(home() + "sample/a5url.txt");
        QVERIFY(url.open(QIODevice::ReadOnly));
        const QByteArray page = url.readAll();
        QVERIFY(page.endsWith(".html\r\n"));
        QVERIFY(QFile::exists(QString::fromLocal8Bit(page.trimmed())));
        QVERIFY(QFileInfo(home() + "temp").isDir());
        QVERIFY(QDir(home() + "temp").isEmpty()); // closing empties the working folder

        QSettings settings(iniFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("Settings/MainLeft").toString(), QString("300"));
        QCOMPARE(settings.value("Settings/MainWidth").toString(), QString("11500"));
        QCOMPARE(settings.value("Settings/WindowState").toString(), QString("0"));
        QCOMPARE(settings.value("Settings/TreeVisible").toString(), QString("True"));
        QCOMPARE(settings.value("Settings/book").toString(), home() + "sample.iis");
        QCOMPARE(settings.value("Settings/bookName").toString(), QString("sample"));
        QCOMPARE(settings.value("Settings/RecentFiles/RecentFile1").toString(), home() + "sample.iis");
    }

    // A program folder brought from another computer without its working folder:
    // the sample book there is the user's, and stays as it is.
    void firstStartKeepsASampleBookThatIsThere()
    {
        const QByteArray theirs = "|0\\Mine=a1+root|a1\\Kept=a2+richtxt|\r\n";
        QVERIFY(QDir().mkpath(home() + "sample"));
        writeText(home() + "sample.iis", theirs);
        writeText(home() + "sample/a2.rtf", "{\\rtf1 my note}");
        QCOMPARE(run().exitCode, 0);
        QCOMPARE(readText(home() + "sample.iis"), theirs);
        QCOMPARE(readText(home() + "sample/a2.rtf"), QByteArray("{\\rtf1 my note}"));
        QVERIFY(!QFile::exists(home() + "sample/a5url.txt"));
    }

    void helpAndVersionArePrintedWithoutStartingAndTouchNothing()
    {
        const Run version = run({"--version"});
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QString("Kobin 2.02\n"));
        for (const char *option : {"--help", "-h", "--help-all"}) {
            const Run help = run({option});
            QCOMPARE(help.exitCode, 0);
            QVERIFY2(help.out.contains("--version") && help.out.contains(QStringLiteral("開くブックファイル")),
                     qPrintable(help.out));
            // Every line is Japanese: none of the parser's English ("Usage:", "Displays help on …").
            for (const QString &line : help.out.split(u'\n', Qt::SkipEmptyParts))
                QVERIFY2(std::any_of(line.begin(), line.end(), [](QChar c) { return c.unicode() > 0x7f; }),
                         qPrintable(line));
        }
        QVERIFY(!QFile::exists(home())); // no program folder made, no book opened
    }

    void unknownOptionIsRefusedWithStatusTwo()
    {
        const Run longOption = run({"--open-all"});
        QCOMPARE(longOption.exitCode, 2);
        QCOMPARE(longOption.err, QStringLiteral("kobin: 「--open-all」というオプションはありません。\n"
                                                "使い方: kobin [BOOK.iis]  （説明は kobin --help）\n"));
        const Run shortOption = run({"-q", "book.iis"});
        QCOMPARE(shortOption.exitCode, 2);
        QVERIFY(shortOption.err.startsWith(QStringLiteral("kobin: 「-q」というオプションはありません。")));
        QVERIFY(!QFile::exists(home()));
    }

    void windowSystemOptionsAreLeftToTheWindowSystem()
    {
        const Run started = run({"-platform", "offscreen", "-style", "Fusion", "-reverse"});
        QCOMPARE(started.exitCode, 0);
        QVERIFY2(!started.err.contains("オプション"), qPrintable(started.err));
        QSettings settings(iniFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("Settings/book").toString(), home() + "sample.iis"); // no option taken for a book
    }

    void bookNamedAfterTheOptionsEndOpensWithItsSpaces()
    {
        QCOMPARE(run().exitCode, 0);
        QVERIFY(QFile::copy(home() + "sample.iis", home() + "-my book.iis"));
        const Run opened = run({"--", home() + "-my", "book.iis"});
        QCOMPARE(opened.exitCode, 0);
        QVERIFY2(!opened.err.contains("見つかりません"), qPrintable(opened.err));
        QSettings settings(iniFile(), QSettings::IniFormat);
        QCOMPARE(settings.value("Settings/book").toString(), home() + "-my book.iis");
    }

    void deletedSampleBookIsReportedNotReinstalled()
    {
        QCOMPARE(run().exitCode, 0);
        QVERIFY(QFile::remove(home() + "sample.iis"));
        const Run second = run();
        QCOMPARE(second.exitCode, 0);
        QVERIFY2(second.err.contains(" が見つかりません。"), qPrintable(second.err));
        QVERIFY(!QFile::exists(home() + "sample.iis"));
    }

    void secondInstanceIsRefusedAndTouchesNothing()
    {
        // The first instance runs in another session (another runtime folder): the
        // program folder, and so the working folder, is still the same.
        kobin::SingleInstance first(kobin::SingleInstance::lockPathFor(home()));
        QVERIFY(first.isFirst());
        const Run second = run();
        QCOMPARE(second.exitCode, 0);
        QVERIFY(second.err.contains("ソフトはすでに起動しています。"));
        QVERIFY(!QFile::exists(iniFile()));
        QCOMPARE(QDir(home()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList({"kobin.lock"}));
    }
};

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
