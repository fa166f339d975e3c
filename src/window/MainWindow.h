#pragma once

#include "Commands.h"
#include "Layout.h"

#include <QMainWindow>
#include <array>
#include <functional>

class QMenu;
class QPushButton;

namespace kobin {

class BrowserPane;
class CommandRegistry;
class CommandState;
class ItemTree;
class StatusPanels;
class TextPane;
class ToolbarRows;
class TreeEditor;
class TreePane;
class Workspace;

// The main window: lays out the panes, builds the menus and the toolbar from the
// command table and mirrors the commands' state. It holds no book; the areas bind
// their own commands, the window only its view toggles and its close.
class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    MainWindow(ItemTree &tree, TreeEditor &editor, CommandState &commandState, QWidget *parent = nullptr);
    ~MainWindow() override;

    TreePane *treePane() const { return m_treePane; }
    TextPane *textPane() const { return m_textPane; }
    BrowserPane *browserPane() const { return m_browserPane; }
    Workspace *workspace() const { return m_workspace; }
    StatusPanels *statusPanels() const { return m_status; }
    QWidget *toolBar() const; // its buttons in rows (ToolbarRows)
    // "上書き保存" of a page's source, shown while the source is being edited.
    QPushButton *saveSourceButton() const { return m_saveSourceButton; }

    Pane activePane() const { return m_activePane; }
    void setActivePane(Pane pane) { m_activePane = pane; }

    QMenu *menu(const QString &objectName) const; // "mnuTree", ...
    QAction *menuAction(Command command) const { return m_menuActions[static_cast<size_t>(command)]; }
    QAction *buttonAction(Command command) const { return m_buttonActions[static_cast<size_t>(command)]; }

    // The toolbar's buttons in order ("-" for a separator).
    QStringList toolbarLayout() const { return m_toolbarLayout; }
    void setToolbarLayout(const QStringList &layout);

    // Selects an arrangement tab and lays the panes out for it.
    void showArrangement(const QString &tab);

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
    // What a menu item or a toolbar button does: the command, then its state on both.
    void runCommand(Command command);
    void mirrorCommand(Command command);
    void mirrorTabs();

    CommandState &m_commandState;
    CommandRegistry &m_commands;
    TreePane *m_treePane;
    TextPane *m_textPane;
    BrowserPane *m_browserPane;
    Workspace *m_workspace;
    StatusPanels *m_status;
    ToolbarRows *m_toolBar;
    QPushButton *m_saveSourceButton;
    std::array<QAction *, kCommandCount> m_menuActions{};
    std::array<QAction *, kCommandCount> m_buttonActions{};
    QStringList m_toolbarLayout;
    Pane m_activePane = Pane::Text;
    std::function<bool()> m_closeRequest;
    std::function<void()> m_unload;
};

} // namespace kobin
