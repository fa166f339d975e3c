#include "BrowserPane.h"

#include "PageSafety.h"

#include <QChildEvent>
#include <QLabel>
#include <QStackedLayout>
#include <QWebEngineFindTextResult>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <utility>

namespace kobin {

namespace {

// Runs its pages under PageSafety's rules and tells the pane about every
// main-frame navigation it lets happen, before it happens.
class NotifyingPage : public QWebEnginePage
{
public:
    NotifyingPage(BrowserPane *pane, QWebEngineView *view) : QWebEnginePage(view), m_pane(pane), m_view(view)
    {
        pagesafety::applySettings(settings());
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
}

QWebEngineView *BrowserPane::view()
{
    if (!m_view) {
        m_view = new QWebEngineView(this);
        m_view->setPage(new NotifyingPage(this, m_view));
        m_layout->addWidget(m_view);
        connect(m_view, &QWebEngineView::loadProgress, this, [this](int percent) {
            emit statusTextChanged(QStringLiteral("読み込み中... %1%").arg(percent));
        });
        connect(m_view, &QWebEngineView::loadFinished, this, &BrowserPane::loadFinished);
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
    if (status == QWebEnginePage::NormalTerminationStatus)
        return;
    // The page is gone, the program and its notes are not.
    showNote(QStringLiteral("ページを表示するプロセスが終了したため、ページを表示できません。\n\n"
                            "「更新」でもう一度表示します。"));
    emit loadFinished();
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
