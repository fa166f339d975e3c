#include "Book.h"

#include <QSignalSpy>
#include <QtTest>
#include <stdexcept>

using namespace kobin;

class TestBook : public QObject
{
    Q_OBJECT

private slots:
    void captionCarriesTheChangedMarkOnce()
    {
        Book book("/prog/");
        QSignalSpy captions(&book, &Book::captionChanged);
        QSignalSpy changes(&book, &Book::changedStateChanged);
        book.setOpened("/docs/Report.iis");
        QCOMPARE(book.caption(), QString("BOOK - /docs/Report.iis"));
        book.markChanged();
        book.markChanged();
        QCOMPARE(book.caption(), QString("BOOK - /docs/Report.iis （更新）"));
        QVERIFY(book.isChanged());
        QCOMPARE(captions.size(), 2);
        QCOMPARE(changes.size(), 1);

        book.setBookFile("/docs/Report.iis", "Report");
        book.setSaved();
        QCOMPARE(book.caption(), QString("BOOK - /docs/Report.iis"));
        QVERIFY(!book.isChanged());
        QCOMPARE(changes.last().first().toBool(), false);
    }

    void newBookHoldsOnlyItsBookItem()
    {
        Book book("/prog/");
        book.setBookFile("/docs/old.iis", "old");
        book.shown().setKey("a7");
        book.shown().setPagePath("/docs/old/page.html");
        book.shown().setPageTextName("a7page");
        book.tree().add(nullptr, Relationship::Last, "a1", "Old", "root");
        book.tree().add("a1", Relationship::Child, "a7", "Item", "richtxt");
        book.startNew(true);
        QCOMPARE(book.tree().count(), 1);
        QCOMPARE(book.tree().item("a1")->text(), QString("新規ブック"));
        QCOMPARE(book.tree().selectedItem(), book.tree().item("a1"));
        QCOMPARE(book.shown().key(), QString("a1"));
        QVERIFY(book.shown().pagePath().isEmpty() && book.shown().pageTextName().isEmpty());
        QVERIFY(book.bookPath().isEmpty() && book.bookName().isEmpty());
        QCOMPARE(book.caption(), QString("BOOK - 新規ブック （更新）"));
        book.startNew(false);
        QCOMPARE(book.caption(), QString("BOOK - 新規ブック"));
        QCOMPARE(book.workingFolder().path(), QString("/prog/temp/"));
    }

    void loadingLastsUntilTheOutermostGuardEnds()
    {
        Book book("/prog/");
        {
            const Book::Loading outer(book);
            { const Book::Loading inner(book); }
            QVERIFY(book.isLoading());
            try {
                const Book::Loading failing(book);
                throw std::runtime_error("a step fails");
            } catch (const std::runtime_error &) {
            }
            QVERIFY(book.isLoading());
        }
        QVERIFY(!book.isLoading());
    }
};

QTEST_GUILESS_MAIN(TestBook)
#include "tst_book.moc"
