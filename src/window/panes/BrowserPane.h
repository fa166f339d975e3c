#pragma once

#include "PageSurface.h"

#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>

class QLabel;
class QStackedLayout;

namespace kobin {

// The web page pane. Its web engine is a surface made the first time a page is
// opened (the program loads it as a plugin then), so that starting the program
// does not pay for it. Pages run under the rules for saved pages: a saved page
// shows itself but cannot read other local files, reach the network or take the
// pane elsewhere on its own.
class BrowserPane : public QWidget, private PageSurface::Listener
{
    Q_OBJECT

public:
    explicit BrowserPane(QWidget *parent = nullptr);
    ~BrowserPane() override;

    // Where the pane's surface comes from: asked the first time a page is opened;
    // nullptr from it (or no maker) leaves the pane saying so.
    using SurfaceMaker = std::function<PageSurface *(QWidget *parent, PageSurface::Listener &listener)>;
    void setSurfaceMaker(SurfaceMaker maker) { m_makeSurface = std::move(maker); }

    // Opens url; an address that is no page (javascript:, data: and the like)
    // opens nothing: the pane says so and loadFinished follows.
    void navigate(const QUrl &url);
    QString title() const;
    bool hasEngine() const { return m_surface != nullptr; }
    bool canGoBack() const;
    bool canGoForward() const;
    void goBack();
    void goForward();
    void reload();
    // A page still loading after this long (kLongestLoadMilliseconds unless set) is
    // asked whether it answers; one that does not is given up and the pane says so.
    static constexpr int kLongestLoadMilliseconds = 10000;
    void setLongestLoad(std::chrono::milliseconds bound) { m_loadBound.setInterval(bound); }

    // Finds text in the page shown, as the browser's own find does, and marks
    // it; found tells which match is marked and how many there are (0 and 0
    // when none, or when no page is shown). Empty text takes the marks away.
    void findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found);

    // Whether the keyboard focus is in the page shown.
    bool hasFocusedPage() const;
    // One of the page's own editing actions (copy, select all, ...), on the page shown.
    void triggerPageAction(PageAction action);
    // The program's own actions, offered at the end of the page's right-click menu.
    void setContextActions(const QList<QAction *> &actions);

signals:
    // The main frame is about to open url (links, back, forward and navigate alike).
    void navigationStarting(const QUrl &url);
    void statusTextChanged(const QString &text);
    void loadFinished();
    // The user clicked a link to an address another program opens (mailto: and the like).
    void externalAddressRequested(const QUrl &url);

private:
    PageSurface *surface();
    // The surface, when it is what the pane shows now.
    PageSurface *shownSurface() const;
    void showNote(const QString &text);
    void showRefusal(const QUrl &url);
    // Asks the page shown whether it answers; one that does not within the time
    // given is ended, its process killed.
    void endUnlessAnswering(int milliseconds, const std::function<void()> &answered);
    void checkPageAnswers();
    void leaveStuckPageFor(const QUrl &url);

    void pageNavigating(const QUrl &url) override;
    void pageLoadStarted() override;
    void pageLoadProgress(int percent) override;
    void pageLoadFinished() override;
    void pageLinkHovered(const QString &url) override;
    void pageProcessEnded(bool normal) override;
    void externalAddressClicked(const QUrl &url) override;

    QStackedLayout *m_layout = nullptr;
    SurfaceMaker m_makeSurface;
    std::unique_ptr<PageSurface> m_surface;
    QList<QAction *> m_contextActions;
    QLabel *m_note = nullptr; // said in place of a page
    QTimer m_loadBound;
    // EndingStuckPage: the pane killed the page's process because the page did not answer.
    enum class Stage { Idle, Loading, EndingStuckPage };
    Stage m_stage = Stage::Idle;
    // The page asked for while the one shown did not answer: opened once that one is ended.
    QUrl m_next;
    int m_navigations = 0; // tells a later navigation from the one an answer was asked for
};

} // namespace kobin
