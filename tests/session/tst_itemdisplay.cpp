#include "BookFixture.h"
#include "PageNames.h"
#include "PageNavigation.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

class TestItemDisplay : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    QString m_page;

    QString working(const QString &name) const { return f->working(name); }
    void click(const char *key) { f->click(key); }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->book.setBookFile(f->dir.path() + "/book.iis", "book");
        treestring::buildTree(f->tree, u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\Text=a3+richtxt|"
                                       u"a1\\Web=a5+htmlfile|a1\\Lost=a6+htmlfile|a1\\Gone=a7+htmlfile|");
        f->tree.select(f->tree.item("a1"));
        m_page = f->dir.path() + "/web/index.html";
        writeText(m_page, "<html>index</html>");
        writeText(working("a1.rtf"), "book note");
        writeText(working("a2.rtf"), "folder note");
        writeText(working("a5url.txt"), QFile::encodeName(m_page) + "\r\n");
        writeText(working("a5index.rtf"), "index side text");
        writeText(working("a5index.txt"), "1500\r\n");
        writeText(working("a7url.txt"), QFile::encodeName(f->dir.path() + "/web/deleted.html") + "\r\n");
        f->note.text = "book note";
    }

    void clickingTheShownItemDoesNothing()
    {
        f->note.text = "typed";
        click("a1");
        QCOMPARE(readText(working("a1.rtf")), QByteArray("book note"));
        QVERIFY(f->status.status.isEmpty());
    }

    void switchingStoresTheShownTextAndLoadsTheNext()
    {
        f->note.text = "book note, edited";
        click("a2");
        QCOMPARE(readText(working("a1.rtf")), QByteArray("book note, edited"));
        QCOMPARE(f->note.text, QString("folder note"));
        QCOMPARE(f->book.shown().key(), QString("a2"));
        QCOMPARE(f->status.status, QString("Folder"));
        QVERIFY(!f->bookItemCommandsShown());
        QVERIFY(!f->homepageCommandsShown());
        QVERIFY(!f->book.isLoading());
        click("a1");
        QVERIFY(f->bookItemCommandsShown());
    }

    void noteThatCannotBeStoredKeepsItsItemShown()
    {
        // The working folder refuses the note (a full disk): the typed text must not be replaced.
        QFile::remove(working("a1.rtf"));
        QDir().mkpath(working("a1.rtf"));
        f->note.text = "typed and not yet stored";
        click("a2");
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(working("a1.rtf")) + " 」\n\nを保存できませんでした。");
        QCOMPARE(f->note.text, QString("typed and not yet stored"));
        QCOMPARE(f->book.shown().key(), QString("a1"));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a1"));
        QVERIFY(!f->book.isLoading());
        QVERIFY(!f->display.isShowingItem());

        // The same on a page: the side text stays with the page it was written for.
        QDir(working("a1.rtf")).removeRecursively();
        click("a5");
        QFile::remove(working("a5index.rtf"));
        QDir().mkpath(working("a5index.rtf"));
        f->note.text = "side text typed";
        f->display.switchPageText(QUrl::fromLocalFile(f->dir.path() + "/web/other.htm").toString());
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->note.text, QString("side text typed"));
        QCOMPARE(f->book.shown().pageTextName(), QString("a5index"));
    }

    void missingNoteIsReportedAndStoredEmptyLater()
    {
        click("a3");
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(f->prompter.prompts[0].text, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::None);
        QCOMPARE(f->note.text, QString());
        click("a2");
        QCOMPARE(readText(working("a3.rtf")), QByteArray());
    }

    void aNoteThatCannotBeReadIsNeverStoredOverUnasked_data()
    {
        QTest::addColumn<QByteArray>("key");
        QTest::addColumn<QString>("file");
        QTest::newRow("note") << QByteArray("a2") << "a2.rtf";
        QTest::newRow("side text") << QByteArray("a5") << "a5index.rtf";
    }

    void aNoteThatCannotBeReadIsNeverStoredOverUnasked()
    {
        QFETCH(QByteArray, key);
        QFETCH(QString, file);
        const QByteArray kept = readText(working(file));
        f->note.notRtf = working(file);
        f->prompter.answers = {PromptAnswer::No};
        click(key.constData());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::YesNoDefaultNo);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙを開けません"));
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(working(file))
                     + " 」\n\nはリッチテキストではないため、読み込めません。ファイルはそのまま残します。\n\n"
                       "空のテキストで置き換えますか？");
        QVERIFY(f->note.readOnly);
        f->note.text = "typed anyway";
        QVERIFY(f->display.keepShownText());
        if (key == "a5")
            f->display.switchPageText(QUrl::fromLocalFile(f->dir.path() + "/web/other.htm").toString());
        click("a1");
        QCOMPARE(readText(working(file)), kept);
        QVERIFY(!f->note.readOnly);

        // Chosen to be replaced, it takes what is typed.
        f->prompter.answers = {PromptAnswer::Yes};
        click(key.constData());
        QVERIFY(!f->note.readOnly);
        f->note.text = "a new note";
        click("a1");
        QCOMPARE(readText(working(file)), QByteArray("a new note"));
    }

    void homepageItemOpensItsPageWithItsSideText()
    {
        click("a5");
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->book.shown().pagePath(), m_page);
        QCOMPARE(f->book.shown().pageTextName(), QString("a5index"));
        QCOMPARE(f->note.text, QString("index side text"));
        QCOMPARE(f->arrangement.stacked, 1500.0f);
        QCOMPARE(f->arrangement.side, 4500.0f); // no side file: half the content width
        QVERIFY(f->homepageCommandsShown());
        QCOMPARE(f->commandState.selectedTab(), QString("html"));
        QVERIFY(f->page.shown);
        QCOMPARE(f->page.navigated, QStringList({m_page}));
    }

    void aRelativePageIsTakenFromTheBookFolderThenTheProgramFolder()
    {
        writeText(working("a5url.txt"), "web/index.html\r\n"); // beside the book file
        click("a5");
        QCOMPARE(f->page.navigated, QStringList({m_page}));

        writeText(f->app("pages/start.html"), "<html>in the program folder</html>");
        writeText(working("a6url.txt"), "pages/start.html\r\n");
        writeText(working("a6start.rtf"), "start side text");
        click("a6");
        QCOMPARE(f->page.navigated.last(), f->app("pages/start.html"));
        QVERIFY(f->prompter.prompts.isEmpty());
    }

    void aPageNamedWithADigitFirstNeverUsesAnotherItemsNote()
    {
        const QString page = f->dir.path() + "/web/3.html";
        writeText(page, "<html>three</html>");
        writeText(working("a5url.txt"), QFile::encodeName(page) + "\r\n");
        QVERIFY(f->tree.add("a1", Relationship::Child, "a53", "Item 53", "richtxt"));
        writeText(working("a53.rtf"), "item 53's own note");
        writeText(working("a5-3.rtf"), "side text of 3.html");
        click("a5");
        QCOMPARE(f->book.shown().pageTextName(), QString("a5-3"));
        QCOMPARE(f->note.text, QString("side text of 3.html"));
        f->note.text = "typed beside 3.html";
        click("a2");
        QCOMPARE(readText(working("a5-3.rtf")), QByteArray("typed beside 3.html"));
        QCOMPARE(readText(working("a53.rtf")), QByteArray("item 53's own note"));
    }

    void aSideTextEarlierBooksRanTogetherIsTakenOverWhereNoItemOwnsTheName()
    {
        const QString page = f->dir.path() + "/web/3.html";
        writeText(page, "<html>three</html>");
        writeText(working("a5url.txt"), QFile::encodeName(page) + "\r\n");
        writeText(working("a53.rtf"), "side text written by an earlier book");
        writeText(working("a53.txt"), "1200\r\n");
        click("a5");
        QCOMPARE(f->note.text, QString("side text written by an earlier book"));
        QCOMPARE(f->arrangement.stacked, 1200.0f);
        QVERIFY(!QFile::exists(working("a53.rtf")));
        QCOMPARE(f->book.workingFolder().deletions().files(), QStringList({"a53.rtf", "a53.txt"}));
    }

    void splitterPositionsFromFilesStayWithinTheContentArea()
    {
        writeText(working("a5index.txt"), "30000000\r\n");
        writeText(working("a5indexside.txt"), "-5000\r\n");
        click("a5");
        QCOMPARE(f->arrangement.stacked, 5000.0f);
        QCOMPARE(f->arrangement.side, 0.0f);
    }

    void followingLinksSwitchesTheSideTextPageByPage()
    {
        click("a5");
        f->display.switchPageText(QUrl::fromLocalFile(m_page).toString());
        QVERIFY(!f->commands.isEnabled(Command::Back, Surface::Button));
        QVERIFY(!f->status.treeEnabled);
        QCOMPARE(f->note.text, QString("index side text"));

        f->note.text = "index side text, edited";
        f->arrangement.stacked = 2222;
        const QString other = f->dir.path() + "/web/other.htm";
        f->display.switchPageText(QUrl::fromLocalFile(other).toString());
        QVERIFY(f->commands.isEnabled(Command::Back, Surface::Button));
        QCOMPARE(readText(working("a5index.rtf")), QByteArray("index side text, edited"));
        QCOMPARE(readText(working("a5index.txt")), QByteArray("2222\r\n"));
        QCOMPARE(f->note.text, QString()); // no a5other.rtf yet
        QCOMPARE(f->book.shown().pageTextName(), QString("a5other"));
        QCOMPARE(f->book.shown().browserAddress(), other);

        f->note.text = "notes on the other page";
        f->display.switchPageText(QUrl::fromLocalFile(m_page).toString());
        QCOMPARE(readText(working("a5other.rtf")), QByteArray("notes on the other page"));
        QCOMPARE(f->note.text, QString("index side text, edited"));
        QCOMPARE(f->arrangement.stacked, 2222.0f);

        click("a2");
        QCOMPARE(readText(working("a5index.rtf")), QByteArray("index side text, edited"));
    }

    void theTreeWaitsForThePageToLoad()
    {
        PageNavigation navigation(f->book, f->display, f->page, f->status);
        click("a5");
        navigation.navigationStarting(QUrl::fromLocalFile(m_page).toString());
        QVERIFY(!f->status.treeEnabled);
        navigation.pageLoaded();
        QVERIFY(f->status.treeEnabled);
        QCOMPARE(f->status.status, QString("Page title"));

        // Back with no page to go back to: nothing will load, so the tree is not held.
        f->status.status.clear();
        navigation.back();
        QVERIFY(f->status.treeEnabled);
        QCOMPARE(f->status.status, QString("Page title"));
        f->page.canGo = true;
        navigation.forward();
        QVERIFY(!f->status.treeEnabled);
    }

    void mailAddressesLeaveThePageTextAlone()
    {
        click("a5");
        f->display.switchPageText("mailto:someone@example.jp");
        QCOMPARE(f->book.shown().pageTextName(), QString("a5index"));
        QCOMPARE(f->note.text, QString("index side text"));
        QVERIFY(f->status.treeEnabled);
    }

    void webAddressesGetSafeStableNames()
    {
        click("a5");
        f->display.switchPageText("https://example.jp/a/b/../../../etc/passwd?x=1");
        const QString name = f->book.shown().pageTextName();
        QVERIFY(name.startsWith("a5web"));
        QVERIFY(!name.contains('/') && !name.contains('\\') && !name.contains(".."));
        QVERIFY(name.size() <= 32);
        QCOMPARE(pageBaseName("https://example.jp/a/b/../../../etc/passwd?x=1"), name.mid(2));
        QVERIFY(pageBaseName("https://example.jp/other") != name.mid(2));
        QCOMPARE(pageBaseName("C:\\web\\index.html"), QString("index"));
        QCOMPARE(pageBaseName("/web/my.page.html"), QString("my"));
        QCOMPARE(pageBaseName("file:///web/%E8%A1%A8.html"), QString("表"));
        QCOMPARE(pageBaseName("/web/README"), QString("README"));
    }

    void homepageWithoutUrlFileIsReported()
    {
        click("a6");
        QCOMPARE(f->prompter.prompts.size(), 2); // the url file, then the text it would have
        QCOMPARE(f->prompter.prompts[0].text,
                 QString("HTMLﾌｧｲﾙへのパスを書き込んだファイルが見つかりません。\n\n")
                     + QDir::toNativeSeparators(f->book.appPath() + "book/a6url.txt"));
        QVERIFY(f->prompter.prompts[1].text.startsWith("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n"));
        QVERIFY(f->prompter.prompts[1].text.contains("a6.rtf"));
        QCOMPARE(f->book.shown().pageTextName(), QString("a6"));
        QVERIFY(f->commands.isEnabled(Command::ChangePageReference, Surface::Menu));
        QVERIFY(f->status.treeEnabled);
        QVERIFY(!f->homepageCommandsShown());
        QVERIFY(!f->bookItemCommandsShown());
        QVERIFY(!f->display.isShowingItem());
    }

    void homepageWhosePageIsGoneIsReported()
    {
        click("a7");
        QCOMPARE(f->prompter.prompts[0].text, QString("HTMLﾌｧｲﾙ\n\n") + f->dir.path()
                                                  + "/web/deleted.html\n\nが見つかりません。移動または削除した可能性があります。");
        QCOMPARE(f->book.shown().pageTextName(), QString("a7deleted"));
        QVERIFY(f->page.navigated.isEmpty());
    }

    void pageWrittenOnWindowsIsFoundBesideTheBookAndRelinkedInTheWorkingFolder()
    {
        writeText(working("a7url.txt"), "C:\\Documents and Settings\\me\\WEB\\Index.HTML\r\n");
        writeText(f->book.bookFolder() + "a7url.txt", "C:\\Documents and Settings\\me\\WEB\\Index.HTML\r\n");
        writeText(working("a7index.rtf"), "side text");
        click("a7");
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->page.navigated, QStringList{m_page});
        QCOMPARE(f->book.shown().pagePath(), m_page);
        QCOMPARE(f->book.shown().pageTextName(), QString("a7index"));
        QCOMPARE(readText(working("a7url.txt")), QFile::encodeName(m_page) + "\r\n");
        QVERIFY(f->book.isChanged());
        // The book folder keeps the old path until the book is saved.
        QVERIFY(readText(f->book.bookFolder() + "a7url.txt").startsWith("C:\\Documents"));
    }

    void pageIsFoundUnderThePageFolderHistory()
    {
        const QString old = f->dir.path() + "/saved/deep/Pages/Old.htm";
        writeText(old, "old page");
        f->display.setPageFolderHistory([&] { return QStringList{QString(), f->dir.path() + "/saved/deep"}; });
        writeText(working("a7url.txt"), "D:\\old\\pages\\OLD.htm\r\n");
        writeText(working("a7Old.rtf"), "side text");
        click("a7");
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->page.navigated, QStringList{old});
        QCOMPARE(readText(working("a7url.txt")), QFile::encodeName(old) + "\r\n");
    }

    void urlFileNamingNoPageIsReportedAndChangesNothing()
    {
        QVERIFY(QDir().mkpath(f->dir.path() + "/web/folder.html"));
        QString overlong = "C:";
        while (overlong.size() < 10000)
            overlong += "\\web";
        for (const QString &named : {f->dir.path() + "/web/folder.html", QString("/dev/zero"), overlong + "\\index.html"}) {
            click("a1");
            f->prompter.prompts.clear();
            writeText(working("a7url.txt"), named.toLocal8Bit() + "\r\n");
            click("a7");
            QVERIFY(!f->prompter.prompts.isEmpty());
            QVERIFY2(f->prompter.prompts[0].text.endsWith("が見つかりません。移動または削除した可能性があります。"),
                     qPrintable(f->prompter.prompts[0].text.right(200)));
            QVERIFY(f->page.navigated.isEmpty());
            QCOMPARE(readText(working("a7url.txt")), named.toLocal8Bit() + "\r\n");
            QVERIFY(!f->book.isChanged());
        }
    }

    void aUrlFileHoldingANulByteGetsOneClearMessage()
    {
        QTest::failOnWarning(QRegularExpression("Broken filename"));
        writeText(working("a7url.txt"), QFile::encodeName(f->dir.path()) + "/web/in" + QByteArray(1, '\0') + "dex.html\r\n");
        click("a7");
        QVERIFY(!f->prompter.prompts.isEmpty());
        QCOMPARE(f->prompter.prompts[0].text, "HTMLﾌｧｲﾙ\n\n" + f->dir.path() + "/web/in\uFFFDdex.html"
                                                  "\n\nが見つかりません。移動または削除した可能性があります。");
        QVERIFY(f->page.navigated.isEmpty());
    }

    void windowsPathNotFoundIsNamedAsTheUrlFileHoldsIt()
    {
        writeText(working("a7url.txt"), "C:\\Pages\\gone.htm\r\n");
        click("a7");
        QCOMPARE(f->prompter.prompts[0].text,
                 QString("HTMLﾌｧｲﾙ\n\nC:\\Pages\\gone.htm\n\nが見つかりません。移動または削除した可能性があります。"));
        QVERIFY(!f->book.isChanged());
    }

    void clickWhileShowingPutsTheSelectionBack()
    {
        // A message box lets the user click while an item is being shown; that click is refused.
        bool clickedInside = false;
        f->prompter.duringPrompt = [&] {
            clickedInside = true;
            f->tree.select(f->tree.item("a2"));
            f->display.showItem(f->tree.item("a2"));
        };
        click("a7");
        QVERIFY(clickedInside);
        QCOMPARE(f->book.shown().key(), QString("a7"));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a7"));
        QVERIFY(!f->display.isShowingItem());
    }
};

QTEST_GUILESS_MAIN(TestItemDisplay)
#include "tst_itemdisplay.moc"
