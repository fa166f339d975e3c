#include "WebPageCapturer.h"

#include "CaptureAddress.h"
#include "CaptureRequestFilter.h"
#include "EngineSwitches.h"
#include "FetchedFileName.h"
#include "LocalCopies.h"
#include "PageCleaning.h"
#include "PeerConnections.h"
#include "RendererMemory.h"

#include <QDir>
#include <QDirIterator>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

namespace kobin::capture {

namespace {

bool isWebPage(const QString &contentType)
{
    const QString type = contentType.section(u';', 0, 0).trimmed().toLower();
    // An answer that names no type is taken for a page, as browsers take it.
    return type.isEmpty() || type == QLatin1String("text/html") || type == QLatin1String("application/xhtml+xml");
}

qint64 bytesIn(const QString &folder)
{
    qint64 bytes = 0;
    QDirIterator files(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        files.next();
        bytes += files.fileInfo().size();
    }
    return bytes;
}

// Empties the folder the capture was given, which it found empty.
void removeContents(const QString &folder)
{
    const QDir dir(folder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
        if (entry.isDir() && !entry.isSymLink())
            QDir(entry.filePath()).removeRecursively();
        else
            QFile::remove(entry.filePath());
    }
}

void applySettings(QWebEngineSettings *settings)
{
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, false);
    settings->setAttribute(QWebEngineSettings::JavascriptCanAccessClipboard, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    settings->setAttribute(QWebEngineSettings::PluginsEnabled, false);
    settings->setAttribute(QWebEngineSettings::ScreenCaptureEnabled, false);
    settings->setAttribute(QWebEngineSettings::WebRTCPublicInterfacesOnly, true);
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, true);
}

// The first profile starts the engine: the switches go first, whichever program captures.
QWebEngineProfile *startedProfile(QObject *parent)
{
    applyEngineSwitches();
    return new QWebEngineProfile(parent);
}

} // namespace

WebPageCapturer::WebPageCapturer(CaptureLimits limits) : m_limits(limits), m_profile(startedProfile(this))
{
    // A profile without a storage name is off the record: cookies and cache live in memory only.
    m_profile->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    m_profile->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    applySettings(m_profile->settings());
    withholdPeerConnections(*m_profile->scripts());
    m_filter = new CaptureRequestFilter(m_profile);
    m_profile->setUrlRequestInterceptor(m_filter);
    connect(m_profile, &QWebEngineProfile::downloadRequested, this, &WebPageCapturer::downloadRequested);
    m_watchdog.setInterval(100);
    connect(&m_watchdog, &QTimer::timeout, this, &WebPageCapturer::watch);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] {
        fail(named(QStringLiteral(" 」が %1 秒以内に読み込めませんでした。"))
                 .arg(std::chrono::duration_cast<std::chrono::seconds>(m_limits.time).count()));
    });
}

WebPageCapturer::~WebPageCapturer()
{
    dropReply();
    if (m_download && !m_download->isFinished())
        m_download->cancel();
    if (m_stage != Stage::Idle && m_stage != Stage::Ending)
        removeContents(m_folder);
    m_page.reset(); // before the profile it runs in
}

QString WebPageCapturer::named(const QString &what) const
{
    return QStringLiteral("ホームページ「 ") + m_url.toDisplayString() + what;
}

void WebPageCapturer::start(const QUrl &url, const QString &folder, Format format, ProgressCall progress,
                            DoneCall done)
{
    m_url = url;
    m_folder = folder.endsWith(u'/') ? folder : folder + u'/';
    m_format = format;
    m_progress = std::move(progress);
    m_done = std::move(done);
    m_files = 0;
    m_fileBytes = 0;
    m_savedPage.clear();
    m_cleaning = {};
    m_page.reset();
    m_stage = Stage::Asking;
    m_deadline.start(m_limits.time);
    tellProgress(Progress::Stage::Loading, 0);

    QString refusal;
    if (!captureAddress(url.toString(), &refusal)) {
        fail(refusal);
        return;
    }
    // Cookies the answer sets live only as long as this capture.
    m_network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    request.setHeader(QNetworkRequest::UserAgentHeader, m_profile->httpUserAgent());
    m_reply = m_network->get(request);
    connect(m_reply, &QNetworkReply::readyRead, this, [this] {
        if (m_stage == Stage::Asking)
            answerArrived();
        else if (m_stage == Stage::Fetching)
            fetchedPart();
        else if (m_stage == Stage::Measuring)
            measuredPart();
    });
    connect(m_reply, &QNetworkReply::finished, this, &WebPageCapturer::askingFinished);
}

void WebPageCapturer::cancel()
{
    if (m_stage == Stage::Idle || m_stage == Stage::Ending)
        return;
    end({Outcome::Result::Cancelled, {}, {}, {}});
}

void WebPageCapturer::tellProgress(Progress::Stage stage, int files)
{
    if (m_progress)
        m_progress({stage, files});
}

void WebPageCapturer::fail(const QString &message)
{
    end({Outcome::Result::Failed, message, {}, {}});
}

// The answer's status and type are known: an error, a file to keep as it is, or a page to load.
void WebPageCapturer::answerArrived()
{
    const QVariant status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (status.isValid() && status.toInt() >= 400) {
        fail(named(QStringLiteral(" 」を取り込めません（%1）。")).arg(status.toInt()));
        return;
    }
    if (m_reply->error() != QNetworkReply::NoError || !status.isValid()) {
        fail(named(QStringLiteral(" 」に接続できません。アドレスと、ネットワークにつながっているかを確かめてください。")));
        return;
    }
    const QString contentType = m_reply->header(QNetworkRequest::ContentTypeHeader).toString();
    const bool page = isWebPage(contentType);
    const qint64 bound = page ? m_limits.pageBytes : m_limits.bytes;
    if (m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > bound) {
        failTooLarge(bound);
        return;
    }
    if (page) {
        m_stage = Stage::Measuring;
        measuredPart();
        return;
    }
    m_stage = Stage::Fetching;
    m_file.setFileName(m_folder + fetchedFileName(m_reply->url(), contentType));
    if (!m_file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        fail(named(QStringLiteral(" 」を保存できません。")));
        return;
    }
    fetchedPart();
}

void WebPageCapturer::fetchedPart()
{
    const QByteArray part = m_reply->readAll();
    m_fileBytes += part.size();
    if (m_fileBytes > m_limits.bytes) {
        failTooLarge(m_limits.bytes);
        return;
    }
    if (m_file.write(part) != part.size())
        fail(named(QStringLiteral(" 」を保存できません。")));
}

// Only counted: the engine asks for the page again, and is watched while it loads it.
void WebPageCapturer::measuredPart()
{
    m_fileBytes += m_reply->readAll().size();
    if (m_fileBytes > m_limits.pageBytes)
        failTooLarge(m_limits.pageBytes);
}

void WebPageCapturer::askingFinished()
{
    if (m_stage == Stage::Asking)
        answerArrived(); // an empty answer, or none at all
    if (m_stage == Stage::Measuring) {
        measuredPart();
        if (m_stage != Stage::Measuring)
            return;
        if (m_reply->error() != QNetworkReply::NoError) {
            fail(named(QStringLiteral(" 」を最後まで読み込めませんでした。")));
            return;
        }
        const QUrl page = m_reply->url(); // where redirects led
        dropReply();
        loadPage(page);
        return;
    }
    if (m_stage != Stage::Fetching)
        return;
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(named(QStringLiteral(" 」を最後まで読み込めませんでした。")));
        return;
    }
    fetchedPart();
    if (m_stage != Stage::Fetching)
        return;
    if (!m_file.flush()) {
        fail(named(QStringLiteral(" 」を保存できません。")));
        return;
    }
    m_file.close();
    end({Outcome::Result::Captured, {}, m_file.fileName(), {}});
}

void WebPageCapturer::dropReply()
{
    if (!m_reply)
        return;
    m_reply->disconnect(this);
    if (m_reply->error() == QNetworkReply::NoError) // one that failed has stopped
        m_reply->abort();
    m_reply->deleteLater();
    m_reply = nullptr;
}

void WebPageCapturer::loadPage(const QUrl &url)
{
    m_stage = Stage::Loading;
    m_filter->open([this](int requests) {
        m_files = requests;
        tellProgress(Progress::Stage::Loading, requests);
    });
    m_page = std::make_unique<QWebEnginePage>(m_profile);
    connect(m_page.get(), &QWebEnginePage::loadFinished, this, &WebPageCapturer::pageLoaded);
    m_page->load(url);
    m_watchdog.start();
}

void WebPageCapturer::watch()
{
    const std::optional<qint64> renderer = RendererMemory(m_page->renderProcessPid()).residentBytes();
    if (renderer && *renderer > m_limits.rendererBytes) {
        fail(named(QStringLiteral(" 」は読み込むのに %1 MB を超えるメモリが要るため、取り込めません。"))
                 .arg(m_limits.rendererBytes / (1024 * 1024)));
        return;
    }
    if (m_stage == Stage::Saving && bytesIn(m_folder) > m_limits.bytes)
        failTooLarge(m_limits.bytes);
}

void WebPageCapturer::failTooLarge(qint64 bound)
{
    fail(named(QStringLiteral(" 」は %1 MB を超えるため、取り込めません。")).arg(bound / (1024 * 1024)));
}

void WebPageCapturer::pageLoaded(bool ok)
{
    if (m_stage != Stage::Loading)
        return;
    if (!ok) {
        fail(named(QStringLiteral(" 」を読み込めませんでした。")));
        return;
    }
    m_outcome.title = m_page->title();
    m_stage = Stage::Saving;
    m_deadline.start(m_limits.time);
    tellProgress(Progress::Stage::Saving, m_files);
    // Kept as its scripts left it, without them and without what it names on this
    // computer. In a world of its own, where the page cannot change what the cleaning calls.
    m_page->runJavaScript(pageCleaningScript(), QWebEngineScript::ApplicationWorld, [this](const QVariant &answer) {
        if (m_stage != Stage::Saving)
            return;
        m_cleaning = pageCleaningFrom(answer);
        savePage();
    });
}

void WebPageCapturer::savePage()
{
    const bool single = m_format == Format::SingleFile;
    m_savedPage = m_folder + (single ? QStringLiteral("index.mhtml") : QStringLiteral("index.html"));
    m_page->save(m_savedPage, single ? QWebEngineDownloadRequest::MimeHtmlSaveFormat
                                     : QWebEngineDownloadRequest::CompleteHtmlSaveFormat);
}

void WebPageCapturer::downloadRequested(QWebEngineDownloadRequest *download)
{
    // Only the page's own save: nothing a page starts itself is downloaded.
    if (m_stage != Stage::Saving || m_download || !download->isSavePageDownload() || download->page() != m_page.get()) {
        download->cancel();
        return;
    }
    m_download = download;
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, &WebPageCapturer::downloadChanged);
    download->accept();
}

void WebPageCapturer::downloadChanged()
{
    if (!m_download || !m_download->isFinished())
        return;
    const bool completed = m_download->state() == QWebEngineDownloadRequest::DownloadCompleted;
    m_download->disconnect(this);
    m_download = nullptr;
    if (m_stage == Stage::Ending) {
        complete();
        return;
    }
    if (!completed) {
        fail(named(QStringLiteral(" 」を保存できません。")));
        return;
    }
    savedPage();
}

void WebPageCapturer::savedPage()
{
    // An MHTML file holds only what the page loaded, which the request filter kept to the web.
    if (m_format == Format::CompletePage && !removeLocalCopies(m_folder, m_cleaning.localFiles)) {
        fail(named(QStringLiteral(" 」を保存できません。")));
        return;
    }
    if (bytesIn(m_folder) > m_limits.bytes) {
        failTooLarge(m_limits.bytes);
        return;
    }
    end({Outcome::Result::Captured, {}, m_savedPage, m_outcome.title, m_cleaning.localReferencesLeftOut});
}

// The first ending counts; the engine's save, once asked to stop, is waited for,
// so that it writes nothing after the folder is emptied.
void WebPageCapturer::end(Outcome outcome)
{
    if (m_stage == Stage::Idle || m_stage == Stage::Ending)
        return;
    m_stage = Stage::Ending;
    m_outcome = std::move(outcome);
    m_deadline.stop();
    m_watchdog.stop();
    m_filter->close();
    dropReply();
    if (m_file.isOpen())
        m_file.close();
    if (m_page)
        m_page->disconnect(this);
    if (m_download && !m_download->isFinished()) {
        m_download->cancel();
        return; // downloadChanged completes
    }
    complete();
}

void WebPageCapturer::complete()
{
    if (m_outcome.result != Outcome::Result::Captured)
        removeContents(m_folder);
    if (m_page)
        m_page->setUrl(QUrl(QStringLiteral("about:blank"))); // its scripts stop
    if (m_network)
        m_network.release()->deleteLater(); // may be inside its reply's signal
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_stage = Stage::Idle;
            const DoneCall done = std::move(m_done);
            m_done = nullptr;
            m_progress = nullptr;
            done(m_outcome);
        },
        Qt::QueuedConnection);
}

} // namespace kobin::capture
