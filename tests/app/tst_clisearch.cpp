#include "BookFile.h"
#include "BookSources.h"
#include "DamagedIndex.h"
#include "GeneratedBook.h"
#include "SearchIndex.h"
#include "TreeString.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <memory>

using namespace kobin::search;

// kobin-cli search on a book whose index is damaged, or that another program
// (the window) is building at the same time.
class TestCliSearch : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<GeneratedBook> m_book;
    QString m_bookPath;

    struct Result {
        int exitCode;
        QByteArray out;
        QByteArray err;
    };

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert("KOBIN_HOME", m_dir->path());
        environment.insert("XDG_CACHE_HOME", m_dir->filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", m_dir->filePath("runtime"));
        return environment;
    }

    void startSearch(QProcess &process, const QString &word) const
    {
        process.setProcessEnvironment(environment());
        process.start(KOBIN_CLI, {"search", m_bookPath, word});
    }

    Result search(const QString &word) const
    {
        QProcess process;
        startSearch(process, word);
        process.waitForFinished(120000);
        return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }

    // The index kobin-cli keeps for the book.
    QString indexPath() const
    {
        qputenv("XDG_CACHE_HOME", m_dir->filePath("cache").toUtf8());
        return SearchIndex::locationFor(m_bookPath);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(m_dir->filePath("runtime")));
        QVERIFY(QFile::setPermissions(m_dir->filePath("runtime"), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                                                      | QFileDevice::ExeOwner));
        m_book = std::make_unique<GeneratedBook>(m_dir->path(), GeneratedBook::Shape{});
        m_bookPath = m_dir->filePath("work.iis"); // its notes in the book folder "work"
        QVERIFY(kobin::writeBookFile(m_bookPath, kobin::treestring::fromTree(m_book->tree)));
    }

    void aDamagedIndexIsBuiltAgain()
    {
        const Result first = search("猫");
        QCOMPARE(first.exitCode, 0);
        QVERIFY(first.out.count('\n') > 10);
        QVERIFY(damageIndex(indexPath(), "words_content"));
        const Result again = search("猫");
        QCOMPARE(QString::fromUtf8(again.err), QString());
        QCOMPARE(again.exitCode, 0);
        QCOMPARE(again.out, first.out);
    }

    void aSearchWaitsForTheWindowBuildingTheIndex()
    {
        const std::vector<Source> sources
            = bookSources(indexedItems(m_book->tree), m_book->working, {m_bookPath, m_dir->path() + u'/'});
        SearchIndex window(indexPath(), SearchIndex::Role::Writer);
        QProcess cli;
        cli.setReadChannel(QProcess::StandardError);
        QString told;
        // The window holds the index, its first item written and not yet committed, as kobin-cli starts.
        QVERIFY(window.update(sources, [&](int done, int) {
            if (done == 1) {
                startSearch(cli, "猫");
                cli.waitForReadyRead(120000);
                told = QString::fromUtf8(cli.readAllStandardError());
            }
            return true;
        }));
        QCOMPARE(told, QString("ほかの Kobin がこのブックの索引を作っています。終わるまで待ちます。\n"));
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        const QByteArray found = cli.readAllStandardOutput();
        QVERIFY(found.count('\n') > 10);
        QCOMPARE(found, search("猫").out);
    }
};

QTEST_GUILESS_MAIN(TestCliSearch)
#include "tst_clisearch.moc"
