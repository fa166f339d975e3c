#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

// A PNG of one pixel.
static const char kOnePixelPng[] = "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAIAAACQd1PeAAAADElEQVR4nGP4z8AAAAMBAQDJ/pLvAAAAAElFTkSuQmCC";

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

    static void writeTo(const QString &path, const QByteArray &bytes)
    {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    static QByteArray readFile(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    struct Result {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    Result run(const QStringList &args, const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(m_dir.path());
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
        // Qt may warn about the environment first.
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.endsWith("「 " + path + " 」の中に読めない項目が 1 個ありました。読めた項目だけを表示します。\n"),
                 qPrintable(err));
    }

    void treeRefusesAFileThatIsNoBook()
    {
        const QString path = bookFile("text.iis", "# Notes\r\n\r\nNot a book | at all.\r\n");
        const Result result = run({"tree", path});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.out.isEmpty());
        const QString err = QString::fromUtf8(result.err);
        QVERIFY2(err.endsWith("「 " + path + " 」はブックファイルとして読めません。\n"), qPrintable(err));
    }

    void treeRefusesBooksNestedDeeperThanAnyRealBook()
    {
        QString treeString = "|0\\L1=a1+root|";
        for (int level = 2; level <= 30000; ++level)
            treeString += QString("a%1\\L%2=a%2+fclose|").arg(level - 1).arg(level);
        const QString book = bookFile("deep.iis", treeString.toLatin1());
        const Result result = run({"tree", book});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(QString::fromUtf8(result.err).endsWith("「 " + book + " 」は項目の階層が 1000 より深いため開けません。\n"),
                 result.err.constData());
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

    void rtf2txtPrintsOneLinePerParagraphOrLineBreak()
    {
        const QString path = bookFile("note.rtf",
            "{\\rtf1\\ansi\\ansicpg932{\\fonttbl{\\f0\\fcharset128 Gothic;}}\\f0 \\'83\\'5c\\'83\\'74\\'83\\'67\\tab x\\line y\\par\\par \\u-10179?\\u-8704?\\par}");
        const Result result = run({"rtf2txt", path});
        QCOMPARE(result.exitCode, 0);
        QCOMPARE(QString::fromUtf8(result.out), QString("ソフト\tx\ny\n\n😀\n"));
    }

    void rtf2rtfKeepsThePlainText_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("RichEdit 1.0") << KOBIN_RTF_DATA "/richedit10.rtf";
        QTest::newRow("RichEdit 2.0/3.0") << KOBIN_RTF_DATA "/richedit20.rtf";
        QTest::newRow("RichEdit 4.1") << KOBIN_RTF_DATA "/richedit41.rtf";
    }

    void rtf2rtfKeepsThePlainText()
    {
        QFETCH(QString, path);
        const Result rewritten = run({"rtf2rtf", path});
        QCOMPARE(rewritten.exitCode, 0);
        QVERIFY(rewritten.out.startsWith("{\\rtf1\\ansi\\ansicpg932"));
        const Result original = run({"rtf2txt", path});
        const Result copy = run({"rtf2txt", bookFile("copy.rtf", rewritten.out)});
        QCOMPARE(original.exitCode, 0);
        QVERIFY(original.out.contains("\xE2\x91\xA0")); // ①
        QCOMPARE(QString::fromUtf8(copy.out), QString::fromUtf8(original.out));
    }

    void rtf2rtfOfItsOwnOutputIsTheSame_data()
    {
        QTest::addColumn<QByteArray>("note");
        QTest::newRow("empty paragraphs in other fonts")
            << QByteArray("{\\rtf1{\\fonttbl{\\f0 Arial;}{\\f1\\fcharset128 MS Gothic;}{\\f2 Courier;}}"
                          "\\f0 text\\par\\f1\\fs40\\par\\f2\\par\\f0 end}");
        QTest::newRow("RichEdit 4.1") << readFile(KOBIN_RTF_DATA "/richedit41.rtf");
    }

    void rtf2rtfOfItsOwnOutputIsTheSame()
    {
        QFETCH(QByteArray, note);
        const Result first = run({"rtf2rtf", bookFile("note.rtf", note)});
        QCOMPARE(first.exitCode, 0);
        const Result second = run({"rtf2rtf", bookFile("again.rtf", first.out)});
        QCOMPARE(second.exitCode, 0);
        QCOMPARE(second.out, first.out);
    }

    void rtf2htmlShowsTheFormats()
    {
        const Result result = run({"rtf2html", bookFile("bold.rtf", "{\\rtf1 {\\b strong}\\qc\\par}")});
        QCOMPARE(result.exitCode, 0);
        const QString html = QString::fromUtf8(result.out);
        QVERIFY2(html.contains("font-weight:700;\">strong</span>"), qPrintable(html));
        QVERIFY2(html.contains("align=\"center\""), qPrintable(html));
    }

    // Only links to web pages and mail addresses stay links in a page; every link
    // keeps its field in the note.
    void rtf2htmlLinksOnlyToTheWebAndMail()
    {
        const auto field = [](const QByteArray &address, const QByteArray &text) {
            return "{\\field{\\*\\fldinst{HYPERLINK \"" + address + "\"}}{\\fldrslt " + text + "}}";
        };
        const QString note = bookFile("links.rtf", "{\\rtf1 " + field("https://example.jp/", "web") + field("mailto:a@example.jp", "mail")
                                                       + field("file:///etc/passwd", "file") + field("javascript:alert(1)", "script") + "\\par}");
        const QString html = QString::fromUtf8(run({"rtf2html", note}).out);
        QVERIFY2(html.contains("<a href=\"https://example.jp/\">"), qPrintable(html));
        QVERIFY2(html.contains("<a href=\"mailto:a@example.jp\">"), qPrintable(html));
        QVERIFY2(!html.contains("file:") && !html.contains("javascript:"), qPrintable(html));
        QVERIFY2(html.contains("file") && html.contains("script"), qPrintable(html));
        QCOMPARE(run({"rtf2txt", note}).out, QByteArray("webmailfilescript\n"));
        QVERIFY(run({"rtf2rtf", note}).out.contains("{\\field{\\*\\fldinst{HYPERLINK \"javascript:alert(1)\"}}{\\fldrslt"));
    }

    void picturesGoWhereEachFormCanHoldThem()
    {
        const QByteArray group = "{\\pict\\pngblip\\picw1\\pich1 " + QByteArray::fromBase64(kOnePixelPng).toHex() + "}";
        const QString note = bookFile("picture.rtf", "{\\rtf1 a" + group + "b{\\v hidden}\\par}");
        const QString html = QString::fromUtf8(run({"rtf2html", note}).out);
        QVERIFY2(html.contains("<img src=\"data:image/png;base64," + QString::fromLatin1(kOnePixelPng)), qPrintable(html));
        QCOMPARE(run({"rtf2txt", note}).out, QByteArray("ab\n"));
        QVERIFY(run({"rtf2rtf", note}).out.contains(group + "b{\\v\\f0 hidden}"));
    }

    void unreadableNoteExitsWithOne_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("rtf2txt") << "rtf2txt";
        QTest::newRow("rtf2html") << "rtf2html";
        QTest::newRow("rtf2rtf") << "rtf2rtf";
    }

    void unreadableNoteExitsWithOne()
    {
        QFETCH(QString, command);
        for (const QString &path : {m_dir.filePath("nowhere.rtf"), bookFile("text.rtf", "just text")}) {
            const Result result = run({command, path});
            QCOMPARE(result.exitCode, 1);
            QVERIFY(result.out.isEmpty());
            QVERIFY(QString::fromUtf8(result.err).contains("「 " + path + " 」を開けません。"));
        }
    }

    void notesThatAreNoRegularFileOrTooLargeAreRefused_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("refusal");
        QTest::newRow("device") << "/dev/zero" << "「 /dev/zero 」は通常のファイルではないため、読みません。";
        const QString pipe = m_dir.filePath("pipe.rtf");
        QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0); // never written: reading it would wait for ever
        QTest::newRow("pipe") << pipe << "「 " + pipe + " 」は通常のファイルではないため、読みません。";
        const QString big = bookFile("big.rtf", "{\\rtf1 big}");
        QVERIFY(QFile::resize(big, 256 * 1024 * 1024 + 1)); // sparse
        QTest::newRow("over 256 MB") << big << "「 " + big + " 」は 256 MB を超えるため、読みません。";
    }

    void notesThatAreNoRegularFileOrTooLargeAreRefused()
    {
        QFETCH(QString, path);
        QFETCH(QString, refusal);
        const Result result = run({"rtf2txt", path});
        QCOMPARE(result.exitCode, 1);
        QVERIFY(result.out.isEmpty());
        QVERIFY2(QString::fromUtf8(result.err).endsWith(refusal + u'\n'), result.err.constData());
    }

    void unknownCommandShowsUsage()
    {
        const Result result = run({"frobnicate"});
        QCOMPARE(result.exitCode, 2);
        QVERIFY(result.err.contains("tree"));
    }

    // The help names every command the usage line lists, each with a line that says what it does.
    void helpDescribesEveryCommand()
    {
        const QString usage = QString::fromUtf8(run({}).err);
        const qsizetype from = usage.indexOf("COMMAND: ") + 9;
        const QStringList names = usage.mid(from, usage.indexOf(u')', from) - from).split(", ");
        QVERIFY2(names.contains("capture") && names.contains("import"), qPrintable(usage));
        for (const char *option : {"--help", "-h"}) {
            const Result help = run({option});
            QCOMPARE(help.exitCode, 0);
            const QStringList lines = QString::fromUtf8(help.out).split(u'\n');
            for (const QString &name : names) {
                const qsizetype at = lines.indexOf(QRegularExpression("  " + name + "( .*)?"));
                QVERIFY2(at >= 0 && at + 1 < lines.size() && lines[at + 1].startsWith("      ")
                             && lines[at + 1].back().unicode() > 0x7f,
                         qPrintable(name + ":\n" + help.out));
            }
        }
    }

    void namesAfterTwoDashesMayBeginWithADash_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("out"); // the start of what is printed
        QTest::newRow("tree") << QStringList({"tree", "--", "-book.iis"}) << QByteArray("-Book\ta1");
        QTest::newRow("rtf2txt") << QStringList({"rtf2txt", "--", "-book/a1.rtf"}) << QByteArray("dashing note\n");
        QTest::newRow("check") << QStringList({"check", "--", "-book.iis"}) << QByteArray("問題は見つかりませんでした。");
        QTest::newRow("export") << QStringList({"export", "--", "-book.iis", "-site"}) << QByteArray("「 -site 」に");
        QTest::newRow("search with an option") << QStringList({"search", "--kana", "--", "-book.iis", "dashing"})
                                               << QByteArray("-Book\tテキスト");
    }
    void namesAfterTwoDashesMayBeginWithADash()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, out);
        bookFile("-book.iis", "|0\\-Book=a1+root|\r\n");
        QDir().mkpath(m_dir.filePath("-book"));
        writeTo(m_dir.filePath("-book/a1.rtf"), "{\\rtf1 dashing note\\par}");
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KOBIN_HOME", m_dir.path());
        environment.insert("XDG_CACHE_HOME", m_dir.filePath("cache"));
        const Result result = run(args, environment);
        QVERIFY2(result.out.startsWith(out), result.out + result.err);
        QCOMPARE(result.exitCode, 0);
    }

    void searchPrintsEachMatchWithItsPlaceInTheTree()
    {
        // 日記 (the book) / 旅行 (folder) / 京都 (text), 資料 (homepage) with a page and a side text.
        const QString home = m_dir.filePath("home");
        const QString bookFolder = home + "/diary/";
        QDir().mkpath(bookFolder);
        const QString book = bookFile("diary.iis",
            "\xEF\xBB\xBF|0\\\xE6\x97\xA5\xE8\xA8\x98=a1+root|a1\\\xE6\x97\x85\xE8\xA1\x8C=a2+fclose|"
            "a2\\\xE4\xBA\xAC\xE9\x83\xBD=a3+richtxt|a1\\\xE8\xB3\x87\xE6\x96\x99=a4+htmlfile|\r\n");
        writeTo(bookFolder + "a1.rtf", "{\\rtf1 nothing here}");
        writeTo(bookFolder + "a3.rtf", "{\\rtf1 \\u12493?\\u12467? KANGAROO\\par second line}");
        const QString page = m_dir.filePath("pages/museum.html");
        QDir().mkpath(m_dir.filePath("pages"));
        writeTo(page, "<html><body><p>The kangaroo room</p><script>kangaroo()</script></body></html>");
        writeTo(bookFolder + "a4url.txt", page.toUtf8() + "\r\n");
        writeTo(bookFolder + "a4museum.rtf", "{\\rtf1 a \\u-138?\\u-99?\\u-138?\\u-98?\\u-103?\\u-144? seen}");

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KOBIN_HOME", home);
        environment.insert("XDG_CACHE_HOME", m_dir.filePath("cache"));
        const Result found = run({"search", book, "Kangaroo"}, environment);
        QCOMPARE(found.exitCode, 0);
        QCOMPARE(QString::fromUtf8(found.out), QString("日記 ＞ 旅行 ＞ 京都\tテキスト\tネコ KANGAROO second line\n"
                                                      "日記 ＞ 資料\tページ (museum.html)\tThe kangaroo room\n"));
        QVERIFY(QFileInfo(m_dir.filePath("cache/Kobin/search")).isDir());

        // Half-width katakana, two words, kana only when asked, a caption.
        QCOMPARE(QString::fromUtf8(run({"search", book, "カンガルー", "SEEN"}, environment).out),
                 QString("日記 ＞ 資料\tページのテキスト\ta ｶﾝｶﾞﾙｰ seen\n"));
        QCOMPARE(run({"search", book, "ねこ"}, environment).exitCode, 1);
        QCOMPARE(QString::fromUtf8(run({"search", "--kana", book, "ねこ"}, environment).out),
                 QString("日記 ＞ 旅行 ＞ 京都\tテキスト\tネコ KANGAROO second line\n"));
        QCOMPARE(QString::fromUtf8(run({"search", book, "旅"}, environment).out), QString("日記 ＞ 旅行\t名前\t旅行\n"));

        const Result none = run({"search", book, "\"kangaroo OR\""}, environment);
        QCOMPARE(none.exitCode, 1);
        QVERIFY(none.out.isEmpty());
        QCOMPARE(run({"search", book}, environment).exitCode, 2);
    }
};

QTEST_GUILESS_MAIN(TestCli)
#include "tst_cli.moc"
