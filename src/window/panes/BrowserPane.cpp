#include "BrowserPane.h"

#include "EngineSwitches.h"
#include "PageAddress.h"

#include <QApplication>
#include <QLabel>
#include <QStackedLayout>

#include <csignal>
#include <memory>
#include <utility>

namespace kobin {

namespace {

// How long a page that still loads has to answer the pane before it is given up.
constexpr int kAnswerMilliseconds = 2000;
// How long the page shown has to answer when another is asked for: a page held by
// its script would hold the next one too (local pages share a process), and the
// user waits for that one.
constexpr int kLeavingAnswerMilliseconds = 1000;

} // namespace

BrowserPane::BrowserPane(QWidget *parent) : QWidget(parent), m_layout(new QStackedLayout(this))
{
    setObjectName(QStringLiteral("brwWebBrowser"));
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_loadBound.setSingleShot(true);
    m_loadBound.setInterval(kLongestLoadMilliseconds);
    connect(&m_loadBound, &QTimer::timeout, this, &BrowserPane::checkPageAnswers);
}

BrowserPane::~BrowserPane()
{
    // The engine's view goes first, while the pane it reports to is whole.
    if (m_surface)
        delete m_surface->widget();
}

PageSurface *BrowserPane::surface()
{
    if (!m_surface && m_makeSurface) {
        applyEngineSwitches();
        m_surface.reset(m_makeSurface(this, *this));
        if (m_surface) {
            m_surface->setContextActions(m_contextActions);
            m_layout->addWidget(m_surface->widget());
        }
    }
    return m_surface.get();
}

PageSurface *BrowserPane::shownSurface() const
{
    return m_surface && m_layout->currentWidget() == m_surface->widget() ? m_surface.get() : nullptr;
}

void BrowserPane::setContextActions(const QList<QAction *> &actions)
{
    m_contextActions = actions;
    if (m_surface)
        m_surface->setContextActions(actions);
}

void BrowserPane::pageLoadStarted()
{
    m_stage = Stage::Loading;
    m_loadBound.start();
}

void BrowserPane::pageLoadProgress(int percent)
{
    emit statusTextChanged(QStringLiteral("読み込み中... %1%").arg(percent));
}

void BrowserPane::pageLoadFinished()
{
    m_stage = Stage::Idle;
    m_loadBound.stop();
    emit loadFinished();
}

void BrowserPane::pageLinkHovered(const QString &url)
{
    emit statusTextChanged(url);
}

void BrowserPane::externalAddressClicked(const QUrl &url)
{
    emit externalAddressRequested(url);
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

void BrowserPane::pageProcessEnded(bool normal)
{
    const bool endedStuckPage = m_stage == Stage::EndingStuckPage;
    m_stage = Stage::Idle;
    m_loadBound.stop();
    if (endedStuckPage && m_next.isValid()) {
        m_surface->load(std::exchange(m_next, QUrl())); // in a new process; its own loadFinished follows
        return;
    }
    if (endedStuckPage) {
        showNote(QStringLiteral("ページが応答しないため、表示をやめました。"));
    } else if (!normal) {
        // The page is gone, the program and its notes are not.
        showNote(QStringLiteral("ページを表示するプロセスが終了したため、ページを表示できません。\n\n"
                                "「更新」でもう一度表示します。"));
    } else {
        return;
    }
    emit loadFinished();
}

void BrowserPane::endUnlessAnswering(int milliseconds, const std::function<void()> &answered)
{
    auto answer = std::make_shared<bool>(false);
    m_surface->askForAnswer([answer] { *answer = true; });
    const auto process = static_cast<pid_t>(m_surface->renderProcessId());
    QTimer::singleShot(milliseconds, this, [this, answer, answered, process, navigation = m_navigations] {
        // A later page is asked for, the page asked is gone, or it is being ended already.
        if (navigation != m_navigations || process <= 0 || process != m_surface->renderProcessId()
            || m_stage == Stage::EndingStuckPage)
            return;
        if (*answer) {
            answered();
            return;
        }
        m_stage = Stage::EndingStuckPage;
        ::kill(process, SIGKILL);
    });
}

void BrowserPane::checkPageAnswers()
{
    // A page may wait for a slow server as long as it likes, and its process still
    // answers meanwhile; one that does not is held by a script of its own and would
    // hold every page after it, as all local pages share that process.
    if (m_stage != Stage::Loading)
        return;
    endUnlessAnswering(kAnswerMilliseconds, [this] {
        if (m_stage == Stage::Loading)
            m_loadBound.start();
    });
}

// The page shown may be held by its script; rather than wait for it, it is
// ended at once when it does not answer, and url opens in a new process.
void BrowserPane::leaveStuckPageFor(const QUrl &url)
{
    m_next = url;
    endUnlessAnswering(kLeavingAnswerMilliseconds, [this] { m_next.clear(); });
}

void BrowserPane::pageNavigating(const QUrl &url)
{
    m_layout->setCurrentWidget(m_surface->widget());
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
    PageSurface *engine = surface();
    if (!engine) {
        showNote(QStringLiteral("ページを表示する部品を読み込めないため、ページを表示できません。"));
        QMetaObject::invokeMethod(this, &BrowserPane::loadFinished, Qt::QueuedConnection);
        return;
    }
    m_layout->setCurrentWidget(engine->widget());
    ++m_navigations;
    const bool pageShown = engine->renderProcessId() > 0;
    engine->load(url);
    if (pageShown)
        leaveStuckPageFor(url);
}

QString BrowserPane::title() const
{
    const PageSurface *shown = shownSurface();
    return shown ? shown->title() : QString();
}

bool BrowserPane::canGoBack() const
{
    return m_surface && m_surface->canGoBack();
}

bool BrowserPane::canGoForward() const
{
    return m_surface && m_surface->canGoForward();
}

void BrowserPane::goBack()
{
    if (canGoBack())
        m_surface->goBack();
}

void BrowserPane::goForward()
{
    if (canGoForward())
        m_surface->goForward();
}

void BrowserPane::reload()
{
    if (!m_surface)
        return;
    m_layout->setCurrentWidget(m_surface->widget());
    m_surface->reload();
}

bool BrowserPane::hasFocusedPage() const
{
    const QWidget *focused = QApplication::focusWidget();
    const PageSurface *shown = shownSurface();
    return shown && isVisible() && focused
        && (focused == m_surface->widget() || m_surface->widget()->isAncestorOf(focused));
}

void BrowserPane::triggerPageAction(PageAction action)
{
    if (m_surface)
        m_surface->trigger(action);
}

void BrowserPane::findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found)
{
    if (!m_surface) {
        found(0, 0);
        return;
    }
    m_surface->findText(text, backward, found);
}

} // namespace kobin
