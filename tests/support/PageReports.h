#pragma once

#include "BrowserPane.h"
#include "EventLoopWait.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

// A test page reports by setting its title to "done " and a JSON object of its
// findings. Opens page in the pane and waits for its report and for the end of
// its loading; false when neither came within timeout.
inline bool openAndWaitForReport(kobin::BrowserPane &pane, const QUrl &page, int timeout,
                                 QJsonObject *results = nullptr)
{
    QSignalSpy finished(&pane, &kobin::BrowserPane::loadFinished);
    pane.navigate(page);
    if (!waitUntil([&] { return !finished.isEmpty() && pane.title().startsWith(QStringLiteral("done ")); }, timeout))
        return false;
    if (results)
        *results = QJsonDocument::fromJson(pane.title().mid(5).toUtf8()).object();
    return true;
}

// Opens page, a blank one titled "blank", and waits until it shows and has stopped
// loading: whatever the page before it was still loading has ended by then too.
inline bool openBlankPage(kobin::BrowserPane &pane, const QUrl &page, int timeout)
{
    pane.navigate(page);
    const auto *view = pane.findChild<QWebEngineView *>();
    return view && waitUntil([&] { return pane.title() == QLatin1String("blank") && !view->page()->isLoading(); }, timeout);
}
