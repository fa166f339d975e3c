#include "AppPath.h"
#include "RecentBooks.h"
#include "Settings.h"
#include "WindowSettings.h"

#include <QDir>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

using namespace kobin;

class TestSettings : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_file;

    void storeRaw(const QString &path, const QVariant &value)
    {
        QSettings raw(m_file, QSettings::IniFormat);
        raw.setValue(path, value);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        m_file = m_dir->filePath("Kobin.ini");
    }

    void freshUserGetsEveryDefault()
    {
        Settings settings(m_file, "/opt/kobin/");
        QCOMPARE(settings.readSingle(settings::MainLeft).value(), 300.0f);
        QCOMPARE(settings.readSingle(settings::MainTop).value(), 500.0f);
        QCOMPARE(settings.readSingle(settings::MainWidth).value(), 11500.0f);
        QCOMPARE(settings.readSingle(settings::MainHeight).value(), 7000.0f);
        QCOMPARE(settings.readInt16(settings::WindowState).value(), qint16(0));
        QCOMPARE(settings.readSingle(settings::TreeWidth).value(), 2000.0f);
        QCOMPARE(settings.readString(settings::Book), QString("/opt/kobin/sample.iis"));
        QCOMPARE(settings.readString(settings::BookName), QString("sample"));
        QCOMPARE(settings.readInt32(settings::customColor(3)).value(), qint32(-2147483633));
        QVERIFY(!settings.readInt32(settings::TextBackColor));
        QVERIFY(!settings.readSingle(settings::FontLeft));
        QCOMPARE(settings.readString(settings::colorName(0)), QString());
        QVERIFY(!settings.readHidden(settings::TreeVisible));
    }

    void valuesThatDoNotConvertFallBackToTheDefault()
    {
        storeRaw("Settings/MainLeft", "left of the screen");
        storeRaw("Settings/MainTop", "1e40");
        storeRaw("Settings/WindowState", "70000");
        storeRaw("Settings/textBackColor", "blue");
        storeRaw("Settings/MainWidth", " 9000.5 ");
        Settings settings(m_file, "/p/");
        QCOMPARE(settings.readSingle(settings::MainLeft).value(), 300.0f);
        QCOMPARE(settings.readSingle(settings::MainTop).value(), 500.0f);
        QCOMPARE(settings.readInt16(settings::WindowState).value(), qint16(0));
        QVERIFY(!settings.readInt32(settings::TextBackColor));
        QCOMPARE(settings.readSingle(settings::MainWidth).value(), 9000.5f);
    }

    void onlyTheExactTextFalseHides()
    {
        storeRaw("Settings/TreeVisible", "false");
        storeRaw("Settings/ToolBarVisible", "False");
        storeRaw("Settings/StatusBarVisible", "True");
        Settings settings(m_file, "/p/");
        QVERIFY(!settings.readHidden(settings::TreeVisible));
        QVERIFY(settings.readHidden(settings::ToolBarVisible));
        QVERIFY(!settings.readHidden(settings::StatusBarVisible));
    }

    void writtenValuesReadBackAfterReopening()
    {
        {
            Settings settings(m_file, "/p/");
            settings.writeSingle(settings::MainLeft, 1234.5f);
            settings.writeFlag(settings::TreeVisible, false);
            settings.write(settings::Book, "C:\\books\\a,b.iis");
            settings.write(settings::colorName(2), "");
            settings.write(settings::customColor(2), "255");
        }
        Settings settings(m_file, "/p/");
        QCOMPARE(settings.readString(settings::MainLeft), QString("1234.5"));
        QCOMPARE(settings.readString(settings::TreeVisible), QString("False"));
        QCOMPARE(settings.readString(settings::Book), QString("C:\\books\\a,b.iis"));
        QVERIFY(settings.contains(settings::colorName(2)));
        QCOMPARE(settings.readInt32(settings::customColor(2)).value(), 255);
    }

    void recentFilesComeInKeyNumberOrder()
    {
        Settings settings(m_file, "/p/");
        for (int n : {10, 2, 1, 7, 3})
            settings.write(settings::recentFile(n), QStringLiteral("book%1.iis").arg(n));
        const auto all = settings.readAll(settings::RecentFilesSection);
        QStringList keys;
        for (const auto &pair : all)
            keys << pair.first;
        QCOMPARE(keys, QStringList({"RecentFile1", "RecentFile2", "RecentFile3", "RecentFile7", "RecentFile10"}));
        QCOMPARE(all.first().second, QString("book1.iis"));
        QVERIFY(settings.readAll(settings::RecentFoldersSection).isEmpty());
    }

    void recentBooksKeepTheSevenNewest()
    {
        Settings settings(m_file, "/p/");
        QVERIFY(recentbooks::load(settings).isEmpty());
        for (int i = 1; i <= 8; ++i)
            recentbooks::add(settings, QStringLiteral("/b/%1.iis").arg(i), recentbooks::load(settings).mid(0, 4));
        QCOMPARE(recentbooks::load(settings),
                 QStringList({"/b/8.iis", "/b/7.iis", "/b/6.iis", "/b/5.iis", "/b/4.iis", "/b/3.iis", "/b/2.iis"}));
        // One of the first four keeps its place; the fifth comes to the head again.
        recentbooks::add(settings, "/b/6.iis", recentbooks::load(settings).mid(0, 4));
        QCOMPARE(recentbooks::load(settings).first(), QString("/b/8.iis"));
        recentbooks::add(settings, "/b/4.iis", recentbooks::load(settings).mid(0, 4));
        QCOMPARE(recentbooks::load(settings),
                 QStringList({"/b/4.iis", "/b/8.iis", "/b/7.iis", "/b/6.iis", "/b/5.iis", "/b/4.iis", "/b/3.iis"}));
    }

    void aTreeWidthBeyondTheWindowIsKeptInsideIt()
    {
        Settings settings(m_file, "/p/");
        settings.write(settings::MainWidth, "9000");
        settings.write(settings::TreeWidth, "30000000");
        QCOMPARE(readWindowPlacement(settings).treeWidth, 9000.0f);
        settings.write(settings::TreeWidth, "-40");
        QCOMPARE(readWindowPlacement(settings).treeWidth, 0.0f);
    }

    void exitWhileMaximisedKeepsTheNormalRectangle()
    {
        Settings settings(m_file, "/p/");
        ExitState normal;
        normal.normal = {120, 240, 9000, 6000};
        normal.treeWidth = 2500;
        normal.bookPath = "/books/a.iis";
        normal.bookName = "a";
        writeExitSettings(settings, normal);

        ExitState maximised = normal;
        maximised.normal = {0, 0, 20000, 15000};
        maximised.maximized = true;
        maximised.toolbarChecked = false;
        maximised.bookPath.clear(); // a new book never saved
        maximised.bookName.clear();
        writeExitSettings(settings, maximised);

        const WindowPlacement placement = readWindowPlacement(settings);
        QCOMPARE(placement.normal, (TwipsRect{120, 240, 9000, 6000}));
        QVERIFY(placement.maximized);
        QCOMPARE(settings.readString(settings::WindowState), QString("2"));
        QCOMPARE(placement.treeWidth, 2500.0f);
        QVERIFY(placement.toolbarHidden);
        QVERIFY(!placement.treeHidden);
        QCOMPARE(settings.readString(settings::Book), QString("/books/a.iis"));
        QCOMPARE(settings.readString(settings::BookName), QString("a"));
    }

    void appPathPrefersKobinHomeThenAWritableProgramFolder()
    {
        QCOMPARE(chooseAppPath("/home/u/kobin", "/opt/kobin", true, "/home/u/.local/share/Kobin"),
                 QString("/home/u/kobin/"));
        QCOMPARE(chooseAppPath("", "/opt/kobin", true, "/data"), QString("/opt/kobin/"));
        QCOMPARE(chooseAppPath("", "/opt/kobin", false, "/data/Kobin/"), QString("/data/Kobin/"));
    }

    void installedDataFolderIsFoundFromTheProgramsOwnFolderUnderAnyPrefix()
    {
        QTemporaryDir stage;
        const QString prefix = stage.path() + "/staging/usr/local";
        QVERIFY(QDir().mkpath(prefix + "/bin"));
        QCOMPARE(installedDataFolder(prefix + "/bin"), QString()); // a build folder: no data beside it
        QVERIFY(QDir().mkpath(prefix + "/share/kobin"));
        QCOMPARE(installedDataFolder(prefix + "/bin"), prefix + "/share/kobin");
        QCOMPARE(installedDataFolder(prefix + "/bin/"), prefix + "/share/kobin");
        // A file of that name is no data folder.
        QVERIFY(QDir().mkpath(stage.path() + "/other/bin") && QDir().mkpath(stage.path() + "/other/share"));
        QFile plain(stage.path() + "/other/share/kobin");
        QVERIFY(plain.open(QIODevice::WriteOnly));
        QCOMPARE(installedDataFolder(stage.path() + "/other/bin"), QString());
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
