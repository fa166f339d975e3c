#include "BookSources.h"
#include "SearchIndexer.h"
#include "TestFiles.h"
#include "WorkingFolder.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;
using namespace kobin::search;

// What the search index is given to read of a book.
class TestBookSources : public QObject
{
    Q_OBJECT

private slots:
    void onlyPagesTheViewerShowsAndPagesOfTheirOwnFolderAreRead()
    {
        QTemporaryDir dir;
        const QString work = dir.filePath("work/");
        const QString pages = dir.filePath("pages/");
        writeText(dir.filePath("secret/notes.txt"), "the user's own");
        writeText(dir.filePath("secret/3.html"), "<p>a page elsewhere</p>");
        writeText(pages + "index.html", "<p>page</p>");
        writeText(pages + "4.html", "<p>page reached from it</p>");
        QVERIFY(QFile::link(dir.filePath("secret/3.html"), pages + "3.html"));
        writeText(work + "a2url.txt", QFile::encodeName(dir.filePath("secret/notes.txt")) + "\r\n");
        writeText(work + "a3url.txt", QFile::encodeName(pages + "index.html") + "\r\n");
        writeText(work + "a4url.txt", QFile::encodeName(pages + "gone.html") + "\r\n");
        for (const char *sideText : {"a3-3.rtf", "a3-4.rtf"})
            writeText(work + sideText, "{\\rtf1 side\\par}");

        const std::vector<IndexedItem> items{{"a1", "Book", ItemKind::Book},
                                             {"a2", "Text file", ItemKind::Homepage},
                                             {"a3", "Page", ItemKind::Homepage},
                                             {"a4", "Gone", ItemKind::Homepage}};
        QStringList read;
        for (const Source &source : bookSources(items, WorkingFolder(work), {QString(), dir.path() + u'/'})) {
            if (source.place == Place::Page)
                read << source.key + u' ' + QDir(dir.path()).relativeFilePath(source.path);
        }
        // A page that is not there is still asked for: the index counts it as unreadable.
        QCOMPARE(read, QStringList({"a3 pages/index.html", "a3 pages/4.html", "a4 pages/gone.html"}));
    }

    // The index reads the book on a thread of its own, through its copy of the
    // working folder: what it reads is no look of the book's, and the copy keeps
    // no stamps of its own, neither the book's nor those of what it reads.
    void theIndexsCopyOfTheWorkingFolderLeavesTheBooksStampsAlone()
    {
        QTemporaryDir dir;
        const QString book = dir.filePath("book/");
        const QStringList notes{book + "a1.rtf", book + "a2.rtf"};
        for (const QString &note : notes)
            writeText(note, "{\\rtf1 ours\\par}");
        WorkingFolder working(dir.filePath("work/"));
        QVERIFY(working.startFrom(book));
        QCOMPARE(working.readableTextFile("a1"), notes[0]); // the book shows a1
        SearchIndexer::Book indexed{dir.filePath("index.sqlite"),
                                    {{"a1", "Book", ItemKind::Book}, {"a2", "Text", ItemKind::Text}},
                                    working,
                                    {QString(), dir.path() + u'/'}};
        QCOMPARE(bookSources(indexed.items, indexed.folder, indexed.location).size(), size_t(4));

        for (const QString &note : notes)
            writeText(note, "{\\rtf1 theirs\\par}");
        QCOMPARE(working.bookFolderStamps().firstChanged(notes).value_or(QString()), notes[0]);
        QCOMPARE(working.bookFolderStamps().firstChanged({notes[1]}), std::nullopt);
        QCOMPARE(indexed.folder.bookFolderStamps().firstChanged(notes), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestBookSources)
#include "tst_booksources.moc"
