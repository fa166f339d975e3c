#include "AppPath.h"
#include "BookCheck.h"
#include "BookCommandLine.h"
#include "BookContent.h"
#include "ItemTree.h"
#include "TreeString.h"
#include "WindowsBook.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

// Checking a closed book changes nothing and names every problem.
class TestBookCheck : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString home() const { return m_dir->path() + "/home"; }
    QString folder() const { return home() + "/book/"; }
    QString book() const { return home() + "/book.iis"; }

    static QStringList listing(const QString &folder)
    {
        QStringList files;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QFileInfo file(it.next());
            files << file.filePath() + " " + QString::number(file.size()) + " "
                    + file.lastModified().toString(Qt::ISODateWithMs);
        }
        files.sort();
        return files;
    }

private slots:
    void init()
    {
        qunsetenv("KOBIN_HOME");
        m_dir = std::make_unique<QTemporaryDir>();
        windowsbook::write(home());
    }

    void bookBroughtFromWindowsIsCleanAndItsMovedPagesAreNoted()
    {
        const QStringList before = listing(m_dir->path());
        const CommandOutcome outcome = checkBookCommand({book()});
        QCOMPARE(outcome.err, QString());
        QCOMPARE(outcome.out,
                 "「Web page」(a5) のページ C:\\Program Files\\Kobin\\pages\\Index.htm は " + QDir::toNativeSeparators(home() + "/pages/index.htm")
                     + " にあります（表示すると参照先を直します）。\n"
                       "「Other page」(a6) のページ C:\\Documents and Settings\\me\\PAGES\\other.HTML は "
                     + QDir::toNativeSeparators(home() + "/pages/other.html")
                     + " にあります（表示すると参照先を直します）。\n"
                       "問題は見つかりませんでした。\n");
        QCOMPARE(outcome.status, 0);
        QCOMPARE(listing(m_dir->path()), before);
    }

    // Where import and the window keep a book's folder: the program's folder for books.
    void aBookFolderInTheProgramsFolderIsFound()
    {
        const QString name = QFileInfo(m_dir->path()).fileName();
        const QString kept = kobin::resolveAppPath() + name + u'/';
        if (!QDir().rename(folder(), kept))
            QSKIP("The program's folder is on another file system than the temporary folder.");
        const QString elsewhere = m_dir->path() + "/" + name + ".iis";
        QVERIFY(QFile::rename(book(), elsewhere));
        const CommandOutcome outcome = checkBookCommand({elsewhere});
        QDir(kept).removeRecursively();
        // Its notes and url files are there; only its pages, left behind, are not.
        QVERIFY2(!outcome.out.contains("がありません"), qPrintable(outcome.out));
        QVERIFY2(outcome.out.contains("のページ"), qPrintable(outcome.out));
    }

    void everyKindOfProblemIsNamedAndTheCheckFails()
    {
        QVERIFY(QFile::remove(folder() + "a1.rtf"));
        writeText(folder() + "a2.rtf", "plain text, no note");
        QVERIFY(QFile::remove(folder() + "A5url.txt"));
        writeText(folder() + "a6url.txt", "C:\\gone\\nowhere.htm\r\n");
        writeText(folder() + "a9.rtf", windowsbook::note("no item a9"));
        writeText(folder() + "a51other.txt", "100\r\n");
        QVERIFY(writeBookFile(book(), QString::fromLatin1(windowsbook::kTreeString) + "a77\\Lost=a8+richtxt|"));
        writeText(folder() + "a8.rtf", windowsbook::note("a note of an item left out"));

        const QStringList before = listing(m_dir->path());
        const CommandOutcome outcome = checkBookCommand({book()});
        QCOMPARE(outcome.out.split('\n'),
                 QStringList({"ブックファイルの中に読めない項目が 1 個あり、読み飛ばしました。",
                              "「Book」(a1) のメモ a1.rtf がありません。",
                              "「Folder」(a2) のメモ a2.rtf はリッチテキストではありません。",
                              "「Web page」(a5) の参照先ファイル a5url.txt がありません。",
                              "「Other page」(a6) のページ C:\\gone\\nowhere.htm が見つかりません。",
                              "a8.rtf はどの項目のものでもありません。",
                              "a9.rtf はどの項目のものでもありません。",
                              "a51other.txt はどの項目のものでもありません。",
                              "8 個の問題が見つかりました。", ""}));
        QCOMPARE(outcome.status, 1);
        QCOMPARE(listing(m_dir->path()), before);
    }

    void pagesLeftOutOfExportAndSearchAndConflictCopiesAreProblems()
    {
        writeText(m_dir->path() + "/secret/.bashrc", "the user's own");
        writeText(folder() + "a6url.txt", "../secret/.bashrc\r\n");
        QVERIFY(QFile::link(m_dir->path() + "/secret/.bashrc", home() + "/pages/index_files/leak.css"));
        writeText(folder() + "a3.sync-conflict-20261201-101010-ABCDEFG.rtf", windowsbook::note("one side"));
        writeText(folder() + "a3 (conflicted copy 2026-12-01 101010).rtf", windowsbook::note("other side"));
        writeText(folder() + "a9 (Someone's conflicted copy 2026-12-01).rtf", windowsbook::note("gone item"));

        const CommandOutcome outcome = checkBookCommand({book()});
        QCOMPARE(outcome.out.split('\n'),
                 QStringList({"「Web page」(a5) のページのファイル index_files/leak.css はページのフォルダの外を指すため、書き出しません。",
                              "「Other page」(a6) のページ ../secret/.bashrc はページとして表示できるファイルではないため、書き出しも検索もしません。",
                              "「Text <one>」(a3) の a3.rtf には同期ツールが残した競合コピー a3 (conflicted copy 2026-12-01 101010).rtf "
                              "があります。どちらを残すか確かめてください。",
                              "「Text <one>」(a3) の a3.rtf には同期ツールが残した競合コピー a3.sync-conflict-20261201-101010-ABCDEFG.rtf "
                              "があります。どちらを残すか確かめてください。",
                              "a9.rtf には同期ツールが残した競合コピー a9 (Someone's conflicted copy 2026-12-01).rtf "
                              "があります（どの項目のものでもありません）。",
                              "「Web page」(a5) のページ C:\\Program Files\\Kobin\\pages\\Index.htm は "
                                  + QDir::toNativeSeparators(home() + "/pages/index.htm") + " にあります（表示すると参照先を直します）。",
                              "5 個の問題が見つかりました。", ""}));
        QCOMPARE(outcome.status, 1);
    }

    void aPagesFolderLinkedElsewhereIsAProblem()
    {
        QDir().mkpath(m_dir->path() + "/elsewhere");
        QVERIFY(QFile::link(m_dir->path() + "/elsewhere", folder() + "pages"));
        const CommandOutcome outcome = checkBookCommand({book()});
        QVERIFY2(outcome.out.startsWith("ページのフォルダ " + QDir::toNativeSeparators(folder() + "pages/")
                                        + " はほかの場所へのリンクです。取り込んだページはそこへは書きません。\n"),
                 qPrintable(outcome.out));
        QCOMPARE(outcome.status, 1);
    }

    void captionsTheTreeStringCannotHoldAndAMissingBookFolderAreProblems()
    {
        ItemTree tree;
        treestring::buildTree(tree, u"|0\\Book=a1+root|");
        tree.setText(tree.item("a1"), "a|b");
        const BookContent content(m_dir->path() + "/nowhere/", book(), home() + "/");
        QCOMPARE(checkBook(tree, 0, content).problems,
                 QStringList({"ブックフォルダ " + QDir::toNativeSeparators(m_dir->path() + "/nowhere/") + " がありません。",
                              "「a|b」(a1) の名前はブックファイルに書けない文字を含みます。",
                              "「a|b」(a1) のメモ a1.rtf がありません。"}));
        tree.setText(tree.item("a1"), QString(treestring::kMaxCaptionLength + 1, u'x'));
        QCOMPARE(checkBook(tree, 0, content).problems.size(), 3);
        tree.setText(tree.item("a1"), "line\nbreak");
        QCOMPARE(checkBook(tree, 0, content).problems.size(), 3);
        tree.setText(tree.item("a1"), QStringLiteral("全角｜は書ける"));
        QCOMPARE(checkBook(tree, 0, content).problems.size(), 2);
    }

    void unreadableBookOrWrongUseSaySoInTheirStatus()
    {
        writeText(home() + "/text.iis", "just some text\r\n");
        const CommandOutcome notABook = checkBookCommand({home() + "/text.iis"});
        QCOMPARE(notABook.status, 1);
        QCOMPARE(notABook.err, "「 " + home() + "/text.iis 」はブックファイルとして読めません。\n");
        QCOMPARE(checkBookCommand({home() + "/missing.iis"}).status, 1);
        QCOMPARE(checkBookCommand({}).status, 2);
        QCOMPARE(checkBookCommand({book(), "more"}).err, QString("使い方: kobin-cli check BOOK\n"));
    }
};

QTEST_GUILESS_MAIN(TestBookCheck)
#include "tst_bookcheck.moc"
