#include "BookFixture.h"
#include "CapturedPages.h"
#include "PageCapture.h"

#include <QDir>
#include <QFile>
#include <QtTest>

using namespace kobin;
using capture::Format;
using capture::Outcome;
using capture::Progress;

// Captures from a script: start writes a small page into the folder and waits;
// the test then reports progress and ends the capture. A cancel ends it at once.
class FakeCapturer : public capture::PageCapturer
{
public:
    QList<QUrl> urls;
    QList<Format> formats;
    QString folder;
    ProgressCall progress;
    DoneCall done;
    int cancels = 0;
    bool endsDespiteCancel = false; // its ending was on its way when the cancel came

    void start(const QUrl &url, const QString &into, Format format, ProgressCall onProgress, DoneCall onDone) override
    {
        urls << url;
        formats << format;
        folder = into;
        progress = std::move(onProgress);
        done = std::move(onDone);
        writeText(folder + "index.html", "<html><title>T</title></html>");
        writeText(folder + "index_files/a.png", "png");
    }
    void cancel() override
    {
        ++cancels;
        if (isBusy() && !endsDespiteCancel) {
            QDir(folder).removeRecursively();
            QDir().mkpath(folder); // left as it was found: there and empty
            finish({Outcome::Result::Cancelled, {}, {}, {}});
        }
    }
    bool isBusy() const override { return done != nullptr; }

    void finish(const Outcome &outcome) { std::exchange(done, nullptr)(outcome); }
    void succeed(const QString &title) { finish({Outcome::Result::Captured, {}, folder + "index.html", title}); }
};

// Answers the capture dialog: each choice is tried with OK in turn; when they run out, the dialog is cancelled.
class FakeCaptureAsker : public CaptureAsker
{
public:
    QList<CaptureChoice> choices;
    QList<CaptureChoice> starts;
    QList<bool> besideOffered;

    std::optional<CaptureChoice> askCapture(const CaptureChoice &start, bool offered,
                                            const std::function<bool(const CaptureChoice &)> &acceptable) override
    {
        starts << start;
        besideOffered << offered;
        while (!choices.isEmpty()) {
            const CaptureChoice choice = choices.takeFirst();
            if (acceptable(choice))
                return choice;
        }
        return std::nullopt;
    }
};

class TestPageCapture : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    FakeCapturer capturer;
    FakeCaptureAsker asker;
    QString clipboard;
    QStringList imported; // pages the importer was asked to copy
    std::unique_ptr<PageCapture> capture;

    QString pages() const { return CapturedPages::folderOf(f->book.bookFolder()); }
    // Everything in the pages folder, hidden folders too.
    QStringList pagesHeld() const
    {
        return QDir(pages()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    }
    void select(const char *key) { f->tree.select(f->tree.item(key)); }
    CaptureChoice choice(const QString &address, const QString &name = {}, Placement placement = Placement::Child)
    {
        return {address, name, placement, Format::CompletePage};
    }
    void expectNothingChanged(const QString &shapeBefore)
    {
        QCOMPARE(treestring::fromTree(f->tree), shapeBefore);
        QVERIFY(!f->book.isChanged());
        QCOMPARE(f->treeCommands.history().count(), 0);
        QCOMPARE(pagesHeld(), QStringList());
        QVERIFY(!capture->isBusy());
        QVERIFY(f->commands.isEnabled(Command::CaptureHomepage, Surface::Menu));
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Folder=a2+fclose|a2\\First=a3+richtxt|a2\\Second=a4+richtxt|");
        select("a1");
        f->book.shown().setKey("a1");
        capturer = FakeCapturer();
        asker = FakeCaptureAsker();
        clipboard.clear();
        imported.clear();
        capture = std::make_unique<PageCapture>(PageCapture::Services{
            f->book, f->display, f->treeCommands, f->prompter, asker, capturer,
            [this](const QString &page, const QString &folder, QString *failed) -> std::optional<QString> {
                imported << page;
                if (!QFile::copy(page, folder + "copy.html")) {
                    *failed = page;
                    return std::nullopt;
                }
                return folder + "copy.html";
            },
            [this] { return clipboard; }});
        capture->bindCommands(f->commands);
    }
    void cleanup() { capture.reset(); }

    void theDialogsChoicesPlaceAndNameTheItem_data()
    {
        QTest::addColumn<QString>("selected");
        QTest::addColumn<QString>("clipboardText");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("placement");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("startAddress");
        QTest::addColumn<bool>("besideOffered");
        QTest::addColumn<QString>("parent");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("caption");
        const int child = int(Placement::Child);
        const int beside = int(Placement::Beside);
        QTest::newRow("child, named") << "a2" << "" << "Mine" << child << "Title" << "" << true << "a2" << 2 << "Mine";
        QTest::newRow("beside, the title") << "a3" << "https://example.com/x" << " " << beside << "Page Title"
                                           << "https://example.com/x" << true << "a2" << 1 << "Page Title";
        QTest::newRow("no title: host and path") << "a1" << "two words" << "" << child << ""
                                                 << "" << false << "a1" << 1 << "example.com/docs/a.html";
        QTest::newRow("a storable name") << "a4" << "" << "A|B" << child << "T" << "" << true << "a4" << 0 << "A｜B";
    }
    void theDialogsChoicesPlaceAndNameTheItem()
    {
        QFETCH(QString, selected);
        QFETCH(QString, clipboardText);
        QFETCH(QString, name);
        QFETCH(int, placement);
        QFETCH(QString, title);
        QFETCH(QString, startAddress);
        QFETCH(bool, besideOffered);
        QFETCH(QString, parent);
        QFETCH(int, row);
        QFETCH(QString, caption);
        select(qPrintable(selected));
        clipboard = clipboardText;
        asker.choices = {choice("ftp://example.com/"), choice("https://example.com/docs/a.html", name,
                                                              static_cast<Placement>(placement))};
        asker.choices[1].format = Format::SingleFile;
        f->commands.run(Command::CaptureHomepage);
        QCOMPARE(asker.starts.size(), 1);
        QCOMPARE(asker.starts[0].address, startAddress);
        QCOMPARE(asker.besideOffered, QList<bool>({besideOffered}));
        QCOMPARE(f->prompter.prompts.size(), 1); // the ftp: address, refused while the dialog stays
        QCOMPARE(capturer.urls, QList<QUrl>({QUrl("https://example.com/docs/a.html")}));
        QCOMPARE(capturer.formats, QList<Format>({Format::SingleFile}));
        QVERIFY(capture->isBusy());
        QVERIFY(!f->commands.isEnabled(Command::CaptureHomepage, Surface::Menu));
        QVERIFY(capturer.folder.startsWith(pages() + "."));

        capturer.succeed(title);
        QVERIFY(!capture->isBusy());
        QVERIFY(f->commands.isEnabled(Command::CaptureHomepage, Surface::Menu));
        const TreeItem *added = f->tree.item("a5");
        QVERIFY(added);
        QCOMPARE(added->text(), caption);
        QCOMPARE(added->image(), QString("htmlfile"));
        QCOMPARE(added->parent()->key(), parent);
        QCOMPARE(added->row(), row);
        QCOMPARE(f->tree.selectedItem(), added);
        QCOMPARE(f->book.shown().key(), QString("a5"));
        QVERIFY(f->book.isChanged());
        QCOMPARE(f->treeCommands.history().count(), 1);
        // The page lies in a folder of its own among the book's pages, and the url file names it.
        const QStringList held = pagesHeld();
        QCOMPARE(held.size(), 1);
        QVERIFY(!held[0].startsWith('.'));
        const QString page = pages() + held[0] + "/index.html";
        QVERIFY(QFile::exists(pages() + held[0] + "/index_files/a.png"));
        QCOMPARE(f->book.workingFolder().pageSettings().pagePath("a5"), page);
        QCOMPARE(f->book.newCaptures().folders(), QSet<QString>({pages() + held[0] + "/"}));
        QCOMPARE(f->page.navigated, QStringList({page}));
        QVERIFY(!f->status.status.startsWith("ホームページを"));
    }

    void undoTakesTheItemAwayAndRedoBringsItBack()
    {
        select("a2");
        asker.choices = {choice("http://example.com/")};
        capture->captureFromDialog();
        capturer.succeed("Example");
        const QByteArray urlFile = readText(f->working("a5url.txt"));
        f->treeCommands.history().undo();
        QVERIFY(!f->tree.item("a5"));
        QVERIFY(!QFile::exists(f->working("a5url.txt")));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a2"));
        f->treeCommands.history().redo();
        QCOMPARE(f->tree.item("a5")->text(), QString("Example"));
        QCOMPARE(readText(f->working("a5url.txt")), urlFile);
        QCOMPARE(f->book.shown().key(), QString("a5"));
    }

    void progressShowsInTheStatusBar_data()
    {
        QTest::addColumn<int>("stage");
        QTest::addColumn<int>("files");
        QTest::addColumn<QString>("text");
        QTest::newRow("loading, nothing yet") << int(Progress::Stage::Loading) << 0 << "ホームページを読み込んでいます…";
        QTest::newRow("loading") << int(Progress::Stage::Loading) << 12 << "ホームページを読み込んでいます…（12 ファイル）";
        QTest::newRow("loading the first") << int(Progress::Stage::Loading) << 1 << "ホームページを読み込んでいます…（1 ファイル）";
        QTest::newRow("saving") << int(Progress::Stage::Saving) << 3 << "ホームページを保存しています…（3 ファイル）";
    }
    void progressShowsInTheStatusBar()
    {
        QFETCH(int, stage);
        QFETCH(int, files);
        QFETCH(QString, text);
        capture->captureDroppedLink(QUrl("https://example.com/"), "a3");
        QCOMPARE(f->status.status, QString("ホームページを読み込んでいます…"));
        capturer.progress({static_cast<Progress::Stage>(stage), files});
        QCOMPARE(f->status.status, text);
    }

    void aFailureIsToldAndChangesNothing()
    {
        const QString shape = treestring::fromTree(f->tree);
        capture->captureDroppedLink(QUrl("https://example.com/missing"), "a2");
        capturer.progress({Progress::Stage::Loading, 2});
        capturer.finish({Outcome::Result::Failed, "「 https://example.com/missing 」を取り込めません（404）", {}, {}});
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].title, QString("ホームページ取り込み"));
        QCOMPARE(f->prompter.prompts[0].text, QString("「 https://example.com/missing 」を取り込めません（404）"));
        QCOMPARE(f->status.status, QString());
        expectNothingChanged(shape);
    }

    // Only an http: or https: address naming a host is captured: each other one is
    // refused with its reason while the dialog stays open.
    void addressesOfNoWebPageAreRefused()
    {
        const QString shape = treestring::fromTree(f->tree);
        select("a2");
        const QString notWeb = " 」は取り込めません。取り込めるのは http: か https: で始まるアドレスだけです。";
        const QList<std::pair<QString, QString>> refused = {
            {"http:foo", "「 http:foo" + notWeb},
            {"http://", "「 http://" + notWeb},
            {"https:///path", "「 https:///path" + notWeb},
            {"javascript:alert(1)", "「 javascript:alert(1)" + notWeb},
            {"file:///etc/passwd", "「 file:///etc/passwd 」はこのコンピュータのファイルです。ファイルのページは、ツリーへドロップして追加してください。"},
            {"  ", "取り込むホームページのアドレスを入力してください。"},
        };
        for (const auto &[address, message] : refused)
            asker.choices << choice(address);
        f->commands.run(Command::CaptureHomepage);
        QStringList told;
        for (const FakePrompter::Prompt &prompt : f->prompter.prompts)
            told << prompt.text;
        QStringList expected;
        for (const auto &[address, message] : refused)
            expected << message;
        QCOMPARE(told, expected);
        QCOMPARE(capturer.urls, QList<QUrl>());
        expectNothingChanged(shape);
    }

    // What the page named on this computer and the capture left out is told once the item is there.
    void filesOfThisComputerLeftOutAreTold()
    {
        capture->captureDroppedLink(QUrl("https://example.com/"), "a2");
        capturer.finish({Outcome::Result::Captured, {}, capturer.folder + "index.html", "T", 3});
        QVERIFY(f->tree.item("a5"));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Information);
        QCOMPARE(f->prompter.prompts[0].text, QString("このコンピュータのファイルへの参照 3 件は取り込みませんでした。"));
    }

    void aCaptureThatCannotBePlacedAddsNothing_data()
    {
        QTest::addColumn<QString>("failing");
        QTest::addColumn<QString>("told");
        QTest::newRow("the text shown") << "note" << "ため、保存できません。ほかの項目に分けてください。";
        QTest::newRow("the staged page") << "staging" << "に取り込んだホームページを置けません。";
        QTest::newRow("the url file") << "url file" << "a5url.txt 」\n\nを保存できませんでした。";
    }
    void aCaptureThatCannotBePlacedAddsNothing()
    {
        QFETCH(QString, failing);
        QFETCH(QString, told);
        const QString shape = treestring::fromTree(f->tree);
        select("a2");
        capture->captureDroppedLink(QUrl("https://example.com/"), "a3");
        if (failing == "note") {
            f->note.text = "typed, too long to store";
            f->note.largestNote = 0;
        } else if (failing == "staging") {
            QVERIFY(QDir(capturer.folder).removeRecursively());
        } else {
            QVERIFY(QDir().mkpath(f->working("a5url.txt")));
        }
        capturer.succeed("Example");
        QCOMPARE(f->prompter.prompts.size(), 1);
        QVERIFY(f->prompter.prompts[0].text.endsWith(told));
        QCOMPARE(f->tree.selectedItem()->key(), QString("a2"));
        expectNothingChanged(shape);
    }

    void aBookNeverSavedIsRefused()
    {
        f->book.startNew(false);
        capture->captureDroppedLink(QUrl("https://example.com/"), "a1");
        QVERIFY(capturer.urls.isEmpty());
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text, QString("ホームページを取り込むには、先にブックを保存してください。"));
        QCOMPARE(f->tree.count(), 1);
        f->commands.run(Command::CaptureHomepage); // told before the address is asked for
        QVERIFY(asker.starts.isEmpty());
        QCOMPARE(f->prompter.prompts.size(), 2);
        QCOMPARE(f->prompter.prompts[1].text, f->prompter.prompts[0].text);
    }

    void aCancelledCaptureLeavesNothing()
    {
        const QString shape = treestring::fromTree(f->tree);
        f->status.status = "Book";
        capture->captureDroppedLink(QUrl("https://example.com/"), "a2");
        capture->captureDroppedLink(QUrl("https://example.com/second"), "a2"); // one at a time
        QCOMPARE(capturer.urls.size(), 1);
        capture->cancel();
        QVERIFY(f->prompter.prompts.isEmpty());
        QCOMPARE(f->status.status, QString("Book")); // what it showed before
        expectNothingChanged(shape);
    }

    void aCaptureForAnotherBookIsGivenUp()
    {
        capture->captureDroppedLink(QUrl("https://example.com/"), "a2");
        const QString folder = capturer.folder;
        capturer.endsDespiteCancel = true;
        emit f->book.replaced();
        QCOMPARE(capturer.cancels, 1);
        capturer.succeed("Too late");
        QVERIFY(!capture->isBusy());
        QVERIFY(!QFile::exists(folder));
        QVERIFY(!f->tree.item("a5"));
        QVERIFY(f->prompter.prompts.isEmpty());
    }

    void aDroppedPageFileIsCopiedIntoTheBook()
    {
        const QString page = f->dir.path() + "/saved/Recipes.html";
        writeText(page, "<html></html>");
        capture->addDroppedPage(page, "a3");
        QCOMPARE(imported, QStringList({page}));
        const TreeItem *added = f->tree.item("a5");
        QVERIFY(added);
        QCOMPARE(added->text(), QString("Recipes"));
        QCOMPARE(added->parent()->key(), QString("a3"));
        const QStringList held = pagesHeld();
        QCOMPARE(held.size(), 1);
        QCOMPARE(f->book.workingFolder().pageSettings().pagePath("a5"), pages() + held[0] + "/copy.html");
        QCOMPARE(f->treeCommands.history().count(), 1);

        // A copy that fails is told, and nothing is added.
        const QString shape = treestring::fromTree(f->tree);
        capture->addDroppedPage(f->dir.path() + "/saved/gone.html", "a3");
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(f->dir.path() + "/saved/gone.html") + " 」\n\nを取り込めませんでした。");
        QCOMPARE(treestring::fromTree(f->tree), shape);
        QCOMPARE(pagesHeld(), held);
    }

    void theShownWebPageIsCapturedUnderTheItemShown()
    {
        f->tree.add("a1", Relationship::Child, "a9", "Web", "htmlfile");
        f->book.shown().setKey("a9");
        f->book.shown().setBrowserAddress(f->dir.path() + "/web/index.html");
        capture->offerShownPage();
        QVERIFY(!f->commands.isEnabled(Command::CapturePage, Surface::Menu)); // a saved page
        f->book.shown().setBrowserAddress("https://example.com/linked.html");
        capture->offerShownPage();
        QVERIFY(f->commands.isEnabled(Command::CapturePage, Surface::Menu));
        select("a3"); // selected in the tree, not shown: the item shown takes the page
        f->commands.run(Command::CapturePage);
        QCOMPARE(capturer.urls, QList<QUrl>({QUrl("https://example.com/linked.html")}));
        QVERIFY(!f->commands.isEnabled(Command::CapturePage, Surface::Menu)); // while capturing
        capturer.succeed("Linked");
        QCOMPARE(f->tree.item("a5")->parent()->key(), QString("a9"));
        f->book.shown().setKey("a3");
        f->book.shown().setBrowserAddress("https://example.com/linked.html");
        capture->offerShownPage();
        QVERIFY(!f->commands.isEnabled(Command::CapturePage, Surface::Menu)); // no homepage item shown
    }
};

QTEST_GUILESS_MAIN(TestPageCapture)
#include "tst_pagecapture.moc"
