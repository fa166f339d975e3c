#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCli : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;

    QString bookFile(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
        return path;
    }

    struct Result {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    Result run(const QStringList &args)
    {
        QProcess process;
        process.start(KOBIN_CLI, args);
        process.waitForFinished(60000);
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

private slots:
    void treePrintsTheOutlineOfAShiftJisBook()
    {
        // 表計算 / ソフト (folder) / 能力 (text), 資料 (homepage), in code page 932.
        const QString path = bookFile("sjis.iis",
            "|0\\\x95\x5C\x8C\x76\x8E\x5A=a1+root|a1\\\x83\x5C\x83\x74\x83\x67=a2+fclose|"
            "a2\\\x94\x5C\x97\xCD=a4+richtxt|a1\\\x8E\x91\x97\xBF=a3+htmlfile|\r\n");
        const Result result = run({"tree", path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out),
                 QString("表計算\ta1\troot\n  ソフト\ta2\tfclose\n    能力\ta4\trichtxt\n  資料\ta3\thtmlfile\n"));
    }

    void treeReadsUtf8BooksAndSkipsDamagedRecords()
    {
        const QString path = bookFile("utf8.iis",
            "\xEF\xBB\xBF|0\\Caf\xC3\xA9=a1+root|a7\\lost=a2+richtxt|a1\\\xF0\x9F\x98\x80=a3+richtxt|\r\n");
        const Result result = run({"tree", path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out), QString("Café\ta1\troot\n  😀\ta3\trichtxt\n"));
    }

    void treePrintsBooksBeyond32767Characters()
    {
        QByteArray bytes = "|0\\big=a1+root|";
        QString expected = "big\ta1\troot\n";
        for (int i = 2; bytes.size() < 40000; ++i) {
            bytes += QStringLiteral("a1\\n%1=a%1+richtxt|").arg(i).toLatin1();
            expected += QStringLiteral("  n%1\ta%1\trichtxt\n").arg(i);
        }
        const Result result = run({"tree", bookFile("big.iis", bytes + "\r\n")});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out), expected);
    }

    void unreadableBookExitsWithOne()
    {
        const Result result = run({"tree", m_dir.filePath("nowhere.iis")});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.out.isEmpty());
        QVERIFY(QString::fromUtf8(result.err).contains("nowhere.iis"));
    }

    void unknownCommandShowsUsage()
    {
        const Result result = run({"frobnicate"});
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains("tree"));
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
