#pragma once

#include "BookSession.h"
#include "CommandState.h"
#include "ItemTree.h"
#include "TreeEditor.h"

#include <QHash>
#include <QMainWindow>
#include <functional>

class QActionGroup;
class QTimer;
class QToolBar;

namespace kobin {

class BrowserPane;
class StatusPanels;
class TextPane;
class TreePane;
class Workspace;

// The main window: lays out the panes, builds the menus and the toolbar from the
// command vocabulary, and runs the command bound to each. The areas bind their
// own commands; this class holds none of them.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(BookSession &session, QWidget *parent = nullptr);
    ~MainWindow() override;

    BookSession &session() { return m_session; }
    ItemTree &tree() { return m_tree; }
    TreePane *treePane() const { return m_treePane; }
    TextPane *textPane() const { return m_textPane; }
    BrowserPane *browserPane() const { return m_browserPane; }
    Workspace *workspace() const { return m_workspace; }
    StatusPanels *statusPanels() const { return m_status; }
    QToolBar *toolBar() const { return m_toolBar; }
    QTimer *pageTimer() const { return m_pageTimer; }

    // The pane that last had the keyboard focus: "text" or "tree".
    const QString &activePane() const { return m_activePane; }
    void setActivePane(const QString &pane) { m_activePane = pane; }

    // Commands, keyed by menu item name; toolbar buttons reach them through the dispatch table.
    void bind(const QString &command, std::function<void()> handler);
    bool runCommand(const QString &command);
    void runToolbarButton(const QString &key);
    QAction *menuAction(const QString &id) const { return m_menuActions.value(id); }
    QAction *buttonAction(const QString &key) const { return m_buttonActions.value(key); }

    // Enables commands and sets the tabs for the kind of the item shown.
    void updateCommandState(const QString &kind);
    CommandState &commandState() { return m_commandState; }
    void syncCommandState();

    // The toolbar's buttons in order ("-" for a separator).
    QStringList toolbarLayout() const { return m_toolbarLayout; }
    void setToolbarLayout(const QStringList &layout);

    void setCaption(const QString &caption);

    void setTreeShown(bool shown);
    void setToolbarShown(bool shown);
    void setStatusBarShown(bool shown);

    // Asked before the window closes; returning false keeps it open.
    void setCloseRequest(std::function<bool()> request) { m_closeRequest = std::move(request); }
    // Run once the close was accepted, before the window goes.
    void setUnloadHandler(std::function<void()> handler) { m_unload = std::move(handler); }

signals:
    void toolbarLayoutChanged(const QStringList &layout);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenus();
    void buildToolbarActions();
    void bindViewCommands();
    void finishPageLoad();

    BookSession &m_session;
    ItemTree m_tree;
    TreeEditor m_editor{m_tree};
    CommandState m_commandState;
    TreePane *m_treePane;
    TextPane *m_textPane;
    BrowserPane *m_browserPane;
    Workspace *m_workspace;
    StatusPanels *m_status;
    QToolBar *m_toolBar;
    QTimer *m_pageTimer;
    QActionGroup *m_alignmentGroup;
    QHash<QString, QAction *> m_menuActions;
    QHash<QString, QAction *> m_buttonActions;
    QHash<QString, std::function<void()>> m_commands;
    QStringList m_toolbarLayout;
    QString m_activePane = QStringLiteral("text");
    std::function<bool()> m_closeRequest;
    std::function<void()> m_unload;
};

} // namespace kobin
