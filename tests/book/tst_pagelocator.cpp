#include "PageLocator.h"
#include "TestFiles.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

// Pages that url files written on Windows name, found where the book now is.
class TestPageLocator : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString root() const { return m_dir.path(); }

private slots:
    void pathComponentsSplitBothSeparatorsAndDropTheDrive()
    {
        QCOMPARE(pathComponents("C:\\Program Files\\Kobin\\\\pages/index.htm"),
                 QStringList({"Program Files", "Kobin", "pages", "index.htm"}));
        QCOMPARE(pathComponents("/home/u/index.html"), QStringList({"home", "u", "index.html"}));
        QCOMPARE(pathComponents("d:"), QStringList());
        QCOMPARE(pathComponents("pages\\C:\\x.htm"), QStringList({"pages", "C:", "x.htm"})); // a drive only leads
    }

    void windowsPathsAreToldByADriveLetterOrABackslash()
    {
        QVERIFY(isWindowsPath("C:\\a.htm"));
        QVERIFY(isWindowsPath("d:/a.htm"));
        QVERIFY(isWindowsPath("pages\\a.htm"));
        QVERIFY(!isWindowsPath("/home/u/a.htm"));
        QVERIFY(!isWindowsPath("pages/a:b.htm"));
    }

    void aRelativePageIsFoundBesideTheBookBeforeTheProgramFolder()
    {
        const QString book = root() + "/relative/docs/book.iis";
        const QString app = root() + "/relative/app/";
        writeText(root() + "/relative/docs/pages/a.htm", "beside the book");
        writeText(app + "pages/a.htm", "in the program folder");
        writeText(app + "pages/b.htm", "only in the program folder");
        QCOMPARE(pagePathFor("pages/a.htm", book, app), root() + "/relative/docs/pages/a.htm");
        QCOMPARE(findPage("pages/a.htm", book, app), root() + "/relative/docs/pages/a.htm");
        QCOMPARE(findPage("pages/b.htm", book, app), app + "pages/b.htm");
        QCOMPARE(findPage("pages/a.htm", QString(), app), app + "pages/a.htm"); // a book never saved
    }

    void aPageIsFoundByATailOfAtMostSixteenParts_data()
    {
        QTest::addColumn<int>("folders"); // between the folder searched and the page
        QTest::addColumn<bool>("found");
        QTest::newRow("16 parts") << 15 << true;
        QTest::newRow("17 parts") << 16 << false;
    }
    void aPageIsFoundByATailOfAtMostSixteenParts()
    {
        QFETCH(int, folders);
        QFETCH(bool, found);
        QString tail;
        for (int i = 1; i <= folders; ++i)
            tail += "/d" + QString::number(i);
        tail += "/index.htm";
        writeText(root() + "/deep" + tail, "page");
        const QString recorded = "C:\\old" + QString(tail).replace('/', '\\');
        QCOMPARE(findPage(recorded, QString(), root() + "/nowhere/", {root() + "/deep"}).has_value(), found);
    }

    void windowsPathIsFoundByItsTailIgnoringCase()
    {
        writeText(root() + "/app/Pages/index.HTM", "page");
        const PageLocator locator({root() + "/nowhere", root() + "/app"});
        QCOMPARE(locator.locate("C:\\Program Files\\Kobin\\pages\\INDEX.htm"), root() + "/app/Pages/index.HTM");
        QCOMPARE(locator.locate("C:/Program Files/Kobin/PAGES/Index.htm"), root() + "/app/Pages/index.HTM");
        QCOMPARE(locator.locate("C:\\Kobin\\pages\\other.htm"), std::nullopt);
    }

    void longestTailWinsThenTheEarlierFolder()
    {
        writeText(root() + "/first/index.htm", "loose");
        writeText(root() + "/second/book/pages/index.htm", "in its book");
        writeText(root() + "/third/book/pages/index.htm", "later folder");
        const PageLocator locator({root() + "/first", root() + "/second", root() + "/third"});
        QCOMPARE(locator.locate("C:\\docs\\book\\pages\\index.htm"), root() + "/second/book/pages/index.htm");
        QCOMPARE(locator.locate("C:\\docs\\elsewhere\\index.htm"), root() + "/first/index.htm");
    }

    void exactNameIsPreferredWhereNamesDifferOnlyInCase()
    {
        writeText(root() + "/case/Index.htm", "upper");
        writeText(root() + "/case/index.htm", "lower");
        QCOMPARE(entryIgnoringCase(root() + "/case", "index.htm"), root() + "/case/index.htm");
        QCOMPARE(entryIgnoringCase(root() + "/case", "Index.htm"), root() + "/case/Index.htm");
        QCOMPARE(entryIgnoringCase(root() + "/case", "INDEX.HTM").has_value(), true);
        QCOMPARE(entryIgnoringCase(root() + "/case", "missing.htm"), std::nullopt);
    }

    void foldersDevicesAndClimbingTailsAreNotPages()
    {
        QVERIFY(QDir().mkpath(root() + "/odd/pages/index.htm")); // a folder with a page's name
        writeText(root() + "/secret.htm", "outside");
        const PageLocator locator({root() + "/odd", "/"});
        QCOMPARE(locator.locate("C:\\pages\\index.htm"), std::nullopt);
        QCOMPARE(locator.locate("C:\\dev\\null"), std::nullopt);
        QCOMPARE(locator.locate("C:\\x\\..\\secret.htm"), std::nullopt);
        QCOMPARE(PageLocator({root() + "/odd"}).locate("..\\secret.htm"), std::nullopt);
        QVERIFY(!isPageFile("/dev/null"));
        QVERIFY(!isPageFile(root() + "/odd/pages/index.htm"));
        QVERIFY(isPageFile(root() + "/secret.htm"));
    }

    void overlongPathsAreNotFoundAtOnce()
    {
        writeText(root() + "/long/index.htm", "page");
        const PageLocator locator({root() + "/long"});
        QString path = "C:";
        while (path.size() < 10000)
            path += "\\folder";
        QCOMPARE(locator.locate(path + "\\index.htm"), std::nullopt);
        QVERIFY(!isPageFile(root() + "/long/" + QString(10000, u'x')));
        // Many parts within the length: only the last ones are looked for.
        QString deep = "C:";
        while (deep.size() < PageLocator::kMaxPathLength - 20)
            deep += "\\a";
        QCOMPARE(locator.locate(deep + "\\index.htm"), root() + "/long/index.htm");
    }
};

QTEST_GUILESS_MAIN(TestPageLocator)
#include "tst_pagelocator.moc"
