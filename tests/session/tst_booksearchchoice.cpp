#include "BookFixture.h"
#include "BookSearch.h"
#include "Layout.h"
#include "MatchMarker.h"
#include "PageNavigation.h"
#include "SearchResults.h"

#include <QUrl>
#include <QtTest>

using namespace kobin;

namespace {

class FakeSearchResults : public SearchResults
{
public:
    QString typed;
    std::vector<Row> rows;

    QString query() const override { return typed; }
    search::KanaMatching kana() const override { return search::KanaMatching::Distinct; }
    void open() override {}
    bool isOpen() const override { return true; }
    void showRows(const std::vector<Row> &shown) override { rows = shown; }
    void setFooter(const QString &) override {}
};

class FakeMatchMarker : public MatchMarker
{
public:
    QStringList marks;
    void markInNote(const QString &text) override { marks << "note: " + text; }
    void markInPage(const QString &text) override { marks << "page: " + text; }
    void unmark() override { marks << "none"; }
};

} // namespace

// Choosing a result of the search in the book, over fake panes and a browser that
// loads each page it is asked for. One book, indexed once, serves every case.
class TestBookSearchChoice : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<BookFixture> f;
    FakeSearchResults m_results;
    FakeMatchMarker m_marker;
    std::unique_ptr<BookSearch> m_search;
    std::unique_ptr<PageNavigation> m_navigation;

private slots:
    void initTestCase()
    {
        f = std::make_unique<BookFixture>();
        f->openBook(u"|0\\Book=a1+root|a1\\Web=a2+htmlfile|");
        const QString web = f->dir.path() + "/web/";
        writeText(web + "index.html", "<html><body>index <a href=\"other.htm\">other</a></body></html>");
        writeText(web + "other.htm", "<html><body>a platypus</body></html>");
        writeText(f->working("a1.rtf"), "{\\rtf1\\ansi the book\\par}");
        writeText(f->working("a2url.txt"), QFile::encodeName(web + "index.html") + "\r\n");
        writeText(f->working("a2index.rtf"), "{\\rtf1\\ansi a kangaroo\\par}");
        writeText(f->working("a2other.rtf"), "{\\rtf1\\ansi a wombat\\par}");
        m_search = std::make_unique<BookSearch>(f->book, f->display, BookSearch::Views{m_results, m_marker});
        m_navigation = std::make_unique<PageNavigation>(f->book, f->display, f->page, f->status);
        m_search->open();
        QTRY_VERIFY_WITH_TIMEOUT(!m_search->isIndexing(), 20000);
    }

    void init()
    {
        f->click("a1");
        f->page.navigated.clear();
        m_marker.marks.clear();
    }

    void cleanupTestCase()
    {
        m_navigation.reset();
        m_search.reset();
        f.reset();
    }

    void aResultInAnotherPageOfTheItemOpensThatPage_data()
    {
        QTest::addColumn<QString>("query");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QStringList>("pages");
        QTest::addColumn<QString>("sideText");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<QString>("tab");
        QTest::newRow("side text of its first page")
            << "kangaroo" << "ページのテキスト" << QStringList{"index.html"} << "a2index" << "note: kangaroo"
            << arrangement::UpDown;
        QTest::newRow("side text of another page")
            << "wombat" << "ページのテキスト" << QStringList{"index.html", "other.htm"} << "a2other"
            << "note: wombat" << arrangement::UpDown;
        QTest::newRow("another page") << "platypus" << "ページ (other.htm)"
                                      << QStringList{"index.html", "other.htm"} << "a2other" << "page: platypus"
                                      << arrangement::Html;
    }

    void aResultInAnotherPageOfTheItemOpensThatPage()
    {
        QFETCH(QString, query);
        QFETCH(QString, place);
        QFETCH(QStringList, pages);
        QFETCH(QString, sideText);
        QFETCH(QString, mark);
        QFETCH(QString, tab);
        m_results.typed = query;
        m_search->runQuery();
        QCOMPARE(m_results.rows.size(), size_t(1));
        QCOMPARE(m_results.rows[0].place, place);

        m_search->choose(0);
        // The browser opens each page asked for, and says when it has loaded.
        for (qsizetype loaded = 0; loaded < f->page.navigated.size(); ++loaded) {
            m_navigation->navigationStarting(QUrl::fromLocalFile(f->page.navigated[loaded]).toString());
            m_navigation->pageLoaded();
            m_search->pageLoaded();
        }
        QStringList opened;
        for (const QString &page : std::as_const(pages))
            opened << f->dir.path() + "/web/" + page;
        QCOMPARE(f->page.navigated, opened);
        QCOMPARE(f->book.shown().pageTextName(), sideText);
        QCOMPARE(f->note.text, QString::fromUtf8(readText(f->working(sideText + ".rtf"))));
        QCOMPARE(m_marker.marks, QStringList{mark});
        QCOMPARE(f->commandState.selectedTab(), tab);
    }
};

QTEST_MAIN(TestBookSearchChoice)
#include "tst_booksearchchoice.moc"
