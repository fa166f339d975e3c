#pragma once

#include "PageSurface.h"

class QWebEngineView;

namespace kobin {

// The page pane's surface on the web engine: a view whose pages run under the
// rules of PageSafety (a saved page shows itself but cannot read other local
// files, reach the network, open windows or dialogs, or take the pane elsewhere
// on its own), with the page's own right-click menu in Japanese.
class WebPageSurface : public PageSurface
{
public:
    WebPageSurface(QWidget *parent, Listener &listener);

    QWidget *widget() override;
    void load(const QUrl &url) override;
    QString title() const override;
    bool canGoBack() const override;
    bool canGoForward() const override;
    void goBack() override;
    void goForward() override;
    void reload() override;
    void trigger(PageAction action) override;
    void findText(const QString &text, bool backward,
                  const std::function<void(int active, int total)> &found) override;
    void askForAnswer(const std::function<void()> &answered) override;
    qint64 renderProcessId() const override;
    void setContextActions(const QList<QAction *> &actions) override;

private:
    QWebEngineView *m_view;
    QList<QAction *> m_contextActions;
};

// Makes WebPageSurfaces: what the browser plugin gives, and what tests link in.
class WebPageSurfaces : public QObject, public PageSurfaceFactory
{
    Q_OBJECT
    Q_INTERFACES(kobin::PageSurfaceFactory)

public:
    PageSurface *createSurface(QWidget *parent, PageSurface::Listener &listener) override;
};

} // namespace kobin
