#pragma once

#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWidget>
#include <chrono>
#include <functional>

class QAction;
class QLabel;
class QStackedLayout;
class QWebEngineView;

namespace kobin {

// The web page pane. The browser engine is created the first time a page is
// opened, so that starting the program does not pay for it. Pages run under the
// rules of PageSafety: a saved page shows itself but cannot read other local
// files, reach the network or take the pane elsewhere on its own.
class BrowserPane : public QWidget
{
    Q_OBJECT

public:
    explicit BrowserPane(QWidget *parent = nullptr);

    // Opens url; an address that is no page (javascript:, data: and the like)
    // opens nothing: the pane says so and loadFinished follows.
    void navigate(const QUrl &url);
    QString title() const;
    bool hasEngine() const { return m_view != nullptr; }
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
    void triggerPageAction(QWebEnginePage::WebAction action);

    // Offered at the end of the page's right-click menu.
    void setContextActions(const QList<QAction *> &actions) { m_contextActions = actions; }

    // Called by the page before the main frame opens url.
    void beginNavigation(const QUrl &url);

signals:
    // The main frame is about to open url (links, back, forward and navigate alike).
    void navigationStarting(const QUrl &url);
    void statusTextChanged(const QString &text);
    void loadFinished();
    // The user clicked a link to an address another program opens (mailto: and the like).
    void externalAddressRequested(const QUrl &url);

private:
    QWebEngineView *view();
    void showNote(const QString &text);
    void showRefusal(const QUrl &url);
    void renderProcessEnded(QWebEnginePage::RenderProcessTerminationStatus status);
    void checkPageAnswers();

    QStackedLayout *m_layout = nullptr;
    QWebEngineView *m_view = nullptr;
    QLabel *m_note = nullptr; // said in place of a page
    QList<QAction *> m_contextActions;
    QTimer m_loadBound;
    bool m_loading = false;
    // The pane ended the page's process because the page did not answer.
    bool m_endingStuckPage = false;
};

} // namespace kobin
