#include "BrowserPane.h"

#include "PageMenu.h"
#include "PageSafety.h"

#include <QApplication>
#include <QChildEvent>
#include <QLabel>
#include <QMenu>
#include <QStackedLayout>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <csignal>
#include <cstdio>
#include <memory>
#include <utility>

namespace kobin {

namespace {

// How long a page that still loads has to answer the pane before it is given up.
constexpr int kAnswerMilliseconds = 2000;

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
    NotifyingPage(BrowserPane *pane, QWebEngineView *view) : QWebEnginePage(view), m_pane(pane), m_view(view)
    {
        pagesafety::applySettings(settings());
        pagesafety::withholdPeerConnections(scripts());
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
                QMetaObject::invokeMethod(m_pane, [pane = m_pane, target] { emit pane->externalAddressRequested(target); },
                                          Qt::QueuedConnection);
            return false;
        }
        // A server sending an accepted web address on to another one continues that navigation.
        const bool serverRedirect = type == NavigationTypeRedirect && m_webNavigationPending;
        if (!serverRedirect && !pagesafety::allowsMainFrameNavigation(url(), target, type, userActed))
            return false;
        m_webNavigationPending = !target.isLocalFile();
        // A reload shows the same page again: its side text, and a source being edited, stay.
        if (type != NavigationTypeReload)
            m_pane->beginNavigation(target);
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
    BrowserPane *m_pane;
    QWebEngineView *m_view;
    // The user clicked or typed into the page since its last main-frame navigation.
    bool m_userActed = false;
    // A web address was let into the main frame and has not finished loading.
    bool m_webNavigationPending = false;
};

} // namespace

BrowserPane::BrowserPane(QWidget *parent) : QWidget(parent), m_layout(new QStackedLayout(this))
{
    setObjectName(QStringLiteral("brwWebBrowser"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_loadBound.setSingleShot(true);
    m_loadBound.setInterval(kLongestLoadMilliseconds);
    connect(&m_loadBound, &QTimer::timeout, this, &BrowserPane::checkPageAnswers);
}

QWebEngineView *BrowserPane::view()
{
    if (!m_view) {
        pagesafety::applyEngineSwitches();
        m_view = new QWebEngineView(this);
        m_view->setPage(new NotifyingPage(this, m_view));
        prepareContextMenu(*m_view->page());
        m_view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &position) {
            QMenu *menu = m_view->createStandardContextMenu();
            if (!m_contextActions.isEmpty()) {
                menu->addSeparator();
                menu->addActions(m_contextActions);
            }
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(m_view->mapToGlobal(position));
        });
        m_layout->addWidget(m_view);
        connect(m_view, &QWebEngineView::loadProgress, this, [this](int percent) {
            emit statusTextChanged(QStringLiteral("読み込み中... %1%").arg(percent));
        });
        connect(m_view, &QWebEngineView::loadStarted, this, [this] {
            m_loading = true;
            m_loadBound.start();
        });
        connect(m_view, &QWebEngineView::loadFinished, this, [this] {
            m_loading = false;
            m_loadBound.stop();
            emit loadFinished();
        });
        connect(m_view->page(), &QWebEnginePage::linkHovered, this, &BrowserPane::statusTextChanged);
        connect(m_view->page(), &QWebEnginePage::renderProcessTerminated, this,
                [this](QWebEnginePage::RenderProcessTerminationStatus status, int) { renderProcessEnded(status); });
    }
    return m_view;
}

void BrowserPane::showNote(const QString &text)
{
    if (!m_note) {
        m_note = new QLabel(this);
        m_note->setObjectName(QStringLiteral("lblPageNote"));
        m_note->setTextFormat(Qt::PlainText);
        m_note->setAlignment(Qt::AlignCenter);
        m_note->setWordWrap(true);
        m_layout->addWidget(m_note);
    }
    m_note->setText(text);
    m_layout->setCurrentWidget(m_note);
}

void BrowserPane::showRefusal(const QUrl &url)
{
    constexpr int shownLength = 200;
    QString address = url.toDisplayString();
    if (address.size() > shownLength)
        address = address.left(shownLength) + QStringLiteral("…");
    showNote(QStringLiteral("このアドレスはページではないため開きません。\n\n") + address);
}

void BrowserPane::renderProcessEnded(QWebEnginePage::RenderProcessTerminationStatus status)
{
    m_loading = false;
    m_loadBound.stop();
    if (std::exchange(m_endingStuckPage, false)) {
        showNote(QStringLiteral("ページが応答しないため、表示をやめました。"));
    } else if (status != QWebEnginePage::NormalTerminationStatus) {
        // The page is gone, the program and its notes are not.
        showNote(QStringLiteral("ページを表示するプロセスが終了したため、ページを表示できません。\n\n"
                                "「更新」でもう一度表示します。"));
    } else {
        return;
    }
    emit loadFinished();
}

void BrowserPane::checkPageAnswers()
{
    // A page may wait for a slow server as long as it likes, and its process still
    // answers meanwhile; one that does not is held by a script of its own and would
    // hold every page after it, as all local pages share that process.
    auto answered = std::make_shared<bool>(false);
    m_view->page()->runJavaScript(QStringLiteral("0"), QWebEngineScript::ApplicationWorld,
                                  [answered](const QVariant &) { *answered = true; });
    QTimer::singleShot(kAnswerMilliseconds, this, [this, answered] {
        if (!m_loading)
            return;
        if (*answered) {
            m_loadBound.start();
            return;
        }
        const auto process = static_cast<pid_t>(m_view->page()->renderProcessPid());
        if (process <= 0)
            return;
        m_endingStuckPage = true;
        ::kill(process, SIGKILL);
    });
}

void BrowserPane::beginNavigation(const QUrl &url)
{
    if (m_view)
        m_layout->setCurrentWidget(m_view);
    emit navigationStarting(url);
}

void BrowserPane::navigate(const QUrl &url)
{
    if (!pagesafety::isOpenableAddress(url)) {
        showRefusal(url);
        // Nothing loads, but whoever waits for the page learns that it is done.
        QMetaObject::invokeMethod(this, &BrowserPane::loadFinished, Qt::QueuedConnection);
        return;
    }
    QWebEngineView *engine = view();
    m_layout->setCurrentWidget(engine);
    engine->setUrl(url);
}

QString BrowserPane::title() const
{
    if (!m_view || m_layout->currentWidget() != m_view)
        return QString();
    return m_view->title();
}

bool BrowserPane::canGoBack() const
{
    return m_view && m_view->history()->canGoBack();
}

bool BrowserPane::canGoForward() const
{
    return m_view && m_view->history()->canGoForward();
}

void BrowserPane::goBack()
{
    if (canGoBack())
        m_view->back();
}

void BrowserPane::goForward()
{
    if (canGoForward())
        m_view->forward();
}

void BrowserPane::reload()
{
    if (!m_view)
        return;
    m_layout->setCurrentWidget(m_view);
    m_view->reload();
}

bool BrowserPane::hasFocusedPage() const
{
    const QWidget *focused = QApplication::focusWidget();
    return m_view && m_layout->currentWidget() == m_view && isVisible() && focused
        && (focused == m_view || m_view->isAncestorOf(focused));
}

void BrowserPane::triggerPageAction(QWebEnginePage::WebAction action)
{
    if (m_view)
        m_view->page()->triggerAction(action);
}

void BrowserPane::findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found)
{
    if (!m_view) {
        found(0, 0);
        return;
    }
    const QWebEnginePage::FindFlags flags = backward ? QWebEnginePage::FindBackward : QWebEnginePage::FindFlags();
    m_view->page()->findText(text, flags, [found](const QWebEngineFindTextResult &result) {
        found(result.activeMatch(), result.numberOfMatches());
    });
}

} // namespace kobin
