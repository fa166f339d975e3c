#include "AtomicFile.h"
#include "BookVersions.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestBookVersions : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;

    QString root() const { return m_dir->path() + "/versions"; }
    QString bookPath() const { return m_dir->path() + "/docs/diary.iis"; }
    QString folder(const QString &name = {}) const { return m_dir->path() + "/app/diary/" + name; }
    BookVersions versions() const { return BookVersions(root(), bookPath(), folder()); }

    // A save as the book store makes it: each file replaced whole, the book file last.
    void save(BookVersions &kept, const QMap<QString, QByteArray> &written, const QStringList &removed,
              const QByteArray &tree)
    {
        QVERIFY(kept.begin());
        for (auto file = written.cbegin(); file != written.cend(); ++file) {
            if (QFile::exists(folder(file.key())))
                QVERIFY(kept.keep(file.key()));
            else
                kept.added(file.key());
            QVERIFY(saveFileAtomically(folder(file.key()), file.value()));
        }
        for (const QString &name : removed) {
            QVERIFY(kept.keep(name));
            QVERIFY(QFile::remove(folder(name)));
        }
        QVERIFY(saveFileAtomically(bookPath(), tree));
        QVERIFY(kept.finish());
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        writeText(bookPath(), "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n");
        writeText(folder("a1.rtf"), "book note");
        writeText(folder("a2.rtf"), "monday");
    }

    void eachVersionGivesBackTheWholeBookAsItWas()
    {
        BookVersions kept = versions();
        save(kept, {{"a1.rtf", "book note, edited"}, {"a3.rtf", "tuesday"}}, {"a2.rtf"},
             "|0\\Diary=a1+root|a1\\Tue=a3+richtxt|\r\n");
        save(kept, {{"a3.rtf", "tuesday, edited"}}, {}, "|0\\Diary=a1+root|a1\\Tue=a3+richtxt|\r\n");

        const QList<BookVersion> list = kept.list();
        QCOMPARE(list.size(), 2);
        QVERIFY(list[0].savedAt >= list[1].savedAt);
        QCOMPARE(list[0].changedNotes, 1);
        QCOMPARE(list[1].changedNotes, 3);

        const QString first = m_dir->path() + "/first/";
        QCOMPARE(readText(kept.restore(list[1], first).value_or("(none)")),
                 QByteArray("|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n"));
        QCOMPARE(QDir(first).entryList(QDir::Files), QStringList({"a1.rtf", "a2.rtf"}));
        QCOMPARE(readText(first + "a1.rtf"), QByteArray("book note"));
        QCOMPARE(readText(first + "a2.rtf"), QByteArray("monday"));

        const QString second = m_dir->path() + "/second/";
        QCOMPARE(readText(kept.restore(list[0], second).value_or("(none)")),
                 QByteArray("|0\\Diary=a1+root|a1\\Tue=a3+richtxt|\r\n"));
        QCOMPARE(QDir(second).entryList(QDir::Files), QStringList({"a1.rtf", "a3.rtf"}));
        QCOMPARE(readText(second + "a1.rtf"), QByteArray("book note, edited"));
        QCOMPARE(readText(second + "a3.rtf"), QByteArray("tuesday"));
        // The book itself is as the last save left it.
        QCOMPARE(readText(folder("a3.rtf")), QByteArray("tuesday, edited"));
    }

    void aBookOpenedThroughASymbolicLinkKeepsTheFileItNames_data()
    {
        QTest::addColumn<bool>("relative");
        QTest::newRow("relative link") << true;
        QTest::newRow("absolute link") << false;
    }

    void aBookOpenedThroughASymbolicLinkKeepsTheFileItNames()
    {
        QFETCH(bool, relative);
        const QString target = relative ? QString("../docs/diary.iis") : bookPath();
        const QString link = m_dir->path() + "/links/diary.iis";
        QVERIFY(QDir().mkpath(m_dir->path() + "/links"));
        std::filesystem::create_symlink(fileSystemPath(target), fileSystemPath(link));
        BookVersions kept(root(), link, folder());
        for (const char *tree : {"|0\\Diary=a1+root|a1\\Tue=a2+richtxt|\r\n", "|0\\Diary=a1+root|a1\\Wed=a2+richtxt|\r\n"}) {
            QVERIFY(kept.begin());
            QVERIFY(kept.keep("a2.rtf"));
            QVERIFY(saveFileAtomically(folder("a2.rtf"), tree));
            QVERIFY(saveFileAtomically(link, tree));
            QVERIFY(kept.finish());
        }
        const QList<BookVersion> list = kept.list();
        QCOMPARE(list.size(), 2);
        QCOMPARE(readText(kept.restore(list[1], m_dir->path() + "/first/").value_or("(none)")),
                 QByteArray("|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n"));
        QVERIFY(QFileInfo(link).isSymLink());
    }

    void aSaveThatChangesNothingOrAFirstSaveLeavesNoVersion()
    {
        BookVersions kept = versions();
        save(kept, {}, {}, "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n");
        QVERIFY(kept.list().isEmpty());

        BookVersions fresh(root(), m_dir->path() + "/docs/new.iis", m_dir->path() + "/app/new/");
        QVERIFY(fresh.begin());
        fresh.added("a1.rtf");
        QVERIFY(fresh.finish());
        QVERIFY(fresh.list().isEmpty());
    }

    void onlyTheNewestTenAreKept()
    {
        BookVersions kept = versions();
        for (int i = 0; i < BookVersions::kKept + 2; ++i)
            save(kept, {{"a2.rtf", QByteArray::number(i)}}, {}, "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n");
        const QList<BookVersion> list = kept.list();
        QCOMPARE(list.size(), BookVersions::kKept);
        const QString oldest = m_dir->path() + "/oldest/";
        QVERIFY(kept.restore(list.last(), oldest));
        QCOMPARE(readText(oldest + "a2.rtf"), QByteArray("1")); // the saves of "monday" and "0" are gone
    }

    void twoSavesInOneMillisecondKeepTwoVersions()
    {
        const QDateTime instant = QDateTime::currentDateTime();
        BookVersions kept(root(), bookPath(), folder(), [instant] { return instant; });
        const QByteArray tree = "|0\\Diary=a1+root|a1\\Mon=a2+richtxt|\r\n";
        save(kept, {{"a2.rtf", "first"}}, {}, tree);
        save(kept, {{"a2.rtf", "second"}}, {}, tree);
        const QList<BookVersion> list = kept.list();
        QCOMPARE(list.size(), 2);
        const QString newer = m_dir->path() + "/newer/";
        QVERIFY(kept.restore(list[0], newer));
        QCOMPARE(readText(newer + "a2.rtf"), QByteArray("first"));
    }

    void booksOfOneNameInTwoPlacesKeepTheirOwnVersions()
    {
        BookVersions kept = versions();
        save(kept, {{"a2.rtf", "changed"}}, {}, "|0\\Diary=a1+root|\r\n");
        BookVersions other(root(), m_dir->path() + "/elsewhere/diary.iis", folder());
        QVERIFY(other.list().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestBookVersions)
#include "tst_bookversions.moc"
