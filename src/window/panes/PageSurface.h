#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>

class QAction;
class QWidget;

namespace kobin {

// The page's own editing actions the Edit menu hands to the page shown.
enum class PageAction { Cut, Copy, Paste, SelectAll, Undo, Redo };

// The web engine's view of the page pane, made by the browser plugin the first
// time a page is opened: the program itself links no web engine, so that it starts
// without loading one. BrowserPane keeps what the pane says and when a page is
// given up; the surface runs the pages under the rules for saved pages.
class PageSurface
{
public:
    // What the surface tells the pane, as it happens.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // The main frame is about to open url (never for a reload).
        virtual void pageNavigating(const QUrl &url) = 0;
        virtual void pageLoadStarted() = 0;
        virtual void pageLoadProgress(int percent) = 0;
        virtual void pageLoadFinished() = 0;
        virtual void pageLinkHovered(const QString &url) = 0;
        // normal: the process ended as asked, not by a crash or a kill.
        virtual void pageProcessEnded(bool normal) = 0;
        // The user clicked a link to an address another program opens (mailto: and the like).
        virtual void externalAddressClicked(const QUrl &url) = 0;
    };

    virtual ~PageSurface() = default;

    // The widget that shows the page; the pane lays it out and owns it.
    virtual QWidget *widget() = 0;
    virtual void load(const QUrl &url) = 0;
    virtual QString title() const = 0;
    virtual bool canGoBack() const = 0;
    virtual bool canGoForward() const = 0;
    virtual void goBack() = 0;
    virtual void goForward() = 0;
    virtual void reload() = 0;
    virtual void trigger(PageAction action) = 0;
    virtual void findText(const QString &text, bool backward,
                          const std::function<void(int active, int total)> &found) = 0;
    // Asks the page's process for a trivial answer; answered is called if it answers.
    virtual void askForAnswer(const std::function<void()> &answered) = 0;
    // The process the page runs in; 0 when none.
    virtual qint64 renderProcessId() const = 0;
    // The program's own actions, offered at the end of the page's right-click menu.
    virtual void setContextActions(const QList<QAction *> &actions) = 0;
};

// Makes the surfaces: the browser plugin's, or one a test links in.
class PageSurfaceFactory
{
public:
    virtual ~PageSurfaceFactory() = default;
    // A surface whose widget is a child of parent; nullptr when none can be made.
    virtual PageSurface *createSurface(QWidget *parent, PageSurface::Listener &listener) = 0;
};

} // namespace kobin

#define KOBIN_PAGE_SURFACE_FACTORY_IID "org.kobin.PageSurfaceFactory/1"
Q_DECLARE_INTERFACE(kobin::PageSurfaceFactory, KOBIN_PAGE_SURFACE_FACTORY_IID)
