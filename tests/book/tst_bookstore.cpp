#include "BookSession.h"
#include "BookStore.h"
#include "ContentFiles.h"
#include "FakePrompter.h"
#include "TestFiles.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "TreeString.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

namespace {

QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files, QDir::Name);
}

class FakePane : public TextPaneFiles
{
public:
    QByteArray content = "{\\rtf1 note}";
    QStringList savedTo;
    bool saveRichText(const QString &path) override
    {
        savedTo << path;
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
};

} // namespace

class TestBookStore : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    BookSession m_session;
    ItemTree m_tree;

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_session = BookSession();
        m_session.appPath = m_dir->path() + "/prog/";
        m_session.bookPath = m_dir->path() + "/docs/report.final.iis";
        m_session.bookName = "report";
        QDir().mkpath(m_session.workingFolder());
        QDir().mkpath(m_dir->path() + "/docs");
        m_tree.clear();
        treestring::buildTree(m_tree, u"|0\\Report=a1+root|a1\\Note=a2+richtxt|");
    }

    void saveMirrorsTheWorkingFolderIntoTheBookFolder()
    {
        const QString working = m_session.workingFolder();
        writeText(working + "a1.rtf", "root note");
        writeText(working + "a2.rtf", "new note");
        writeText(working + "a5url.txt", "C:\\web\\index.html\r\n");
        writeText(working + "scratch.bak", "not content");
        const QString book = m_session.bookFolder();
        QDir().mkpath(book);
        writeText(book + "a2.rtf", "old note");
        writeText(book + "a3.rtf", "deleted item");
        writeText(book + "a3indexside.txt", "1200\r\n");
        writeText(book + "notes.doc", "the user's own file");

        FakePrompter prompter;
        QVERIFY(saveBook(m_session, m_tree, prompter));
        QVERIFY(prompter.prompts.isEmpty());
        QCOMPARE(filesIn(book), QStringList({"a1.rtf", "a2.rtf", "a5url.txt", "notes.doc"}));
        QCOMPARE(readText(book + "a2.rtf"), QByteArray("new note"));
        QCOMPARE(readText(m_session.bookPath), QByteArray("|0\\Report=a1+root|a1\\Note=a2+richtxt|\r\n"));
        QCOMPARE(filesIn(working), QStringList({"a1.rtf", "a2.rtf", "a5url.txt", "scratch.bak"}));
    }

    void firstSaveCreatesTheBookFolder()
    {
        writeText(m_session.workingFolder() + "a1.rtf", "root note");
        FakePrompter prompter;
        QVERIFY(saveBook(m_session, m_tree, prompter));
        QCOMPARE(filesIn(m_session.bookFolder()), QStringList({"a1.rtf"}));
    }

    void failedCopyStopsBeforeDeletingAnything()
    {
        const QString book = m_session.bookFolder();
        QDir().mkpath(book);
        writeText(book + "a3.rtf", "a note only the book folder holds");
        writeText(m_session.workingFolder() + "a1.rtf", "root note");
        // A folder where the copy must go makes the copy fail.
        QDir().mkpath(book + "a1.rtf");
        FakePrompter prompter;
        QVERIFY(!saveBook(m_session, m_tree, prompter));
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(prompter.prompts[0].title, QString("保存できません"));
        QCOMPARE(prompter.prompts[0].icon, PromptIcon::Exclamation);
        QVERIFY(prompter.prompts[0].text.endsWith(" 」\n\nを保存できませんでした。"));
        QCOMPARE(readText(book + "a3.rtf"), QByteArray("a note only the book folder holds"));
    }

    void failedBookFileWriteIsReported()
    {
        m_session.bookPath = m_dir->path() + "/docs/report.final.iis/inside.iis";
        writeText(m_dir->path() + "/docs/report.final.iis", "|0\\Old=a1+root|\r\n");
        FakePrompter prompter;
        QVERIFY(!saveBook(m_session, m_tree, prompter));
        QCOMPARE(prompter.prompts.size(), 1);
        QVERIFY(prompter.prompts[0].text.contains("inside.iis"));
    }

    void bookWithoutAFolderOfItsOwnIsRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("temp") << "temp";
    }

    void bookWithoutAFolderOfItsOwnIsRefused()
    {
        QFETCH(QString, name);
        m_session.bookName = name;
        writeText(m_session.workingFolder() + "a1.rtf", "root note");
        writeText(m_session.appPath + "a9.rtf", "a file beside the program");
        FakePrompter prompter;
        QVERIFY(!saveBook(m_session, m_tree, prompter));
        QCOMPARE(prompter.prompts.size(), 1);
        QCOMPARE(filesIn(m_session.workingFolder()), QStringList({"a1.rtf"}));
        QCOMPARE(readText(m_session.appPath + "a9.rtf"), QByteArray("a file beside the program"));
    }

    void openingCopiesOnlyContentFiles()
    {
        const QString book = m_session.bookFolder();
        QDir().mkpath(book);
        writeText(book + "a1.rtf", "root");
        writeText(book + "a5index.txt", "2400\r\n");
        writeText(book + "picture.png", "binary");
        QDir(m_session.workingFolder()).removeRecursively();
        QVERIFY(loadBookIntoWorkingFolder(m_session));
        QCOMPARE(filesIn(m_session.workingFolder()), QStringList({"a1.rtf", "a5index.txt"}));
    }

    void missingBookFolderLeavesTheWorkingFolderEmpty()
    {
        QVERIFY(loadBookIntoWorkingFolder(m_session));
        QVERIFY(QDir(m_session.workingFolder()).exists());
        QVERIFY(filesIn(m_session.workingFolder()).isEmpty());
    }

    void loadingABookReplacesTheWorkingFolderWhole()
    {
        const QString working = m_session.workingFolder();
        writeText(working + "a1.rtf", "previous book's root");
        writeText(working + "a2.rtf", "previous book's note");
        writeText(working + "a9url.txt", "previous page");
        writeText(working + "scratch.bin", "left by a crash");
        const QString book = m_session.bookFolder();
        writeText(book + "a1.rtf", "root");
        writeText(book + "a3.rtf", "third");
        writeText(book + "picture.png", "not content");
        QVERIFY(loadBookIntoWorkingFolder(m_session));
        QCOMPARE(filesIn(working), QStringList({"a1.rtf", "a3.rtf"}));
        QCOMPARE(readText(working + "a1.rtf"), QByteArray("root"));
    }

    void emptyingTheWorkingFolderKeepsSubfolders()
    {
        writeText(m_session.workingFolder() + "a1.rtf", "x");
        writeText(m_session.workingFolder() + "other.bin", "x");
        QDir().mkpath(m_session.workingFolder() + "sub");
        QVERIFY(emptyWorkingFolder(m_session));
        QVERIFY(filesIn(m_session.workingFolder()).isEmpty());
        QVERIFY(QDir(m_session.workingFolder() + "sub").exists());
    }

    void storingTheShownItem()
    {
        FakePane pane;
        m_session.currentKey = "a2";
        QVERIFY(storeCurrentItem(m_session, m_tree, pane, 1000, 2000));
        QCOMPARE(pane.savedTo, QStringList({m_session.workingFolder() + "a2.rtf"}));
        QCOMPARE(filesIn(m_session.workingFolder()), QStringList({"a2.rtf"}));
    }

    void storingAHomepageItemWritesItsPageTextAndSplitters()
    {
        m_tree.add("a1", Relationship::Child, "a5", "Page", "htmlfile");
        FakePane pane;
        m_session.currentKey = "a5";
        m_session.pageTextName = "a5index";
        QVERIFY(storeCurrentItem(m_session, m_tree, pane, 2400, 3512.5f));
        const QString working = m_session.workingFolder();
        QCOMPARE(filesIn(working), QStringList({"a5index.rtf", "a5index.txt", "a5indexside.txt"}));
        QCOMPARE(readText(working + "a5index.txt"), QByteArray("2400\r\n"));
        QCOMPARE(readText(working + "a5indexside.txt"), QByteArray("3512.5\r\n"));
        QCOMPARE(readNumberFile(working + "a5indexside.txt").value(), 3512.5f);
    }

    void itemContentFilesFollowTheDigitRule()
    {
        const QString working = m_session.workingFolder();
        for (const char *name : {"a2.rtf", "a2url.txt", "a2index.rtf", "a2indexside.txt", "a21.rtf",
                                 "a200index.rtf", "a2.png", "a2", "b2.rtf"})
            writeText(working + name, "x");
        QCOMPARE(itemContentFileNames(working, "a2"),
                 QStringList({"a2.rtf", "a2index.rtf", "a2indexside.txt", "a2url.txt"}));
    }
};

QTEST_GUILESS_MAIN(TestBookStore)
#include "tst_bookstore.moc"
