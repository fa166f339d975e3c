#include "BrowserPane.h"
#include "BrowserSandbox.h"
#include "TestFiles.h"
#include "WebEngineSurface.h"

#include <QApplication>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>
#include <unistd.h>

// The browser started the way the program starts it, without the sandbox switch
// the other tests are given: run as root, the engine must not end the process.
class TestBrowserAsRoot : public QObject
{
    Q_OBJECT

private slots:
    void aPageOpensWhenRunAsRoot()
    {
        if (geteuid() != 0)
            QSKIP("only a process running as root meets the engine's refusal");
        QTemporaryDir dir;
        writeText(dir.filePath("page.html"), "<title>Root</title><p>shown</p>");
        kobin::BrowserPane pane;
        onWebEngine(pane);
        pane.resize(400, 300);
        pane.show();
        QSignalSpy loaded(&pane, &kobin::BrowserPane::loadFinished);
        pane.navigate(QUrl::fromLocalFile(dir.filePath("page.html")));
        QVERIFY(loaded.wait(60000));
        QTRY_COMPARE_WITH_TIMEOUT(pane.title(), QString("Root"), 10000);
    }
};

int main(int argc, char *argv[])
{
    qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    kobin::keepBrowserFromEndingTheProgram();
    QApplication app(argc, argv);
    TestBrowserAsRoot test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_browserasroot.moc"
