#include "BookExport.h"
#include "BookFixture.h"
#include "WindowsBook.h"

#include <QDir>
#include <QtTest>

using namespace kobin;

// The File menu's export of the open book: the folder named, asked about, written.
class TestBookExport : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    QList<int> m_totals;
    QString site() const { return f->dir.path() + "/site"; }

    HtmlExport::Outcome run()
    {
        return BookExport({f->book, f->display, f->prompter, f->dialogs})
            .run([this](const auto &write, int total) {
                m_totals << total;
                return write([](int, int) { return true; });
            });
    }

private slots:
    void init()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Text=a2+richtxt|a1\\Web=a3+htmlfile|");
        writeText(f->working("a2.rtf"), windowsbook::note("stored text"));
        writeText(f->dir.path() + "/web/page.html", "<html><body>page</body></html>");
        writeText(f->working("a3url.txt"), QFile::encodeName(f->dir.path() + "/web/page.html") + "\r\n");
        f->note.text = QString::fromLatin1(windowsbook::note("typed just now"));
        m_totals.clear();
    }

    void theOpenBookIsWrittenWithTheTextTypedSoFar()
    {
        f->dialogs.answers << site();
        QCOMPARE(run(), HtmlExport::Outcome::Written);
        QCOMPARE(f->dialogs.requests.size(), 1);
        QCOMPARE(f->dialogs.requests[0].proposedName, QString("book-html"));
        QCOMPARE(m_totals, QList<int>({3}));
        QVERIFY(QString::fromUtf8(readText(site() + "/items/a1.html")).contains("typed just now"));
        QVERIFY(QString::fromUtf8(readText(site() + "/items/a2.html")).contains("stored text"));
        QCOMPARE(readText(site() + "/pages/a3/page.html"), QByteArray("<html><body>page</body></html>"));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(site())
                                                  + " 」\n\nに書き出しました。index.html をブラウザで開いてご覧ください。");
        QVERIFY(!f->book.isChanged());
    }

    void aPageLeftOutIsToldWithTheResult()
    {
        writeText(f->dir.path() + "/web/notes.txt", "no page");
        writeText(f->working("a3url.txt"), QFile::encodeName(f->dir.path() + "/web/notes.txt") + "\r\n");
        f->dialogs.answers << site();
        QCOMPARE(run(), HtmlExport::Outcome::Written);
        QVERIFY(!QFile::exists(site() + "/pages"));
        QCOMPARE(f->prompter.prompts.size(), 1);
        QCOMPARE(f->prompter.prompts[0].icon, PromptIcon::Exclamation);
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(site())
                                                  + " 」\n\nに書き出しました。index.html をブラウザで開いてご覧ください。\n\n"
                                                    "ページとして表示できないファイルを指す 1 個の項目のページは書き出していません"
                                                    "（kobin-cli check で一覧できます）。");
    }

    void onlyAnEarlierExportIsReplacedAndOnlyWhenTheUserAgrees()
    {
        writeText(site() + "/letter.txt", "the user's own");
        f->dialogs.answers << site();
        QCOMPARE(run(), HtmlExport::Outcome::Cancelled);
        QCOMPARE(f->prompter.prompts[0].text, "「 " + QDir::toNativeSeparators(site())
                                                  + " 」\n\nは空ではありません。空のフォルダか、まだないフォルダを指定してください。");
        QCOMPARE(readText(site() + "/letter.txt"), QByteArray("the user's own"));
        QVERIFY(m_totals.isEmpty());

        QVERIFY(QFile::remove(site() + "/letter.txt"));
        writeText(site() + "/index.html", "an earlier export");
        f->prompter.prompts.clear();
        f->prompter.answers = {PromptAnswer::No};
        f->dialogs.answers << site();
        QCOMPARE(run(), HtmlExport::Outcome::Cancelled);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(site()) + " 」\n\nには以前に書き出したものがあります。\n\n置き換えますか？");
        QCOMPARE(readText(site() + "/index.html"), QByteArray("an earlier export"));

        f->prompter.answers = {PromptAnswer::Yes};
        f->dialogs.answers << site();
        QCOMPARE(run(), HtmlExport::Outcome::Written);
        QVERIFY(readText(site() + "/index.html").startsWith("<!DOCTYPE html>"));
    }

    void cancelledDialogWritesNothingAndAFailureIsReported()
    {
        QCOMPARE(run(), HtmlExport::Outcome::Cancelled); // no answer: the dialog is cancelled
        QVERIFY(f->prompter.prompts.isEmpty());

        f->dialogs.answers << f->dir.path() + "/no/such/parent/site";
        QCOMPARE(run(), HtmlExport::Outcome::Failed);
        QCOMPARE(f->prompter.prompts[0].text,
                 "「 " + QDir::toNativeSeparators(f->dir.path() + "/no/such/parent/site")
                     + " 」\n\nに書き出せませんでした。書き出しかけたものは残していません。");
        QVERIFY(!QFile::exists(f->dir.path() + "/no"));
    }
};

QTEST_GUILESS_MAIN(TestBookExport)
#include "tst_bookexport.moc"
