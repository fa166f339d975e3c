#include "MainWindow.h"

#include "BrowserPane.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "Icons.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "ToolbarLayout.h"
#include "ToolbarRows.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace kobin {

MainWindow::MainWindow(ItemTree &tree, TreeEditor &editor, CommandState &commandState, QWidget *parent)
    : QMainWindow(parent), m_commandState(commandState), m_commands(commandState.commands())
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(programIcon());
    m_treePane = new TreePane(tree, editor, iconFor);
    m_textPane = new TextPane;
    m_browserPane = new BrowserPane;
    // The toolbar sits above the workspace, as tall as its rows of buttons at the window's width.
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_toolBar = new ToolbarRows(central);
    column->addWidget(m_toolBar);
    m_workspace = new Workspace(m_treePane, m_browserPane, m_textPane, central);
    column->addWidget(m_workspace, 1);
    setCentralWidget(central);
    m_saveSourceButton = new QPushButton(QStringLiteral("上書き保存"));
    m_saveSourceButton->setObjectName(QStringLiteral("cmdSaveHtml"));
    m_saveSourceButton->hide();
    m_workspace->setCornerButton(m_saveSourceButton);

    m_status = new StatusPanels(this);
    m_status->setInsertModeSource([this] { return !m_textPane->overwriteMode(); });
    setStatusBar(m_status);

    buildMenus();
    buildToolbarActions();
    setToolbarLayout(toolbarlayout::defaultLayout());
    bindViewCommands();
    for (const CommandRow &row : commandRows())
        mirrorCommand(row.command);

    connect(&m_commands, &CommandRegistry::stateChanged, this, &MainWindow::mirrorCommand);
    connect(&m_commandState, &CommandState::tabsChanged, this, &MainWindow::mirrorTabs);
    connect(m_textPane, &TextPane::focusEntered, this, [this] { m_activePane = Pane::Text; });
    connect(m_treePane, &TreePane::focusEntered, this, [this] { m_activePane = Pane::Tree; });
    connect(m_workspace, &Workspace::tabChosen, &m_commandState, &CommandState::selectTab);

    const TwipsScale scale = TwipsScale::of(this);
    setMinimumSize(scale.pxX(kMinimumWindowWidth), scale.pxY(kMinimumWindowHeight));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenus()
{
    for (const Menu &menu : menus()) {
        QMenu *shown = menuBar()->addMenu(menu.caption);
        shown->setObjectName(menu.objectName);
        for (const MenuItem &item : menu.items) {
            if (!item.command) {
                shown->addSeparator()->setVisible(!item.hiddenSeparator);
                continue;
            }
            const CommandRow &row = commandRow(*item.command);
            QAction *action = row.caption == QLatin1String("-") ? shown->addSeparator() : shown->addAction(row.caption);
            action->setObjectName(row.objectName);
            action->setVisible(!row.hidden);
            QList<QKeySequence> shortcuts;
            for (const QString &shortcut : row.shortcut.split(u';', Qt::SkipEmptyParts))
                shortcuts.append(QKeySequence(shortcut));
            action->setShortcuts(shortcuts);
            action->setCheckable(row.checkable);
            const Command command = row.command;
            connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
            m_menuActions[static_cast<size_t>(command)] = action;
        }
    }
}

QWidget *MainWindow::toolBar() const
{
    return m_toolBar;
}

QMenu *MainWindow::menu(const QString &objectName) const
{
    return menuBar()->findChild<QMenu *>(objectName);
}

void MainWindow::buildToolbarActions()
{
    for (const CommandRow &row : commandRows()) {
        if (row.toolbarKey.isEmpty())
            continue;
        auto *action = new QAction(iconFor(row.icon), row.toolTip, this);
        action->setObjectName(QStringLiteral("tb_") + row.toolbarKey);
        action->setToolTip(row.toolTip);
        action->setCheckable(row.style != ButtonStyle::Push);
        const Command command = row.command;
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        m_buttonActions[static_cast<size_t>(command)] = action;
    }
}

void MainWindow::setToolbarLayout(const QStringList &layout)
{
    m_toolBar->clear();
    for (const QString &key : layout) {
        if (key == toolbarlayout::Separator)
            m_toolBar->addSeparator();
        else if (const auto command = commandForToolbarKey(key))
            m_toolBar->addAction(buttonAction(*command));
    }
    if (m_toolbarLayout != layout) {
        m_toolbarLayout = layout;
        emit toolbarLayoutChanged(layout);
    }
}

void MainWindow::runCommand(Command command)
{
    m_commands.run(command);
    mirrorCommand(command); // a check mark shows the command's state, not the click
}

void MainWindow::mirrorCommand(Command command)
{
    if (QAction *menu = menuAction(command)) {
        menu->setEnabled(m_commands.isEnabled(command, Surface::Menu));
        menu->setChecked(m_commands.isChecked(command));
    }
    if (QAction *button = buttonAction(command)) {
        button->setEnabled(m_commands.isEnabled(command, Surface::Button));
        const bool mixed = m_commands.isMixed(command);
        button->setChecked(m_commands.isPressed(command) && !mixed);
        const QString &icon = commandRow(command).icon;
        button->setIcon(mixed ? mixedIconFor(icon) : iconFor(icon));
    }
}

void MainWindow::mirrorTabs()
{
    const bool arrangementChanges = m_workspace->tabKeys() != m_commandState.tabs()
        || m_workspace->selectedTab() != m_commandState.selectedTab();
    m_workspace->setTabs(m_commandState.tabs(), m_commandState.selectedTab());
    if (arrangementChanges)
        m_workspace->applyArrangement();
}

void MainWindow::showArrangement(const QString &tab)
{
    m_commandState.selectTab(tab);
    mirrorTabs();
    m_workspace->applyArrangement();
}

void MainWindow::setTreeShown(bool shown)
{
    m_commands.setChecked(Command::ViewTree, shown);
    m_workspace->setTreeShown(shown);
}

void MainWindow::setToolbarShown(bool shown)
{
    m_commands.setChecked(Command::ViewToolbar, shown);
    m_toolBar->setVisible(shown);
    m_workspace->relayout();
}

void MainWindow::setStatusBarShown(bool shown)
{
    m_commands.setChecked(Command::ViewStatusBar, shown);
    m_status->setVisible(shown);
    m_workspace->relayout();
}

void MainWindow::bindViewCommands()
{
    m_commands.setChecked(Command::ViewTree, true);
    m_commands.setChecked(Command::ViewToolbar, true);
    m_commands.setChecked(Command::ViewStatusBar, true);
    m_commands.bind(Command::ViewTree, [this] { setTreeShown(!m_workspace->isTreeShown()); });
    m_commands.bind(Command::ViewToolbar, [this] { setToolbarShown(!m_commands.isChecked(Command::ViewToolbar)); });
    m_commands.bind(Command::ViewStatusBar,
                    [this] { setStatusBarShown(!m_commands.isChecked(Command::ViewStatusBar)); });
    m_commands.bind(Command::FileClose, [this] { close(); });
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closeRequest && !m_closeRequest()) {
        event->ignore();
        return;
    }
    if (m_unload)
        m_unload();
    event->accept();
}

} // namespace kobin
