#pragma once

#include "PageCapturer.h"
#include "PageCleaning.h"

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <chrono>
#include <memory>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;

namespace kobin::capture {

class CaptureRequestFilter;

// What a capture may take, counted as it arrives, so that no answer of a server
// grows the program or the page's renderer past about 1 GB.
struct CaptureLimits {
    // The page's HTML itself: parsed, it takes ten times as much memory.
    static constexpr qint64 kPageBytes = 40LL * 1024 * 1024;

    std::chrono::milliseconds time{30000};     // to load the page, and again to save it
    qint64 bytes = 200LL * 1024 * 1024;        // what the saved page or file may hold
    qint64 pageBytes = kPageBytes;
    qint64 rendererBytes = 512LL * 1024 * 1024; // the page's renderer while it loads and is saved
};

// Captures with the web engine, in an off-the-record profile of its own: no
// cookies or cache outlive the program, the network is open only while a capture
// loads, pages open no windows and nothing is downloaded but the page's own save.
// The address is first asked for directly, to learn its status and what it holds:
// an error page fails, a file that is no web page (a picture, a PDF) is saved as
// it is, and a web page is loaded, scripts and all, and saved as rendered, its
// scripts and whatever it names on this computer taken out once they have run
// (see pageCleaningScript): as "index.html" with the engine's "index_files/"
// folder, or as "index.mhtml".
// Needs a QGuiApplication and the OpenGL context the web engine shares (see loadProgramPlugin).
class WebPageCapturer : public QObject, public PageCapturer
{
    Q_OBJECT

public:
    explicit WebPageCapturer(CaptureLimits limits = CaptureLimits());
    ~WebPageCapturer() override;

    void start(const QUrl &url, const QString &folder, Format format, ProgressCall progress,
               DoneCall done) override;
    void cancel() override;
    bool isBusy() const override { return m_stage != Stage::Idle; }

private:
    // Measuring: the page's HTML is read, and counted, before the engine loads it.
    enum class Stage { Idle, Asking, Fetching, Measuring, Loading, Saving, Ending };

    void answerArrived();
    void fetchedPart();
    void measuredPart();
    void watch();
    void failTooLarge(qint64 bound);
    void askingFinished();
    void loadPage(const QUrl &url);
    void pageLoaded(bool ok);
    void savePage();
    void downloadRequested(QWebEngineDownloadRequest *download);
    void downloadChanged();
    void savedPage();
    void tellProgress(Progress::Stage stage, int files);
    void fail(const QString &message);
    void end(Outcome outcome);
    void complete();
    void dropReply();

    QString named(const QString &what) const;

    CaptureLimits m_limits;
    Stage m_stage = Stage::Idle;
    QWebEngineProfile *m_profile = nullptr; // owned; outlives its pages
    CaptureRequestFilter *m_filter = nullptr;
    std::unique_ptr<QWebEnginePage> m_page; // the last capture's, until the next starts
    std::unique_ptr<QNetworkAccessManager> m_network;
    QPointer<QNetworkReply> m_reply;
    QPointer<QWebEngineDownloadRequest> m_download;
    QFile m_file; // a file that is no web page, as it arrives
    qint64 m_fileBytes = 0; // of the file, or of the page's HTML, so far
    QTimer m_deadline;
    QTimer m_watchdog; // the renderer's memory and what the save has written, while they grow
    QUrl m_url;
    QString m_folder;
    QString m_savedPage;
    Format m_format = Format::CompletePage;
    ProgressCall m_progress;
    DoneCall m_done;
    int m_files = 0;
    Outcome m_outcome;
    PageCleaning m_cleaning; // what the page lost before it was saved
};

} // namespace kobin::capture
