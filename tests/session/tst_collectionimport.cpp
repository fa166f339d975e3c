// The File menu's import into the open book: one undoable step, nothing left by a cancel.
#include "BookFixture.h"
#include "CapturedPages.h"
#include "CollectionImport.h"

#include <QtTest>

using namespace kobin;

class FakeReportView : public ImportReportView
{
public:
    QStringList reports;
    void showReport(const QString &, const QString &report) override { reports << report; }
};

class TestCollectionImport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    FakeReportView reports;
    QString source;

    QStringList passwordsAskedFor;
    std::optional<QString> password;

    bool import(const CollectionImport::ProgressShower &shower)
    {
        const import::PasswordAsker ask = [this](const QString &name) {
            passwordsAskedFor.append(name);
            return password;
        };
        return CollectionImport({f->book, f->display, f->treeCommands, f->prompter, f->dialogs, reports, ask}).run(shower);
    }
    // Everything under the program folder but the settings, as relative paths.
    QStringList filesInProgramFolder() const
    {
        QStringList files;
        QDirIterator it(f->app(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << it.next().mid(f->app().size());
        files.sort();
        return files;
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        reports.reports.clear();
        passwordsAskedFor.clear();
        source = f->dir.path() + "/スクラップ";
        writeText(source + "/scrapbook.rdf",
                  "<RDF:RDF xmlns:NS1=\"http://amb.vis.ne.jp/mozilla/scrapbook-rdf#\" "
                  "xmlns:RDF=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
                  "<RDF:Seq RDF:about=\"urn:scrapbook:root\"><RDF:li RDF:resource=\"urn:scrapbook:item1\"/>"
                  "<RDF:li RDF:resource=\"urn:scrapbook:item2\"/></RDF:Seq>"
                  "<RDF:Description RDF:about=\"urn:scrapbook:item1\" NS1:id=\"1\" NS1:type=\"\" NS1:title=\"頁\" NS1:comment=\"メモ\"/>"
                  "<RDF:Description RDF:about=\"urn:scrapbook:item2\" NS1:id=\"2\" NS1:type=\"bookmark\" NS1:title=\"印\" NS1:source=\"http://a.jp/\"/>"
                  "</RDF:RDF>");
        writeText(source + "/data/1/index.html", "<p>本文</p>");
        f->openBook(u"|0\\book=a1+root|a1\\既存=a2+richtxt|");
        f->tree.select(f->tree.item("a2"));
        f->dialogs.answers = {source + "/scrapbook.rdf"};
    }

    void importsAsOneUndoableStep()
    {
        const QStringList before = filesInProgramFolder();
        const bool imported = import([](const auto &run) { return run({}); });
        QVERIFY(imported);
        QCOMPARE(f->tree.item("a3")->text(), QStringLiteral("スクラップ"));
        QCOMPARE(f->tree.item("a3")->parent()->key(), QStringLiteral("a2"));
        QCOMPARE(f->tree.item("a4")->text(), QStringLiteral("頁"));
        QCOMPARE(f->tree.item("a5")->text(), QStringLiteral("印"));
        const QString page = f->book.workingFolder().pageSettings().pagePath("a4").value_or("<none>");
        QVERIFY2(page.startsWith(CapturedPages::folderOf(f->book.bookFolder())), qPrintable(page));
        QCOMPARE(readText(page), QByteArray("<p>本文</p>"));
        QVERIFY(f->book.newCaptures().folders().contains(CapturedPages::captureFolderOf(page, f->book.bookFolder())));
        QVERIFY(QFileInfo::exists(f->working("a4index.rtf")));
        QVERIFY(QFileInfo::exists(f->working("a5.rtf")));
        // The folder made for it is shown with its note, which tells where it came from.
        QVERIFY(f->prompter.prompts.isEmpty());
        QVERIFY(readText(f->working("a3.rtf")).contains("\\'8e\\'e6\\'82\\'e8\\'8d\\'9e\\'82\\'dd"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(reports.reports.size(), 1);
        QVERIFY2(reports.reports[0].contains("取り込んだ項目: 2 個"), qPrintable(reports.reports[0]));
        // No staging folder is left.
        QCOMPARE(QDir(f->app()).entryList({".importing-*"}, QDir::Dirs | QDir::Hidden), QStringList());

        f->treeCommands.history().undo();
        QVERIFY(!f->tree.item("a3") && !f->tree.item("a4"));
        QVERIFY(!QFileInfo::exists(f->working("a4url.txt")));
        f->treeCommands.history().redo();
        QCOMPARE(f->tree.item("a4")->text(), QStringLiteral("頁"));
        QCOMPARE(f->book.workingFolder().pageSettings().pagePath("a4").value_or("<none>"), page);
        QVERIFY(before != filesInProgramFolder());
    }

    void cancelLeavesNothing()
    {
        const QStringList before = filesInProgramFolder();
        QVERIFY(!import([](const auto &run) { return run([](int, int) { return false; }); }));
        QCOMPARE(f->tree.count(), 2);
        QCOMPARE(filesInProgramFolder(), before);
        QVERIFY(f->prompter.prompts.isEmpty());
        QVERIFY(reports.reports.isEmpty());
        QCOMPARE(f->treeCommands.history().count(), 0);
    }

    // A protected document's password is asked for: no answer ends the import unsaid, a wrong one is told.
    void asksForAPassword()
    {
        writeText(f->dir.path() + "/守秘.ctz", "7z\xBC\xAF\x27\x1C not really");
        f->dialogs.answers = {f->dir.path() + "/守秘.ctz", f->dir.path() + "/守秘.ctz"};
        password.reset();
        QVERIFY(!import([](const auto &run) { return run({}); }));
        QVERIFY(f->prompter.prompts.isEmpty());
        password = "違う";
        QVERIFY(!import([](const auto &run) { return run({}); }));
        QCOMPARE(passwordsAskedFor, QStringList({"守秘", "守秘"}));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QVERIFY2(f->prompter.prompts[0].text.contains("守秘.ctz"), qPrintable(f->prompter.prompts[0].text));
        QCOMPARE(f->tree.count(), 2);
        QCOMPARE(f->treeCommands.history().count(), 0);
    }

    void refusesWhatItCannotImport_data()
    {
        QTest::addColumn<QString>("bookName");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("message");
        QTest::newRow("a book never saved") << "" << "" << "先にブックを保存してください";
        QTest::newRow("no collection") << "book" << "/etc/hostname" << "は取り込める形式ではありません";
    }

    void refusesWhatItCannotImport()
    {
        QFETCH(QString, bookName);
        QFETCH(QString, chosen);
        QFETCH(QString, message);
        if (bookName.isEmpty())
            f->book.startNew(false);
        f->tree.select(f->tree.item("a1"));
        f->dialogs.answers = {chosen};
        QVERIFY(!import([](const auto &run) { return run({}); }));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QVERIFY2(f->prompter.prompts[0].text.contains(message), qPrintable(f->prompter.prompts[0].text));
        QCOMPARE(f->treeCommands.history().count(), 0);
    }
};

QTEST_MAIN(TestCollectionImport)
#include "tst_collectionimport.moc"
