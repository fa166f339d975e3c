#include "BookSources.h"
#include "ContentText.h"
#include "DamagedIndex.h"
#include "GeneratedBook.h"
#include "SearchIndex.h"
#include "SearchIndexer.h"
#include "TestFiles.h"

#include <QRandomGenerator>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

#include <map>

using namespace kobin;
using namespace kobin::search;

namespace {

const SearchOptions kEverything{KanaMatching::Distinct, 1'000'000};
// Enough for an index of a few pages in each table; the items and texts of the
// default book's first 15, so that every test but the comparison with a scan of
// many texts finds the same items in it.
const GeneratedBook::Shape kSmallBook{15, 5, 7, 40, 200, 1};

QString where(const QString &key, Place place, const QString &page)
{
    return key + u' ' + placeName(place) + u' ' + page;
}

QSet<QString> found(SearchIndex &index, const QString &query, SearchOptions options = kEverything)
{
    QSet<QString> places;
    for (const SearchHit &hit : index.search(query, options).hits)
        places.insert(where(hit.key, hit.place, hit.page));
    return places;
}

QSet<QString> readerFinds(const QString &indexPath, const QString &query)
{
    SearchIndex reader(indexPath, SearchIndex::Role::Reader);
    return found(reader, query);
}

// Each source's place and its text as read by itself, without the index.
using SourceTexts = std::vector<std::pair<QString, QString>>;
SourceTexts readAll(const std::vector<Source> &sources)
{
    SourceTexts texts;
    for (const Source &source : sources) {
        std::optional<QString> text = source.text;
        if (source.place == Place::Note || source.place == Place::SideText)
            text = noteFileText(source.path);
        else if (source.place == Place::Page)
            text = pageFileText(source.path);
        if (text)
            texts.emplace_back(where(source.key, source.place, source.page), *text);
    }
    return texts;
}

SourceTexts folded(const SourceTexts &texts, KanaMatching kana)
{
    SourceTexts folded;
    for (const auto &[place, text] : texts)
        folded.emplace_back(place, fold(text, kana));
    return folded;
}

// What looking at every text, folded for kana, finds.
QSet<QString> scannedFolded(const SourceTexts &foldedTexts, const QString &query, KanaMatching kana)
{
    QSet<QString> places;
    const QStringList words = queryWords(query, kana);
    for (const auto &[place, text] : foldedTexts) {
        if (!words.isEmpty() && containsAll(text, words))
            places.insert(place);
    }
    return places;
}

QSet<QString> scanned(const SourceTexts &texts, const QString &query, KanaMatching kana)
{
    return scannedFolded(folded(texts, kana), query, kana);
}

QSet<QString> scanned(const std::vector<Source> &sources, const QString &query, KanaMatching kana)
{
    return scanned(readAll(sources), query, kana);
}

struct Fixture {
    explicit Fixture(const GeneratedBook::Shape &shape = {}) : book(dir.path(), shape) {}

    QTemporaryDir dir;
    GeneratedBook book;
    QString indexPath = dir.filePath(QStringLiteral("cache/index.sqlite"));

    std::vector<Source> sources() const
    {
        return bookSources(indexedItems(book.tree), book.working, {QString(), dir.path() + u'/'});
    }
    // How many changes an update of the index made.
    int update(SearchIndex &index) const
    {
        int changes = 0;
        const bool updated = index.update(sources(), [&changes](int, int total) {
            changes = total;
            return true;
        });
        return updated ? changes : -1;
    }
};

QFileDevice::Permissions modes(const QString &path)
{
    return QFile::permissions(path) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

} // namespace

class TestSearchIndex : public QObject
{
    Q_OBJECT

private slots:
    void theIndexFindsWhatAScanFinds()
    {
        Fixture fixture;
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        const std::vector<Source> sources = fixture.sources();
        QVERIFY(sources.size() > 100);
        const SourceTexts texts = readAll(sources);
        // Folded once for all the queries below.
        const std::map<KanaMatching, SourceTexts> foldedTexts{
            {KanaMatching::Distinct, folded(texts, KanaMatching::Distinct)},
            {KanaMatching::Same, folded(texts, KanaMatching::Same)}};

        QStringList queries = GeneratedBook::fragments();
        queries << QStringLiteral("ねこ 犬") << QStringLiteral("CAT soft") << QStringLiteral("猫 AND")
                << QStringLiteral("\"q\" *") << QStringLiteral("ﾈｺ いぬ 本") << QStringLiteral("page")
                << QStringLiteral("x") << QStringLiteral("ﾀﾞｲｱﾘｰ") << QStringLiteral("だいありー")
                << QStringLiteral("\"q\"*\"q\"") << QStringLiteral("𠮷野") << QStringLiteral("家𠮷野家")
                << QStringLiteral("表計算software犬ねこ図書館ダイアリー");
        // Pieces of one to five characters cut from the text itself.
        QRandomGenerator random(7);
        const QString sample = fixture.book.text(400);
        for (int i = 0; i < 60; ++i) {
            const int length = 1 + static_cast<int>(random.bounded(5u));
            queries << sample.mid(static_cast<int>(random.bounded(static_cast<quint32>(sample.size() - length))), length);
        }
        int nonEmpty = 0;
        for (const QString &query : queries) {
            for (const KanaMatching kana : {KanaMatching::Distinct, KanaMatching::Same}) {
                const QSet<QString> expected = scannedFolded(foldedTexts.at(kana), query, kana);
                nonEmpty += !expected.isEmpty();
                QVERIFY2(found(index, query, {kana, 1'000'000}) == expected, qPrintable(query));
            }
        }
        QVERIFY(nonEmpty > queries.size());
    }

    void aHitShowsTheMatchInItsSnippet_data()
    {
        QTest::addColumn<QString>("note");
        QTest::addColumn<int>("start");
        QTest::addColumn<QString>("snippet");
        QTest::addColumn<QStringList>("marked");
        QTest::newRow("cut at both ends")
            << QStringLiteral("前の行\n") + QString(40, u'x') + QStringLiteral(" 東京の ＡＢＣ 会社 ") + QString(100, u'y')
            << 4 + 40 + 1
            << QStringLiteral("…") + QString(23, u'x') + QStringLiteral(" 東京の ＡＢＣ 会社 ") + QString(80 - 9, u'y')
                   + QStringLiteral("…")
            << QStringList{QStringLiteral("東京"), QStringLiteral("ＡＢＣ")};
        // 24 characters before the match and 80 after it end in the second half of a surrogate pair.
        QTest::newRow("edges inside surrogate pairs")
            << QStringLiteral("a😀") + QString(23, u'x') + QStringLiteral("東京 abc") + QString(75, u'y')
                   + QStringLiteral("🍣z")
            << 3 + 23
            << QStringLiteral("…😀") + QString(23, u'x') + QStringLiteral("東京 abc") + QString(75, u'y')
                   + QStringLiteral("…")
            << QStringList{QStringLiteral("東京"), QStringLiteral("abc")};
        // The same edges between a letter and its combining mark (a decomposed "й" and "が").
        const QString shortI = QStringLiteral("и\u0306");
        const QString ga = QStringLiteral("か\u3099");
        QTest::newRow("edges inside combined characters")
            << QStringLiteral("a") + shortI + QString(23, u'x') + QStringLiteral("東京 abc") + QString(75, u'y') + ga + u'z'
            << 3 + 23
            << QStringLiteral("…") + shortI + QString(23, u'x') + QStringLiteral("東京 abc") + QString(75, u'y')
                   + QStringLiteral("…")
            << QStringList{QStringLiteral("東京"), QStringLiteral("abc")};
    }

    void aHitShowsTheMatchInItsSnippet()
    {
        QFETCH(QString, note);
        QFETCH(int, start);
        QFETCH(QString, snippet);
        QFETCH(QStringList, marked);
        Fixture fixture(kSmallBook);
        fixture.book.writeNote(QStringLiteral("a2"), note);
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        const SearchAnswer answer = index.search(QStringLiteral("abc 東京"), kEverything);
        QCOMPARE(answer.hits.size(), size_t(1));
        const SearchHit &hit = answer.hits.front();
        QCOMPARE(hit.key, QStringLiteral("a2"));
        QCOMPARE(hit.place, Place::Note);
        QCOMPARE(hit.matchedText, QStringLiteral("東京"));
        QCOMPARE(hit.match.start, start);
        QCOMPARE(hit.snippet, snippet);
        QStringList marks;
        for (const TextRange &mark : hit.marks)
            marks << hit.snippet.mid(mark.start, mark.length);
        QCOMPARE(marks, marked);
    }

    void onlyChangedFilesAreReadAgain()
    {
        Fixture fixture(kSmallBook);
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        QCOMPARE(fixture.update(index), 0);

        // The working folder filled again: the same notes, copied at another time.
        const QString note = fixture.book.working.textFile(QStringLiteral("a7"));
        const auto touch = [](const QString &path, int seconds) {
            QFile file(path);
            return file.open(QIODevice::ReadWrite)
                   && file.setFileTime(QDateTime::currentDateTime().addSecs(seconds), QFileDevice::FileModificationTime);
        };
        QVERIFY(touch(note, 10));
        QCOMPARE(fixture.update(index), 0);
        // Content of the same size changed at another time is read again.
        fixture.book.writeNote(QStringLiteral("a7"), QStringLiteral("aardvark"));
        QVERIFY(touch(note, 20));
        QVERIFY(fixture.update(index) == 1);
        fixture.book.writeNote(QStringLiteral("a7"), QStringLiteral("aardwolf"));
        QVERIFY(touch(note, 30));
        QCOMPARE(fixture.update(index), 1);
        QCOMPARE(found(index, QStringLiteral("aardwolf")).size(), 1);
        QVERIFY(found(index, QStringLiteral("aardvark")).isEmpty());

        // A note stored, a caption renamed, an item moved, an item deleted.
        fixture.book.writeNote(QStringLiteral("a3"), QStringLiteral("新しい内容 kangaroo"));
        ItemTree &tree = fixture.book.tree;
        tree.setText(tree.item(QStringLiteral("a4")), QStringLiteral("改名した項目"));
        QVERIFY(tree.remove(QStringLiteral("a5")));
        QVERIFY(QFile::remove(fixture.book.working.textFile(QStringLiteral("a5"))));
        QCOMPARE(fixture.update(index), 4); // a3's note, a4's caption, a5's note and caption
        QCOMPARE(found(index, QStringLiteral("kangaroo")), QSet<QString>{where("a3", Place::Note, {})});
        QCOMPARE(found(index, QStringLiteral("改名")), QSet<QString>{where("a4", Place::Caption, {})});
        for (const SearchHit &hit : index.search(QStringLiteral("猫"), kEverything).hits)
            QVERIFY(hit.key != QStringLiteral("a5"));
        QCOMPARE(found(index, QStringLiteral("猫")), scanned(fixture.sources(), QStringLiteral("猫"), KanaMatching::Distinct));

        // A note stored is taken in at once, alone.
        fixture.book.writeNote(QStringLiteral("a3"), QStringLiteral("wombat"));
        QVERIFY(index.updateSource({SourceId{Place::Note, QStringLiteral("a3.rtf"), {}}.toString(), QStringLiteral("a3"), Place::Note, {},
                                    fixture.book.working.textFile(QStringLiteral("a3")), {}}));
        QVERIFY(found(index, QStringLiteral("kangaroo")).isEmpty());
        QCOMPARE(found(index, QStringLiteral("wombat")).size(), 1);
        QCOMPARE(fixture.update(index), 0);
    }

    void anUpdateStoppedKeepsWhatItDid()
    {
        Fixture fixture(kSmallBook);
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        int total = 0;
        QVERIFY(!index.update(fixture.sources(), [&total](int done, int all) {
            total = all;
            return done < all - 2;
        }));
        QCOMPARE(fixture.update(index), 2); // only what was left
        const QString query = QStringLiteral("猫");
        QVERIFY(total > 2);
        QCOMPARE(found(index, query), scanned(fixture.sources(), query, KanaMatching::Distinct));
    }

    void sourcesArePairedByIdInAnyOrder()
    {
        QTemporaryDir dir;
        SearchIndex index(dir.filePath(QStringLiteral("index.sqlite")), SearchIndex::Role::Writer);
        const auto caption = [](const QString &key, const QString &text) {
            return Source{SourceId{Place::Caption, key, {}}.toString(), key, Place::Caption, {}, {}, text};
        };
        const Source x = caption(QStringLiteral("x"), QStringLiteral("wombat"));
        const Source y = caption(QStringLiteral("y"), QStringLiteral("numbat"));
        const Source z = caption(QStringLiteral("z"), QStringLiteral("quokka"));
        const auto changes = [&index](const std::vector<Source> &sources) {
            int total = 0;
            return index.update(sources, [&total](int, int all) { return (total = all) >= 0; }) ? total : -1;
        };
        QCOMPARE(changes({z, x}), 2);
        QCOMPARE(changes({y, x, z, x}), 1); // one new, one given twice, the others out of the order they were indexed in
        QCOMPARE(changes({x, z, y}), 0);
        QVERIFY(index.update({y, z}));
        QVERIFY(found(index, QStringLiteral("wombat")).isEmpty());
        QCOMPARE(found(index, QStringLiteral("numbat")), QSet<QString>{where("y", Place::Caption, {})});
        QCOMPARE(found(index, QStringLiteral("quokka")), QSet<QString>{where("z", Place::Caption, {})});
    }

    void aPageChangedOnDiskIsReadAgain()
    {
        Fixture fixture(kSmallBook);
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        const QString page = fixture.book.pageFolder + QStringLiteral("p6.html");
        writeText(page, "<p>platypus</p>");
        QFile file(page);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(5), QFileDevice::FileModificationTime));
        file.close();
        QCOMPARE(fixture.update(index), 1);
        QCOMPARE(found(index, QStringLiteral("platypus")), QSet<QString>{where("a6", Place::Page, page)});
    }

    void pagesWithSideTextsInThePagesFolderAreRead()
    {
        Fixture fixture(kSmallBook);
        // A page reached from a6's page that has a side text of a6, and one that has none.
        writeText(fixture.book.pageFolder + QStringLiteral("3.html"), "<p>echidna</p>");
        writeText(fixture.book.pageFolder + QStringLiteral("other.htm"), "<p>echidna</p>");
        fixture.book.writeNote(QStringLiteral("a6-3"), QStringLiteral("side echidna"));
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        QCOMPARE(found(index, QStringLiteral("echidna")),
                 QSet<QString>({where("a6", Place::Page, fixture.book.pageFolder + QStringLiteral("3.html")),
                                where("a6", Place::SideText, QStringLiteral("3"))}));
    }

    void unreadableFilesAreCountedAndSkipped()
    {
        Fixture fixture(kSmallBook);
        writeText(fixture.book.working.textFile(QStringLiteral("a2")), "this is no rtf");
        writeText(fixture.book.pageFolder + QStringLiteral("p6.html"), QByteArray(5000, '\0'));
        QVERIFY(QFile::remove(fixture.book.pageFolder + QStringLiteral("p11.html")));
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        QCOMPARE(index.unreadableCount(), 3);
        fixture.book.writeNote(QStringLiteral("a2"), QStringLiteral("readable again"));
        QVERIFY(fixture.update(index) > 0);
        QCOMPARE(index.unreadableCount(), 2);
    }

    void aDamagedOrOutdatedIndexIsRebuiltSilently()
    {
        Fixture fixture(kSmallBook);
        {
            SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
            QVERIFY(fixture.update(index) > 0);
        }
        QFile file(fixture.indexPath);
        QVERIFY(file.open(QIODevice::ReadWrite));
        file.seek(0);
        file.write(QByteArray(4096, 'x'));
        file.close();
        {
            SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
            QVERIFY(fixture.update(index) > 0);
            QCOMPARE(found(index, QStringLiteral("猫")),
                     scanned(fixture.sources(), QStringLiteral("猫"), KanaMatching::Distinct));
        }
        {
            SqliteDatabase db;
            QVERIFY(db.open(fixture.indexPath, SqliteDatabase::Access::ReadWrite));
            QVERIFY(db.exec("UPDATE meta SET value = 'kobin-search-0' WHERE name = 'schema'"));
        }
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > fixture.book.tree.count()); // everything again
    }

    void aDamagedIndexIsBuiltAgain_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<bool>("searchMeetsIt");
        QTest::newRow("header") << QByteArray() << true;
        QTest::newRow("items' text") << QByteArray("words_content") << true;
        QTest::newRow("trigrams") << QByteArray("words_data") << true;
        QTest::newRow("sources") << QByteArray("sqlite_autoindex_docs_1") << false;
    }

    void aDamagedIndexIsBuiltAgain()
    {
        QFETCH(QByteArray, table);
        QFETCH(bool, searchMeetsIt);
        Fixture fixture(kSmallBook);
        const QString query = QStringLiteral("図書館 猫");
        const QSet<QString> expected = scanned(fixture.sources(), query, KanaMatching::Distinct);
        QVERIFY(!expected.isEmpty());
        {
            SearchIndex writer(fixture.indexPath, SearchIndex::Role::Writer);
            QVERIFY(fixture.update(writer) > 0);
        } // closed: its log written into the file
        QVERIFY(damageIndex(fixture.indexPath, table));

        // A search in the window meets the damage; the window's writer, told, builds it again.
        const SearchAnswer damaged = SearchIndex(fixture.indexPath, SearchIndex::Role::Reader).search(query, kEverything);
        QCOMPARE(damaged.damaged, searchMeetsIt);
        QCOMPARE(damaged.hits.empty(), searchMeetsIt);
        if (searchMeetsIt) {
            {
                SearchIndex window(fixture.indexPath, SearchIndex::Role::Writer);
                QVERIFY(window.rebuild(fixture.sources()));
                QCOMPARE(readerFinds(fixture.indexPath, query), expected);
            }
            QVERIFY(damageIndex(fixture.indexPath, table));
        }
        // A program opening it finds any damage before it searches, and builds it again.
        SearchIndex writer(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(writer) > fixture.book.tree.count());
        QCOMPARE(found(writer, query), expected);
        QCOMPARE(readerFinds(fixture.indexPath, query), expected);
    }

    void aNoteStoredIntoADamagedIndexHasItBuiltAgain()
    {
        Fixture fixture(kSmallBook);
        SearchIndexer indexer;
        QSignalSpy updated(&indexer, &SearchIndexer::updated);
        const BookLocation location{QString(), fixture.dir.path() + u'/'};
        indexer.updateBook({fixture.indexPath, indexedItems(fixture.book.tree), fixture.book.working, location});
        QVERIFY(updated.wait(60000));
        QVERIFY(damageIndex(fixture.indexPath, "words_content"));
        fixture.book.writeNote(QStringLiteral("a3"), QStringLiteral("wombat"));
        indexer.updateSource(fixture.indexPath, {SourceId{Place::Note, QStringLiteral("a3.rtf"), {}}.toString(), QStringLiteral("a3"), Place::Note, {},
                                                 fixture.book.working.textFile(QStringLiteral("a3")), {}});
        QVERIFY(updated.wait(60000));
        QCOMPARE(readerFinds(fixture.indexPath, QStringLiteral("wombat")), QSet<QString>{where("a3", Place::Note, {})});
        QCOMPARE(readerFinds(fixture.indexPath, QStringLiteral("猫")),
                 scanned(fixture.sources(), QStringLiteral("猫"), KanaMatching::Distinct));
    }

    void theIndexIsTheUsersAloneWhateverTheUmask()
    {
        const auto restoreUmask = qScopeGuard([umaskBefore = ::umask(0)] { ::umask(umaskBefore); });
        Fixture fixture(kSmallBook);
        const QString folder = QFileInfo(fixture.indexPath).absolutePath();
        const auto check = [&](const char *when) {
            QCOMPARE(modes(folder), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            int files = 0;
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files)) {
                QVERIFY2(modes(file.filePath()) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner),
                         qPrintable(file.fileName() + u' ' + QLatin1String(when)));
                ++files;
            }
            QCOMPARE(files, 3); // the index, its log and its shared memory
        };
        {
            SearchIndex writer(fixture.indexPath, SearchIndex::Role::Writer);
            QVERIFY(fixture.update(writer) > 0);
            check("made");
            // An index made before, open to everyone, is tightened as it is opened.
            const auto everyone = QFileDevice::Permissions::fromInt(0x7777);
            QVERIFY(QFile::setPermissions(folder, everyone));
            for (const QFileInfo &file : QDir(folder).entryInfoList(QDir::Files))
                QVERIFY(QFile::setPermissions(file.filePath(), everyone));
        }
        SearchIndex writer(fixture.indexPath, SearchIndex::Role::Writer);
        QCOMPARE(fixture.update(writer), 0);
        check("opened");
    }

    void aReaderSeesWhatTheWriterCommitted()
    {
        Fixture fixture(kSmallBook);
        SearchIndex missing(fixture.indexPath, SearchIndex::Role::Reader);
        QVERIFY(missing.search(QStringLiteral("猫"), kEverything).hits.empty());
        SearchIndex writer(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(writer) > 0);
        SearchIndex reader(fixture.indexPath, SearchIndex::Role::Reader);
        QCOMPARE(found(reader, QStringLiteral("猫")), found(writer, QStringLiteral("猫")));
    }

    void oddQueriesAnswerAtOnce()
    {
        Fixture fixture(kSmallBook);
        SearchIndex index(fixture.indexPath, SearchIndex::Role::Writer);
        QVERIFY(fixture.update(index) > 0);
        const SearchAnswer spaces = index.search(QStringLiteral("   \u3000 "), kEverything);
        QVERIFY(spaces.hits.empty());
        QVERIFY(spaces.message.isEmpty());
        const SearchAnswer longQuery = index.search(QString(10000, u'猫'), kEverything);
        QVERIFY(longQuery.hits.empty());
        QCOMPARE(longQuery.message, QStringLiteral("検索する語が長すぎます。256 文字までにしてください。"));
        // Query syntax of the engine is text: none of these is an error.
        const SourceTexts texts = readAll(fixture.sources());
        for (const QString &query : {QStringLiteral("\"\"\""), QStringLiteral("NEAR(猫 犬)"), QStringLiteral("a:b"),
                                     QStringLiteral("^*-"), QStringLiteral("OR NOT")})
            QCOMPARE(found(index, query), scanned(texts, query, KanaMatching::Distinct));

        const SearchAnswer limited = index.search(QStringLiteral("猫"), {KanaMatching::Distinct, 5});
        QCOMPARE(limited.hits.size(), size_t(5));
        QVERIFY(limited.more);
    }

    void indexFilesAreKeptPerBookFile()
    {
        QStandardPaths::setTestModeEnabled(true);
        const QString a = SearchIndex::locationFor(QStringLiteral("/books/日記.iis"));
        QVERIFY(a.startsWith(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)));
        QVERIFY(a.contains(QStringLiteral("/Kobin/search/日記-")));
        QVERIFY(a != SearchIndex::locationFor(QStringLiteral("/other/日記.iis")));
        QCOMPARE(a, SearchIndex::locationFor(QStringLiteral("/books/../books/日記.iis")));
    }
};

QTEST_MAIN(TestSearchIndex)
#include "tst_searchindex.moc"
