#include "BookFixture.h"
#include "PageReference.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;

// The page reference dialog's logic, driven as the dialog drives it.
class TestPageReference : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    QString m_web;   // the folder of the pages
    QString m_index; // a2's page

    QString working(const QString &name) const { return f->working(name); }
    // The book's content files as the program reads them, by name.
    QStringList workingFiles() const
    {
        QStringList names = f->book.workingFolder().readableContentFiles().value_or(QStringList());
        names.sort();
        return names;
    }

    PageReference::Services services()
    {
        return {f->book, f->display, f->prompter, f->dialogs, f->settings};
    }

    std::unique_ptr<PageReference> open(ReferenceMode mode, const char *key)
    {
        return std::make_unique<PageReference>(services(), mode, *f->tree.item(key));
    }

    // A homepage item just added under the book item, as the add commands leave it.
    std::unique_ptr<PageReference> openForNewItem()
    {
        f->tree.select(f->tree.item("a1"));
        f->book.editor().add(ItemKind::Homepage, Placement::Child);
        return open(ReferenceMode::NewItem, "a4");
    }

    QString page(const QString &name)
    {
        writeText(m_web + name, "<html></html>");
        return m_web + name;
    }

    void setHistory(const QStringList &folders)
    {
        for (int n = 1; n <= folders.size(); ++n)
            f->settings.write(settings::recentFolder(n), folders[n - 1]);
    }

    QStringList storedHistory() const
    {
        QStringList folders;
        for (int n = 1; n <= settings::kRecentFolderCount; ++n)
            folders << f->settings.readString(settings::recentFolder(n));
        return folders;
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Web=a2+htmlfile|a1\\Note=a3+richtxt|a1\\Near=a21+htmlfile|");
        m_web = f->dir.path() + "/web/";
        m_index = page("index.html");
        writeText(working("a1.rtf"), "book note");
        writeText(working("a3.rtf"), "note");
        writeText(working("a2url.txt"), QFile::encodeName(m_index) + "\r\n");
        for (const char *name : {"a2index.rtf", "a2index.txt", "a2indexside.txt", "a2other.rtf", "a21.rtf",
                                 "a21url.txt", "a21index.rtf"})
            writeText(working(name), QByteArray("file ") + name);
        f->tree.select(f->tree.item("a1"));
        f->book.shown().setKey("a1");
        f->note.text = "book note";
    }

    void changingThePageReplacesEveryFileOfTheItemOnly()
    {
        f->click("a2");
        f->note.text = "typed beside the old page";
        auto reference = open(ReferenceMode::Change, "a2");
        QCOMPARE(reference->initialName(), QString("Web"));
        QCOMPARE(reference->initialPage(), m_index);
        QCOMPARE(reference->historyText(), m_web);
        const QString next = page("ページ/next.html");
        f->prompter.answers = {PromptAnswer::Ok};
        QVERIFY(reference->accept("Web", next));

        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].buttons, PromptButtons::OkCancel);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Information);
        QCOMPARE(f->prompter.prompts[0].title, QString("ご注意"));
        QCOMPARE(f->prompter.prompts[0].text,
                 QString("参照先を変更すると、テキスト（リンク先も全て）も削除されます。\n\nよろしいですか？"));
        QCOMPARE(workingFiles(), QStringList({"a1.rtf", "a21.rtf", "a21index.rtf", "a21url.txt", "a2url.txt", "a3.rtf"}));
        // The page path and CR LF, in code page 932.
        QCOMPARE(readText(working("a2url.txt")),
                 QFile::encodeName(m_web) + "\x83\x79\x81\x5b\x83\x57/next.html\r\n");
        QCOMPARE(f->book.shown().pagePath(), next);
        QCOMPARE(f->book.shown().browserAddress(), next);
        QCOMPARE(f->book.shown().pageTextName(), QString("a2next"));
        QVERIFY(f->note.text.isEmpty());
        QCOMPARE(f->page.navigated.last(), next);
        QCOMPARE(reference->change().key, QString("a2"));
        QVERIFY(reference->change().asideBatch != 0);
    }

    void changeCancelledAtTheWarningOrTheButtonChangesNothing()
    {
        f->click("a2");
        f->note.text = "typed beside the old page";
        const QStringList before = workingFiles();
        auto reference = open(ReferenceMode::Change, "a2");
        reference->nameTyped("");
        reference->nameTyped("Renamed|");
        QCOMPARE(f->tree.item("a2")->text(), QString("Renamed｜")); // the tree string's delimiter, made storable
        f->prompter.answers = {PromptAnswer::Cancel};
        QVERIFY(!reference->accept("Renamed|", page("next.html")));
        QCOMPARE(f->prompter.prompts.size(), 1); // no further check after the warning was cancelled
        QCOMPARE(workingFiles(), before);
        QCOMPARE(f->note.text, QString("typed beside the old page"));
        QCOMPARE(f->book.shown().pagePath(), m_index);
        QVERIFY(!f->book.isChanged());
        reference->cancel();
        QCOMPARE(f->tree.item("a2")->text(), QString("Web"));
    }

    void okChecksNameThenWarningThenPageAndStaysOpen()
    {
        auto reference = openForNewItem();
        QVERIFY(!reference->accept("", ""));
        QVERIFY(!reference->accept("  ", "")); // blanks make a name
        QVERIFY(!reference->accept("  ", m_web + "typed by hand.html"));
        QVERIFY(!reference->accept("  ", m_web)); // a folder is no page file
        QCOMPARE(f->prompter.prompts.size(), 4);
        for (const FakePrompter::Prompt &prompt : f->prompter.prompts) {
            QCOMPARE(prompt.icon, PromptIcon::Exclamation);
            QCOMPARE(prompt.buttons, PromptButtons::Ok);
        }
        QCOMPARE(f->prompter.prompts[0].title, QString("注意"));
        QCOMPARE(f->prompter.prompts[0].text, QString("名前が入っていません"));
        QCOMPARE(f->prompter.prompts[1].title, QString("注意"));
        QCOMPARE(f->prompter.prompts[1].text, QString("ﾌｧｲﾙが選択されていません。"));
        QCOMPARE(f->prompter.prompts[2].title, QString("ﾌｧｲﾙが見つかりません"));
        QCOMPARE(f->prompter.prompts[2].text, m_web + "typed by hand.html が見つかりません");
        QCOMPARE(f->prompter.prompts[3].text, m_web + " が見つかりません");
        QVERIFY(!QFile::exists(working("a4url.txt")));
        QCOMPARE(f->book.shown().key(), QString("a1"));
        QVERIFY(!f->book.isChanged());

        // In change mode the warning comes between the name and the page.
        f->prompter.prompts.clear();
        auto change = open(ReferenceMode::Change, "a2");
        QVERIFY(!change->accept("", m_index));
        f->prompter.answers = {PromptAnswer::Ok};
        QVERIFY(!change->accept("Web", ""));
        QCOMPARE(f->prompter.prompts.size(), 3);
        QCOMPARE(f->prompter.prompts[0].text, QString("名前が入っていません"));
        QCOMPARE(f->prompter.prompts[1].title, QString("ご注意"));
        QCOMPARE(f->prompter.prompts[2].text, QString("ﾌｧｲﾙが選択されていません。"));
        QVERIFY(QFile::exists(working("a2index.rtf")));
    }

    void okOnANewItemKeepsTheShownTextAndShowsAnEmptySideText()
    {
        f->click("a3");
        f->note.text = "typed into the note";
        f->book.markChanged();
        auto reference = openForNewItem();
        reference->nameTyped("Pa");
        QCOMPARE(f->tree.item("a4")->text(), QString("Pa"));
        const QString old = page("index.old.html");
        QVERIFY(reference->accept("  ", old));
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(readText(working("a3.rtf")), QByteArray("typed into the note"));
        QCOMPARE(f->tree.item("a4")->text(), QString("  "));
        QCOMPARE(readText(working("a4url.txt")), QFile::encodeName(old) + "\r\n");
        QCOMPARE(f->book.shown().key(), QString("a4"));
        QCOMPARE(f->book.shown().pageTextName(), QString("a4index")); // cut before the first "."
        QVERIFY(f->note.text.isEmpty());
        QVERIFY(!f->book.isLoading());
        QCOMPARE(f->arrangement.stacked, 2500.0f); // half the content's height and width
        QCOMPARE(f->arrangement.side, 4500.0f);
        QVERIFY(f->arrangement.layouts > 0);
        QVERIFY(f->homepageCommandsShown());
        QVERIFY(f->page.shown);
        QCOMPARE(f->page.navigated, QStringList({old}));
        QCOMPARE(f->book.caption(), "BOOK - " + f->book.bookPath() + " （更新）"); // marked once
        QCOMPARE(reference->change().asideBatch, 0);
    }

    void aPageWithoutExtensionNamesItsSideTextWhole()
    {
        auto reference = openForNewItem();
        QVERIFY(reference->accept("Plain", page("README")));
        QCOMPARE(f->book.shown().pageTextName(), QString("a4README"));
    }

    void aShownTextThatCannotBeKeptKeepsTheDialogOpen()
    {
        f->click("a3");
        f->note.text = "typed into the note";
        QFile::remove(working("a3.rtf"));
        QDir().mkpath(working("a3.rtf")); // a folder where the note goes: it cannot be written
        auto reference = openForNewItem();
        reference->nameTyped("Page");
        QVERIFY(!reference->accept("Page", m_index));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(f->note.text, QString("typed into the note"));
        QCOMPARE(f->book.shown().key(), QString("a3"));
        QVERIFY(!QFile::exists(working("a4url.txt")));
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->tree.item("a4")->text(), QString("Page"));
    }

    void aUrlFileThatCannotBeWrittenLeavesTheOldPage()
    {
        // No url file to read, but the side texts of a page: a folder in the url file's place.
        QFile::remove(working("a2url.txt"));
        QDir().mkpath(working("a2url.txt"));
        f->tree.select(f->tree.item("a2"));
        auto reference = open(ReferenceMode::Change, "a2");
        QCOMPARE(reference->initialPage(), QString());
        QCOMPARE(reference->historyText(), QString());
        const QStringList before = workingFiles();
        f->prompter.answers = {PromptAnswer::Ok};
        QVERIFY(!reference->accept("Web", page("next.html")));
        QCOMPARE(f->prompter.prompts.last().title, QString("保存できません"));
        QVERIFY(f->prompter.prompts.last().text.contains("a2url.txt"));
        QCOMPARE(workingFiles(), before);
        QCOMPARE(readText(working("a2index.rtf")), QByteArray("file a2index.rtf"));
        QCOMPARE(f->book.shown().key(), QString("a1"));
        QCOMPARE(f->note.text, QString("book note"));
    }

    void theReferenceButtonStartsInTheProgramFolderWithoutHistory()
    {
        auto reference = openForNewItem();
        QVERIFY(reference->history().isEmpty());
        QVERIFY(reference->historyText().isEmpty());
        f->dialogs.answers = {""}; // cancelled: nothing changes
        QVERIFY(!reference->choosePage(""));
        QVERIFY(!f->settings.contains(settings::recentFolder(1)));

        f->dialogs.answers = {m_index};
        QCOMPARE(reference->choosePage("").value_or("cancelled"), m_index);
        QCOMPARE(f->dialogs.requests.size(), 2);
        const FileDialogRequest &request = f->dialogs.requests[1];
        QCOMPARE(request.title, QString("HTMLファイル選択"));
        QCOMPARE(request.filter, QString("HTMLﾌｧｲﾙ (*.htm *.html);;すべてのﾌｧｲﾙ (*.*)"));
        QCOMPARE(request.initialFolder, f->app());
        QVERIFY(request.proposedName.isEmpty());
        QCOMPARE(f->settings.readString(settings::recentFolder(1)), m_web);
        QStringList shown(10, QString());
        shown[0] = m_web;
        QCOMPARE(reference->history(), shown);
        QCOMPARE(reference->historyText(), m_web);

        // The history box's text, typed or chosen, is where the next dialog starts.
        f->dialogs.answers = {""};
        reference->choosePage("/typed/folder/");
        QCOMPARE(f->dialogs.requests.last().initialFolder, QString("/typed/folder/"));
    }

    void anEleventhFolderDropsTheTenth()
    {
        setHistory({"/f1/", "", "/f3/", "/f4/", "/f5/", "/f6/", "/f7/", "/f8/", "/f9/", "/f10/"});
        auto reference = openForNewItem();
        f->dialogs.answers = {m_index};
        reference->choosePage("");
        QCOMPARE(storedHistory(),
                 QStringList({m_web, "/f1/", "", "/f3/", "/f4/", "/f5/", "/f6/", "/f7/", "/f8/", "/f9/"}));
        QCOMPARE(reference->history(), storedHistory());
        QCOMPARE(reference->historyText(), m_web);
    }

    void aFolderAlreadyKnownLeavesTheHistoryAsItIs()
    {
        const QStringList folders = {"/f1/", "/f2/", "/f3/", m_web, "/f5/"};
        setHistory(folders);
        auto reference = openForNewItem();
        f->dialogs.answers = {m_index};
        QCOMPARE(reference->choosePage(m_web).value_or("cancelled"), m_index);
        QCOMPARE(storedHistory().mid(0, 6), folders + QStringList({""}));
        QCOMPARE(reference->historyText(), QString("/f1/")); // the newest entry, not the folder chosen
        // The comparison is exact: a folder differing in case is another folder.
        f->dialogs.answers = {m_web.toUpper() + "INDEX.HTML"};
        reference->choosePage("");
        QCOMPARE(f->settings.readString(settings::recentFolder(1)), m_web.toUpper());
    }

    void theHistoryOpensOnItsSecondEntryForANewItem()
    {
        f->settings.write(settings::recentFolder(2), "/only-second/"); // without a first entry there is no list
        auto empty = openForNewItem();
        QVERIFY(empty->history().isEmpty());
        QVERIFY(empty->historyText().isEmpty());
        setHistory({"/f1/", "/f2/"});
        auto reference = open(ReferenceMode::NewItem, "a4");
        QCOMPARE(reference->history().size(), 10);
        QCOMPARE(reference->historyText(), QString("/f2/"));
        QCOMPARE(open(ReferenceMode::Change, "a2")->historyText(), m_web);
    }
};

QTEST_GUILESS_MAIN(TestPageReference)
#include "tst_pagereference.moc"
