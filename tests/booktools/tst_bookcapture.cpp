// kobin-cli capture's checks around the capture itself, with a capturer from a
// script: what happens to the book while the page loads stops the command.
#include "BookCapture.h"
#include "PageCapturer.h"
#include "RunningBook.h"
#include "SingleInstance.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace kobin;

namespace {

// Writes a page into the folder, does what the test asks while the capture runs,
// and ends it from the event loop.
class ScriptedCapturer : public capture::PageCapturer
{
public:
    explicit ScriptedCapturer(std::function<void()> meanwhile) : m_meanwhile(std::move(meanwhile)) {}

    void start(const QUrl &, const QString &folder, capture::Format, ProgressCall, DoneCall done) override
    {
        writeText(folder + "index.html", "<title>T</title>");
        m_meanwhile();
        m_busy = true;
        QTimer::singleShot(0, [this, folder, done] {
            m_busy = false;
            done({capture::Outcome::Result::Captured, {}, folder + "index.html", "T"});
        });
    }
    void cancel() override {}
    bool isBusy() const override { return m_busy; }

private:
    std::function<void()> m_meanwhile;
    bool m_busy = false;
};

const QByteArray kBook = "|0\\Book=a1+root|a1\\Notes=a2+richtxt|\r\n";

} // namespace

class TestBookCapture : public QObject
{
    Q_OBJECT

private slots:
    // Each failure says why and leaves the book file as it was last written and no page behind.
    void whatHappensToTheBookMeanwhileStopsTheCapture_data()
    {
        QTest::addColumn<QByteArray>("book");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QString>("message"); // "%1": the book file
        QTest::newRow("records that cannot be read") << QByteArray("|0\\Book=a1+root|a9\\Lost=a2+richtxt|\r\n") << ""
            << "「 %1 」の中に読めない項目があるため、取り込みません。Kobin で開いて保存してから取り込んでください。";
        QTest::newRow("the book rewritten") << kBook << "rewrite"
            << "「 %1 」は取り込みの間にほかのプログラムに書き換えられました。もう一度取り込んでください。";
        QTest::newRow("the book opened in Kobin") << kBook << "open"
            << "「 %1 」は Kobin で開かれています。Kobin でブックを閉じてから取り込んでください。";
    }
    void whatHappensToTheBookMeanwhileStopsTheCapture()
    {
        QFETCH(QByteArray, book);
        QFETCH(QString, meanwhile);
        QFETCH(QString, message);
        QTemporaryDir home;
        const QString appPath = home.path() + '/';
        const QString bookPath = appPath + "book.iis";
        writeText(bookPath, book);
        const QByteArray rewritten = book + "|a1\\Added=a3+richtxt|";
        std::optional<SingleInstance> running;
        int capturesStarted = 0;
        const CapturerMaker makeCapturer = [&](QString *) {
            return std::make_unique<ScriptedCapturer>([&] {
                ++capturesStarted;
                if (meanwhile == "rewrite")
                    writeText(bookPath, rewritten);
                if (meanwhile == "open") { // as the running program holds it
                    running.emplace(SingleInstance::lockPathFor(appPath));
                    writeText(runningBookMarkerPath(appPath), bookPath.toUtf8() + "\nbook\n");
                }
            });
        };
        const CommandOutcome outcome =
            captureCommand({bookPath, "https://example.com/"}, programFoldersAt(appPath), makeCapturer);
        QCOMPARE(outcome.status, 1);
        QCOMPARE(outcome.out, QString());
        QCOMPARE(outcome.err, QString(message).arg(bookPath) + '\n');
        QCOMPARE(capturesStarted, meanwhile.isEmpty() ? 0 : 1);
        QCOMPARE(readText(bookPath), meanwhile == "rewrite" ? rewritten : book);
        QCOMPARE(QDir(appPath + "book").entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestBookCapture)
#include "tst_bookcapture.moc"
