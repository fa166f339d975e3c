#include "BookSession.h"
#include "FakeBookView.h"
#include "FakePrompter.h"
#include "TestFiles.h"
#include "ItemDisplay.h"
#include "ItemTree.h"
#include "PageNames.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestItemDisplay : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    BookSession m_session;
    ItemTree m_tree;
    FakeBookView m_view;
    FakePrompter m_prompter;
    std::unique_ptr<ItemDisplay> m_display;
    QString m_page;

    QString working(const QString &name) const { return m_session.workingFolder() + name; }

    void click(const char *key)
    {
        TreeItem *item = m_tree.item(key);
        m_tree.select(item);
        m_display->showItem(item);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_session = BookSession();
        m_session.appPath = m_dir->path() + "/";
        m_session.bookName = "book";
        m_session.bookPath = m_dir->path() + "/book.iis";
        QDir().mkpath(m_session.workingFolder());
        m_tree.clear();
        treestring::buildTree(m_tree, u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\Text=a3+richtxt|"
                                      u"a1\\Web=a5+htmlfile|a1\\Lost=a6+htmlfile|a1\\Gone=a7+htmlfile|");
        m_tree.select(m_tree.item("a1"));
        m_view = FakeBookView();
        m_prompter = FakePrompter();
        m_display = std::make_unique<ItemDisplay>(m_session, m_tree, m_view, m_prompter);
        m_page = m_dir->path() + "/web/index.html";
        QDir().mkpath(m_dir->path() + "/web");
        writeText(m_page, "<html>index</html>");
        writeText(working("a1.rtf"), "book note");
        writeText(working("a2.rtf"), "folder note");
        writeText(working("a5url.txt"), QFile::encodeName(m_page) + "\r\n");
        writeText(working("a5index.rtf"), "index side text");
        writeText(working("a5index.txt"), "1500\r\n");
        writeText(working("a7url.txt"), QFile::encodeName(m_dir->path() + "/web/deleted.html") + "\r\n");
        m_view.text = "book note";
    }

    void clickingTheShownItemDoesNothing()
    {
        m_view.text = "typed";
        click("a1");
        QCOMPARE(readText(working("a1.rtf")), QByteArray("book note"));
        QVERIFY(m_view.status.isEmpty());
    }

    void switchingStoresTheShownTextAndLoadsTheNext()
    {
        m_view.text = "book note, edited";
        click("a2");
        QCOMPARE(readText(working("a1.rtf")), QByteArray("book note, edited"));
        QCOMPARE(m_view.text, QString("folder note"));
        QCOMPARE(m_session.currentKey, QString("a2"));
        QCOMPARE(m_view.status, QString("Folder"));
        QCOMPARE(m_view.kinds, QStringList({"f"}));
        QVERIFY(!m_session.loading);
        click("a1");
        QCOMPARE(m_view.kinds, QStringList({"f", "root"}));
    }

    void missingNoteIsReportedAndStoredEmptyLater()
    {
        click("a3");
        QCOMPARE(m_prompter.prompts.size(), 1);
        QCOMPARE(m_prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(m_prompter.prompts[0].text, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(m_prompter.prompts[0].icon, PromptIcon::None);
        QCOMPARE(m_view.text, QString());
        click("a2");
        QCOMPARE(readText(working("a3.rtf")), QByteArray());
    }

    void homepageItemOpensItsPageWithItsSideText()
    {
        click("a5");
        QVERIFY(m_prompter.prompts.isEmpty());
        QCOMPARE(m_session.pagePath, m_page);
        QCOMPARE(m_session.pageTextName, QString("a5index"));
        QCOMPARE(m_view.text, QString("index side text"));
        QCOMPARE(m_view.stacked, 1500.0f);
        QCOMPARE(m_view.side, 4500.0f); // no side file: half the content width
        QCOMPARE(m_view.kinds, QStringList({"html"}));
        QVERIFY(m_view.browserShown);
        QCOMPARE(m_view.navigated, QStringList({m_page}));
    }

    void followingLinksSwitchesTheSideTextPageByPage()
    {
        click("a5");
        m_display->switchPageText(QUrl::fromLocalFile(m_page).toString());
        QVERIFY(!m_view.backEnabled);
        QVERIFY(!m_view.treeEnabled);
        QVERIFY(m_view.pageTimerStarted);
        QCOMPARE(m_view.text, QString("index side text"));

        m_view.text = "index side text, edited";
        m_view.stacked = 2222;
        const QString other = m_dir->path() + "/web/other.htm";
        m_display->switchPageText(QUrl::fromLocalFile(other).toString());
        QVERIFY(m_view.backEnabled);
        QCOMPARE(readText(working("a5index.rtf")), QByteArray("index side text, edited"));
        QCOMPARE(readText(working("a5index.txt")), QByteArray("2222\r\n"));
        QCOMPARE(m_view.text, QString()); // no a5other.rtf yet
        QCOMPARE(m_session.pageTextName, QString("a5other"));
        QCOMPARE(m_session.currentPagePath, other);

        m_view.text = "notes on the other page";
        m_display->switchPageText(QUrl::fromLocalFile(m_page).toString());
        QCOMPARE(readText(working("a5other.rtf")), QByteArray("notes on the other page"));
        QCOMPARE(m_view.text, QString("index side text, edited"));
        QCOMPARE(m_view.stacked, 2222.0f);

        click("a2");
        QCOMPARE(readText(working("a5index.rtf")), QByteArray("index side text, edited"));
    }

    void mailAddressesLeaveThePageTextAlone()
    {
        click("a5");
        m_display->switchPageText("mailto:someone@example.jp");
        QCOMPARE(m_session.pageTextName, QString("a5index"));
        QCOMPARE(m_view.text, QString("index side text"));
        QVERIFY(m_view.treeEnabled);
    }

    void webAddressesGetSafeStableNames()
    {
        click("a5");
        m_display->switchPageText("https://example.jp/a/b/../../../etc/passwd?x=1");
        const QString name = m_session.pageTextName;
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
        QCOMPARE(m_prompter.prompts.size(), 2); // the url file, then the text it would have
        QCOMPARE(m_prompter.prompts[0].text,
                 QString("HTMLﾌｧｲﾙへのパスを書き込んだファイルが見つかりません。\n\n")
                     + QDir::toNativeSeparators(m_session.appPath + "book/a6url.txt"));
        QVERIFY(m_prompter.prompts[1].text.startsWith("ﾘｯﾁﾃｷｽﾄﾌｧｲﾙ\n\n"));
        QVERIFY(m_prompter.prompts[1].text.contains("a6.rtf"));
        QCOMPARE(m_session.pageTextName, QString("a6"));
        QVERIFY(m_view.changeUrlEnabled);
        QVERIFY(m_view.treeEnabled);
        QCOMPARE(m_view.kinds.last(), QString("f"));
        QVERIFY(!m_display->isShowingItem());
    }

    void homepageWhosePageIsGoneIsReported()
    {
        click("a7");
        QCOMPARE(m_prompter.prompts[0].text, QString("HTMLﾌｧｲﾙ\n\n") + m_dir->path()
                                                  + "/web/deleted.html\n\nが見つかりません。移動または削除した可能性があります。");
        QCOMPARE(m_session.pageTextName, QString("a7deleted"));
        QVERIFY(m_view.navigated.isEmpty());
    }

    void clickWhileShowingPutsTheSelectionBack()
    {
        // Opening a page lets pending events run; a click that arrives then is refused.
        bool clickedInside = false;
        m_view.duringEvents = [&] {
            clickedInside = true;
            m_tree.select(m_tree.item("a2"));
            m_display->showItem(m_tree.item("a2"));
        };
        click("a5");
        QVERIFY(clickedInside);
        QCOMPARE(m_session.currentKey, QString("a5"));
        QCOMPARE(m_tree.selectedItem()->key(), QString("a5"));
        QCOMPARE(m_view.text, QString("index side text"));
        QVERIFY(!m_display->isShowingItem());
    }
};

QTEST_GUILESS_MAIN(TestItemDisplay)
#include "tst_itemdisplay.moc"
