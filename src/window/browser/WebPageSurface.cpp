#include "WebPageSurface.h"

#include "PageMenu.h"
#include "PageSafety.h"
#include "PeerConnections.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <cstdio>
#include <utility>

namespace kobin {

namespace {

// A page's message, told on standard error in place of its dialog: on one short
// line, with nothing that a terminal would take as a command.
void reportUnshownDialog(const char *kind, const QString &message)
{
    constexpr int shownLength = 80;
    QString shown = message.left(shownLength);
    for (QChar &character : shown) {
        if (!character.isPrint())
            character = u' ';
    }
    std::fprintf(stderr, "kobin: a page's %s was not shown: %s\n", kind, shown.toUtf8().constData());
}

// Runs its pages under PageSafety's rules and tells the pane about every
// main-frame navigation it lets happen, before it happens.
class NotifyingPage : public QWebEnginePage
{
public:
    NotifyingPage(PageSurface::Listener &listener, QWebEngineView *view)
        : QWebEnginePage(view), m_listener(listener), m_view(view)
    {
        pagesafety::applySettings(settings());
        capture::withholdPeerConnections(scripts());
        setUrlRequestInterceptor(new pagesafety::RequestFilter(this));
        view->installEventFilter(this);
        connect(this, &QWebEnginePage::loadFinished, this, [this] { m_webNavigationPending = false; });
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ChildAdded:
            // The engine takes the page's mouse and keyboard input in a child of the view.
            if (watched == m_view)
                static_cast<QChildEvent *>(event)->child()->installEventFilter(this);
            break;
        case QEvent::MouseButtonPress:
        case QEvent::KeyPress:
        case QEvent::TouchBegin:
            m_userActed = true;
            break;
        default:
            break;
        }
        return QWebEnginePage::eventFilter(watched, event);
    }

protected:
    bool acceptNavigationRequest(const QUrl &target, NavigationType type, bool isMainFrame) override
    {
        if (!isMainFrame)
            return true; // a frame loads only what the request filter lets through
        const bool userActed = std::exchange(m_userActed, false);
        // mailto: and other programs' addresses are never the engine's to hand to the
        // desktop: the user's own click asks first, a script's start is refused.
        if (!pagesafety::isOpenableAddress(target) && type == NavigationTypeLinkClicked) {
            if (userActed)
                QMetaObject::invokeMethod(
                    this, [this, target] { m_listener.externalAddressClicked(target); }, Qt::QueuedConnection);
            return false;
        }
        // A server sending an accepted web address on to another one continues that navigation.
        const bool serverRedirect = type == NavigationTypeRedirect && m_webNavigationPending;
        if (!serverRedirect && !pagesafety::allowsMainFrameNavigation(url(), target, type, userActed))
            return false;
        m_webNavigationPending = !target.isLocalFile();
        // A reload shows the same page again: its side text, and a source being edited, stay.
        if (type != NavigationTypeReload)
            m_listener.pageNavigating(target);
        return true;
    }

    // No page opens a window, whether a script or a link asks for one.
    QWebEnginePage *createWindow(WebWindowType) override { return nullptr; }

    // Nor a dialog: one after another they would hold the whole program. A question
    // goes unanswered, and a page asking to stay is left all the same.
    void javaScriptAlert(const QUrl &, const QString &message) override { reportUnshownDialog("alert", message); }
    bool javaScriptConfirm(const QUrl &, const QString &message) override
    {
        // The engine asks in these words, through here, before it leaves a page that has a
        // beforeunload handler.
        const QString leaving = QCoreApplication::translate(
            "QWebEnginePage", "Are you sure you want to leave this page? Changes that you made may not be saved.");
        if (message == leaving)
            return true;
        reportUnshownDialog("confirm", message);
        return false;
    }
    bool javaScriptPrompt(const QUrl &, const QString &message, const QString &, QString *) override
    {
        reportUnshownDialog("prompt", message);
        return false;
    }

private:
    PageSurface::Listener &m_listener;
    QWebEngineView *m_view;
    // The user clicked or typed into the page since its last main-frame navigation.
    bool m_userActed = false;
    // A web address was let into the main frame and has not finished loading.
    bool m_webNavigationPending = false;
};

QWebEnginePage::WebAction webAction(PageAction action)
{
    switch (action) {
    case PageAction::Cut: return QWebEnginePage::Cut;
    case PageAction::Copy: return QWebEnginePage::Copy;
    case PageAction::Paste: return QWebEnginePage::Paste;
    case PageAction::SelectAll: return QWebEnginePage::SelectAll;
    case PageAction::Undo: return QWebEnginePage::Undo;
    case PageAction::Redo: return QWebEnginePage::Redo;
    }
    return QWebEnginePage::NoWebAction;
}

} // namespace

WebPageSurface::WebPageSurface(QWidget *parent, Listener &listener) : m_view(new QWebEngineView(parent))
{
    m_view->setPage(new NotifyingPage(listener, m_view));
    prepareContextMenu(*m_view->page());
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(m_view, &QWidget::customContextMenuRequested, m_view, [this](const QPoint &position) {
        QMenu *menu = m_view->createStandardContextMenu();
        if (!m_contextActions.isEmpty()) {
            menu->addSeparator();
            menu->addActions(m_contextActions);
        }
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(m_view->mapToGlobal(position));
    });
    QObject::connect(m_view, &QWebEngineView::loadProgress, m_view,
                     [&listener](int percent) { listener.pageLoadProgress(percent); });
    QObject::connect(m_view, &QWebEngineView::loadStarted, m_view, [&listener] { listener.pageLoadStarted(); });
    QObject::connect(m_view, &QWebEngineView::loadFinished, m_view, [&listener] { listener.pageLoadFinished(); });
    QObject::connect(m_view->page(), &QWebEnginePage::linkHovered, m_view,
                     [&listener](const QString &url) { listener.pageLinkHovered(url); });
    QObject::connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, m_view,
                     [&listener](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                         listener.pageProcessEnded(status == QWebEnginePage::NormalTerminationStatus);
                     });
}

QWidget *WebPageSurface::widget()
{
    return m_view;
}

void WebPageSurface::load(const QUrl &url)
{
    m_view->setUrl(url);
}

QString WebPageSurface::title() const
{
    return m_view->title();
}

bool WebPageSurface::canGoBack() const
{
    return m_view->history()->canGoBack();
}

bool WebPageSurface::canGoForward() const
{
    return m_view->history()->canGoForward();
}

void WebPageSurface::goBack()
{
    m_view->back();
}

void WebPageSurface::goForward()
{
    m_view->forward();
}

void WebPageSurface::reload()
{
    m_view->reload();
}

void WebPageSurface::trigger(PageAction action)
{
    m_view->page()->triggerAction(webAction(action));
}

void WebPageSurface::findText(const QString &text, bool backward,
                              const std::function<void(int active, int total)> &found)
{
    const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    m_view->page()->findText(text, flags, [found](const QWebEngineFindTextResult &result) {
        found(result.activeMatch(), result.numberOfMatches());
    });
}

void WebPageSurface::askForAnswer(const std::function<void()> &answered)
{
    m_view->page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                                  [answered](const QVariant &) { answered(); });
}

qint64 WebPageSurface::renderProcessId() const
{
    return m_view->page()->renderProcessPid();
}

void WebPageSurface::setContextActions(const QList<QAction *> &actions)
{
    m_contextActions = actions;
}

PageSurface *WebPageSurfaces::createSurface(QWidget *parent, PageSurface::Listener &listener)
{
    return new WebPageSurface(parent, listener);
}

} // namespace kobin
