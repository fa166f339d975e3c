#pragma once

#include <QString>
#include <QUrl>
#include <functional>

namespace kobin::capture {

// How a captured page is kept: the page with a folder of its files, as browsers
// save a complete page, or one MHTML file.
enum class Format { CompletePage, SingleFile };

// How far a capture has come, for the status bar.
struct Progress {
    enum class Stage { Loading, Saving };
    Stage stage = Stage::Loading;
    int files = 0; // the page's own files loaded or saved so far
};

// How a capture ended.
struct Outcome {
    enum class Result { Captured, Failed, Cancelled };
    Result result = Result::Failed;
    QString message; // Failed: what to tell the user, in the program's own words
    QString page;    // Captured: the saved page (or file), inside the folder given to start()
    QString title;   // Captured: the page's title; empty when it has none
    int localReferencesLeftOut = 0; // Captured: what the page named on this computer, not taken
};

// Loads a web page (http: or https:) and saves it, as rendered, into a folder.
// The program answers with the web engine, tests with a script.
class PageCapturer
{
public:
    using ProgressCall = std::function<void(const Progress &)>;
    using DoneCall = std::function<void(const Outcome &)>;

    virtual ~PageCapturer() = default;

    // Starts capturing url into folder, which exists and is empty. done is called
    // once, from the event loop, never from within start(). A failed or cancelled
    // capture leaves folder as it found it.
    virtual void start(const QUrl &url, const QString &folder, Format format, ProgressCall progress,
                       DoneCall done) = 0;
    // Stops the capture under way; its done follows with Cancelled.
    virtual void cancel() = 0;
    virtual bool isBusy() const = 0;
};

} // namespace kobin::capture
