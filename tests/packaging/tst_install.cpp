#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

// Installs the build into a staging folder under the prefix /usr, as the package
// does, and checks what a desktop makes of it.
class TestInstall : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_stage;
    QString m_usr;

    struct Run {
        int exitCode;
        QString out;
        QString err;
    };

    static Run run(const QString &program, const QStringList &args, const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
    {
        QProcess process;
        process.setProcessEnvironment(env);
        process.start(program, args);
        if (!process.waitForFinished(180000))
            process.kill();
        return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                QString::fromUtf8(process.readAllStandardOutput()), QString::fromUtf8(process.readAllStandardError())};
    }

    static QString tool(const QString &name)
    {
        const QString path = QStandardPaths::findExecutable(name);
        if (path.isEmpty())
            qWarning("%s is missing: scripts/setup installs it", qPrintable(name));
        return path;
    }

    // A user of the installed program, who has never started it.
    QProcessEnvironment newUser(const QString &home) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("KOBIN_HOME");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("KOBIN_SMOKE", "1");
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("XDG_CONFIG_HOME", home + "/config");
        env.insert("XDG_CACHE_HOME", home + "/cache");
        env.insert("XDG_RUNTIME_DIR", home + "/run");
        QDir().mkpath(home + "/run");
        QFile::setPermissions(home + "/run", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        return env;
    }

    static QString readText(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }

private slots:
    void initTestCase()
    {
        // The installed programs must find their plugins where they were installed, not in the build tree.
        qunsetenv("KOBIN_PLUGIN_DIR");
        QVERIFY(m_stage.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("DESTDIR", m_stage.path());
        const Run install = run("cmake", {"--install", KOBIN_BUILD_DIR, "--prefix", "/usr"}, env);
        QVERIFY2(install.exitCode == 0, qPrintable(install.out + install.err));
        m_usr = m_stage.path() + "/usr";
    }

    void installsProgramsDesktopEntryMimeIconHelpSampleAndManPage()
    {
        QStringList files;
        QDirIterator it(m_usr, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            files << QDir(m_usr).relativeFilePath(it.next());
        for (const char *expected :
             {"bin/kobin", "bin/kobin-cli", "share/applications/kobin.desktop", "share/mime/packages/kobin.xml",
              "share/icons/hicolor/scalable/apps/kobin.svg", "share/kobin/kobin.qch", "share/kobin/sample/sample.iis",
              "share/kobin/sample/urls.txt", "share/kobin/sample/pages/welcome.html",
              "share/kobin/sample/sample/a1.rtf", "share/man/man1/kobin-cli.1.gz", KOBIN_PLUGIN_FOLDER "/kobin-capture.so",
              KOBIN_PLUGIN_FOLDER "/kobin-browser.so"})
            QVERIFY2(files.contains(expected), expected);
        // Nothing lands outside the usual folders of a prefix, but the web engine's two plugins.
        for (const QString &file : files)
            QVERIFY2(file.startsWith("bin/") || file.startsWith("share/") || file == KOBIN_PLUGIN_FOLDER "/kobin-capture.so"
                         || file == KOBIN_PLUGIN_FOLDER "/kobin-browser.so",
                     qPrintable(file));
        QVERIFY(QFileInfo(m_usr + "/bin/kobin").isExecutable());
        QVERIFY(QFileInfo(m_usr + "/bin/kobin-cli").isExecutable());
    }

    void desktopEntryIsValidAndOpensBooksOfItsMimeType()
    {
        const QString validate = tool("desktop-file-validate");
        QVERIFY(!validate.isEmpty());
        const QString entry = m_usr + "/share/applications/kobin.desktop";
        const Run checked = run(validate, {entry});
        QVERIFY2(checked.exitCode == 0 && checked.out.isEmpty(), qPrintable(checked.out + checked.err));

        QSettings desktop(entry, QSettings::IniFormat);
        desktop.beginGroup("Desktop Entry");
        QCOMPARE(desktop.value("Exec").toString(), QString("kobin %f"));
        QCOMPARE(desktop.value("Icon").toString(), QString("kobin"));
        QVERIFY(readText(entry).contains("\nMimeType=application/x-kobin-book;\n"));
        QCOMPARE(desktop.value("Name").toString(), QString("Kobin"));
        QVERIFY(desktop.value("Name[ja]").toString().contains(QStringLiteral("コビン")));
    }

    void mimePackageDeclaresBookFilesForTheDesktopDatabase()
    {
        const QString xml = m_usr + "/share/mime/packages/kobin.xml";
        const QString xmllint = tool("xmllint");
        QVERIFY(!xmllint.isEmpty());
        const Run wellFormed = run(xmllint, {"--noout", xml});
        QVERIFY2(wellFormed.exitCode == 0, qPrintable(wellFormed.err));

        // The desktop's own database compiler reads it as the package installs it.
        const QString updater = tool("update-mime-database");
        QVERIFY(!updater.isEmpty());
        QTemporaryDir data;
        const QString mime = data.path() + "/mime";
        QVERIFY(QDir().mkpath(mime + "/packages"));
        QVERIFY(QFile::copy(xml, mime + "/packages/kobin.xml"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_DATA_HOME", data.path());
        const Run compiled = run(updater, {mime}, env);
        QVERIFY2(compiled.exitCode == 0 && compiled.err.isEmpty(), qPrintable(compiled.err));
        QVERIFY(readText(mime + "/globs2").contains("application/x-kobin-book:*.iis\n"));
        QVERIFY(readText(mime + "/types").contains("application/x-kobin-book\n"));
    }

    void installedProgramKeepsBooksInTheUsersDataFolderWithTheSampleBookBesideIt()
    {
        QTemporaryDir home;
        const Run started = run(m_usr + "/bin/kobin", {}, newUser(home.path()));
        QVERIFY2(started.exitCode == 0, qPrintable(started.err));
        QVERIFY2(!started.err.contains("が見つかりません"), qPrintable(started.err));
        // The staging folder is writable, yet an installed program's folder holds no books.
        QVERIFY(!QFile::exists(m_usr + "/bin/sample.iis"));
        QVERIFY(!QFile::exists(m_usr + "/bin/temp"));
        const QString books = home.path() + "/data/Kobin/";
        QVERIFY(QFile::exists(books + "sample.iis"));
        QVERIFY(QFile::exists(books + "kobin.qch"));
        QVERIFY(QFile::exists(books + "sample/a1.rtf"));
        // The sample's url files name its pages where they were put for this user.
        QFile url(books + "sample/a5url.txt");
        QVERIFY(url.open(QIODevice::ReadOnly));
        QCOMPARE(url.readAll(), QDir::toNativeSeparators(books + "sample/pages/welcome.html").toLocal8Bit() + "\r\n");
    }

    void installedProgramsAnswerOnTheCommandLineWithoutAScreen()
    {
        QProcessEnvironment noScreen = QProcessEnvironment::systemEnvironment();
        noScreen.remove("DISPLAY");
        noScreen.remove("WAYLAND_DISPLAY");
        noScreen.remove("QT_QPA_PLATFORM");
        const Run version = run(m_usr + "/bin/kobin", {"--version"}, noScreen);
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.out, QString("Kobin " KOBIN_VERSION "\n"));

        const Run help = run(m_usr + "/bin/kobin", {"--help"}, noScreen);
        QCOMPARE(help.exitCode, 0);
        QVERIFY2(help.out.contains("--version") && help.out.contains("BOOK.iis"), qPrintable(help.out));

        const Run tree = run(m_usr + "/bin/kobin-cli", {"tree", m_usr + "/share/kobin/sample/sample.iis"}, noScreen);
        QCOMPARE(tree.exitCode, 0);
        QVERIFY(tree.out.contains("\ta1\troot\n"));

        // The capture plugin is found where it was installed: the capture gets as far as the network.
        QTemporaryDir home;
        QFile::copy(m_usr + "/share/kobin/sample/sample.iis", home.filePath("sample.iis"));
        noScreen.insert("KOBIN_HOME", home.path());
        const Run capture = run(m_usr + "/bin/kobin-cli", {"capture", home.filePath("sample.iis"), "http://127.0.0.1:1/"}, noScreen);
        QCOMPARE(capture.exitCode, 1);
        QVERIFY2(capture.err.contains("ホームページ「 http://127.0.0.1:1/ 」に接続できません。"), qPrintable(capture.err));
    }

    void debianPackageHoldsTheInstallAndDependsOnTheLibrariesItLinks()
    {
        QTemporaryDir packages;
        // Not compressed: the sanitizer build's programs are large, and this package is read, never shipped.
        const Run packed = run("cpack", {"-G", "DEB", "-D", "CPACK_DEBIAN_COMPRESSION_TYPE=none", "-B", packages.path(),
                                         "--config", KOBIN_BUILD_DIR "/CPackConfig.cmake"});
        QVERIFY2(packed.exitCode == 0, qPrintable(packed.out + packed.err));
        const QStringList debs = QDir(packages.path()).entryList({"kobin_*.deb"});
        QCOMPARE(debs.size(), 1);
        const QString deb = packages.path() + "/" + debs.first();

        // Its dependencies are what dpkg-shlibdeps found in the programs, not a list of ours.
        const Run depends = run("dpkg-deb", {"--field", deb, "Depends"});
        for (const char *library : {"libqt6widgets6", "libqt6webenginewidgets6", "libqt6help6", "libuchardet0", "libc6"})
            QVERIFY2(depends.out.contains(library), qPrintable(depends.out));

        // Unpacked, it holds what the install put in the staging folder, file for file.
        QVERIFY(run("dpkg-deb", {"-x", deb, packages.path() + "/root"}).exitCode == 0);
        const auto filesUnder = [](const QString &folder) {
            QStringList files;
            QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
            while (it.hasNext())
                files << QDir(folder).relativeFilePath(it.next());
            files.sort();
            return files;
        };
        QCOMPARE(filesUnder(packages.path() + "/root/usr"), filesUnder(m_usr));
        const Run version = run(packages.path() + "/root/usr/bin/kobin", {"--version"});
        QCOMPARE(version.out, QString("Kobin " KOBIN_VERSION "\n"));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "tst_install.moc"
