#include "BrowserPane.h"

#include "PageSafety.h"

#include <QStackedLayout>
#include <QWebEngineHistory>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace kobin {

namespace {

// Runs its pages under PageSafety's rules and tells the pane about every
// main-frame navigation before it happens; never refuses one.
class NotifyingPage : public QWebEnginePage
{
public:
    NotifyingPage(BrowserPane *pane, QObject *parent) : QWebEnginePage(parent), m_pane(pane)
    {
        pagesafety::applySettings(settings());
        setUrlRequestInterceptor(new pagesafety::RequestFilter(this));
    }

protected:
    bool acceptNavigationRequest(const QUrl &url, NavigationType, bool isMainFrame) override
    {
        if (isMainFrame)
            m_pane->beginNavigation(url);
        return true;
    }

private:
    BrowserPane *m_pane;
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
    }
    return m_view;
}

void BrowserPane::beginNavigation(const QUrl &url)
{
    emit navigationStarting(url);
}

void BrowserPane::navigate(const QUrl &url)
{
    view()->setUrl(url);
}

QString BrowserPane::title() const
{
    return m_view ? m_view->title() : QString();
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
    if (m_view)
        m_view->reload();
}

} // namespace kobin
