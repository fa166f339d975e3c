#include "BookFixture.h"
#include "Cp932.h"
#include "JapaneseText.h"
#include "PageSourceEditing.h"

#include <QtTest>

using namespace kobin;

namespace {

struct FakeSourceButton : PageSourceButton {
    bool shown = false;
    void setShown(bool visible) override { shown = visible; }
};

} // namespace

class TestPageSourceEditing : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    std::unique_ptr<FakeSourceButton> button;
    std::unique_ptr<PageSourceEditing> editing;
    QString m_page;
    const QByteArray m_source = "<html>\r\n<meta charset=euc-jp>\r\n" + encodedAs("EUC-JP", QStringLiteral("<p>日記</p>")) + "\r\n</html>\r\n";

    // The item's page is open in the pane, with its side text typed since.
    void showPage()
    {
        f->click("a5");
        f->display.switchPageText(QUrl::fromLocalFile(m_page).toString());
        f->note.text = "side text, typed";
    }
    bool isOn() const { return f->commands.isChecked(Command::EditPageSource); }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Text=a2+richtxt|a1\\Web=a5+htmlfile|");
        f->page.commands = &f->commands;
        button = std::make_unique<FakeSourceButton>();
        editing = std::make_unique<PageSourceEditing>(f->book, PageSourceEditing::Views{f->note, *button},
                                                      f->prompter, f->commands);
        editing->bindCommands();
        m_page = f->dir.path() + "/web/index.html";
        QDir().mkpath(f->dir.path() + "/web");
        writeText(m_page, m_source);
        writeText(f->working("a2.rtf"), "text note");
        writeText(f->working("a5url.txt"), QFile::encodeName(m_page) + "\r\n");
        writeText(f->working("a5index.rtf"), "side text");
    }

    void editedSourceIsSavedAndTheSideTextComesBack()
    {
        showPage();
        f->commands.run(Command::EditPageSource);
        QVERIFY(isOn());
        QVERIFY(button->shown);
        QCOMPARE(readText(f->working("a5index.rtf")), QByteArray("side text, typed"));
        QCOMPARE(f->note.text, "<html>\n<meta charset=euc-jp>\n<p>日記</p>\n</html>\n");

        f->note.text.replace("日記", "旅行記");
        QVERIFY(editing->save());
        QCOMPARE(readText(m_page), QByteArray(m_source).replace(encodedAs("EUC-JP", "日記"), encodedAs("EUC-JP", "旅行記")));
        QVERIFY(isOn());
        QVERIFY(!f->book.isChanged()); // the page is the user's own file, not the book's

        f->commands.run(Command::EditPageSource);
        QVERIFY(!isOn());
        QVERIFY(!button->shown);
        QCOMPARE(f->note.text, QString("side text, typed"));
        QVERIFY(f->prompter.prompts.isEmpty());
    }

    void showingAnotherItemDropsTheSourceAndKeepsTheSideText()
    {
        showPage();
        f->commands.run(Command::EditPageSource);
        f->note.text = "edited source, never saved";
        f->click("a2");
        QVERIFY(!isOn());
        QVERIFY(!button->shown);
        QCOMPARE(readText(f->working("a5index.rtf")), QByteArray("side text, typed"));
        QCOMPARE(readText(m_page), m_source);
        QCOMPARE(f->note.text, QString("text note"));
    }

    void aNavigationOrASaveOfTheBookNeverKeepsTheSourceAsSideText()
    {
        showPage();
        f->commands.run(Command::EditPageSource);
        QVERIFY(f->display.storeCurrentItem());
        QVERIFY(!isOn());
        QCOMPARE(readText(f->working("a5index.rtf")), QByteArray("side text, typed"));

        f->commands.run(Command::EditPageSource);
        f->note.text = "edited source";
        f->page.sourceEditingLeft = 0;
        f->bookCommands.save();
        QVERIFY(!isOn());
        QCOMPARE(f->page.sourceEditingLeft, 1);
        QCOMPARE(readText(f->app("book/a5index.rtf")), QByteArray("side text, typed"));

        f->commands.run(Command::EditPageSource);
        f->note.text = "edited source";
        f->display.switchPageText(QUrl::fromLocalFile(f->dir.path() + "/web/next.html").toString());
        QVERIFY(!isOn());
        QCOMPARE(readText(f->working("a5index.rtf")), QByteArray("side text, typed"));
    }

    void aMissingPageIsReportedAndTheSideTextStays()
    {
        showPage();
        QFile::remove(m_page);
        f->commands.run(Command::EditPageSource);
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(f->prompter.prompts[0].text, m_page + "\nが見つかりません。");
        QVERIFY(isOn());
        QVERIFY(!button->shown);
        QCOMPARE(f->note.text, QString("side text, typed"));
        QVERIFY(!editing->save());
        f->commands.run(Command::EditPageSource);
        QVERIFY(!isOn());
        QCOMPARE(f->note.text, QString("side text, typed"));
    }

    void aCharacterThePageCannotHoldIsRefusedAndThePageStays()
    {
        showPage();
        f->commands.run(Command::EditPageSource);
        f->note.text += "😀";
        QVERIFY(!editing->save());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(m_page)
                                                  + " 」\n\nの文字コード EUC-JP では「😀」を表せないため、保存しませんでした。");
        QCOMPARE(readText(m_page), m_source);
    }

    void bytesThatStandForNothingAreNeverSavedOver()
    {
        writeText(m_page, "<meta charset=utf-8>" + QStringLiteral("<p>日記</p>").toUtf8() + QByteArray("\xFF", 1));
        showPage();
        f->commands.run(Command::EditPageSource);
        QVERIFY(!editing->save());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QVERIFY(f->prompter.prompts[0].text.endsWith(
            "には文字コード UTF-8 として読めないバイトがあり、保存するとそのバイトが失われるため、保存しませんでした。"));
    }

    void bytesCodePage932LeavesUndefinedAreSavedBackAsTheyWere()
    {
        const QByteArray source = encodeSystemText(QStringLiteral("<p>日記</p>\r\n")) + QByteArray("\xA0\x85\x40", 3);
        writeText(m_page, source);
        showPage();
        f->commands.run(Command::EditPageSource);
        QVERIFY(editing->save());
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(readText(m_page), source);
    }

    void aFailedWriteIsReportedAndNeverHalfDone()
    {
        showPage();
        f->commands.run(Command::EditPageSource);
        QVERIFY(QDir(f->dir.path() + "/web").removeRecursively());
        QVERIFY(!editing->save());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(m_page) + " 」\n\nを保存できませんでした。");
        QVERIFY(!QFile::exists(m_page));
    }
};

QTEST_GUILESS_MAIN(TestPageSourceEditing)
#include "tst_pagesourceediting.moc"
