#include "MainWindow.h"

#include "BrowserPane.h"
#include "Commands.h"
#include "Icons.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "ToolbarLayout.h"
#include "TreePane.h"
#include "Twips.h"
#include "Workspace.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QMenuBar>
#include <QTimer>
#include <QToolBar>

namespace kobin {

MainWindow::MainWindow(BookSession &session, QWidget *parent) : QMainWindow(parent), m_session(session)
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowIcon(programIcon());
    m_treePane = new TreePane(m_tree, m_editor, iconFor);
    m_textPane = new TextPane;
    m_browserPane = new BrowserPane;
    m_workspace = new Workspace(m_treePane, m_browserPane, m_textPane, this);
    setCentralWidget(m_workspace);

    m_status = new StatusPanels(this);
    m_status->setInsertModeSource([this] { return !m_textPane->overwriteMode(); });
    setStatusBar(m_status);

    m_toolBar = new QToolBar(QStringLiteral("tbToolBar"), this);
    m_toolBar->setObjectName(QStringLiteral("tbToolBar"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(20, 20));
    m_toolBar->toggleViewAction()->setEnabled(false);
    addToolBar(Qt::TopToolBarArea, m_toolBar);

    m_pageTimer = new QTimer(this);
    m_pageTimer->setObjectName(QStringLiteral("timTimer"));
    m_pageTimer->setInterval(5);
    connect(m_pageTimer, &QTimer::timeout, this, &MainWindow::finishPageLoad);

    buildMenus();
    buildToolbarActions();
    setToolbarLayout(toolbarlayout::defaultLayout());
    bindViewCommands();

    connect(m_textPane, &TextPane::focusEntered, this, [this] { m_activePane = QStringLiteral("text"); });
    connect(m_treePane, &TreePane::focusEntered, this, [this] { m_activePane = QStringLiteral("tree"); });
    connect(m_workspace, &Workspace::tabChosen, this, [this](const QString &key) { m_commandState.selectTab(key); });

    const TwipsScale scale = TwipsScale::of(this);
    setMinimumSize(scale.pxX(kMinimumWindowWidth), scale.pxY(kMinimumWindowHeight));
}

MainWindow::~MainWindow()
{
    // The tree pane follows m_tree, which goes with the members, before the child widgets.
    delete m_treePane;
}

void MainWindow::buildMenus()
{
    for (const MenuEntry &top : kobin::menuBar()) {
        QMenu *menu = QMainWindow::menuBar()->addMenu(top.caption);
        menu->setObjectName(top.id);
        m_menuActions.insert(top.id, menu->menuAction());
        for (const MenuEntry &entry : top.items) {
            QAction *action = nullptr;
            if (entry.id.isEmpty() || entry.caption == QLatin1String("-")) {
                action = menu->addSeparator();
            } else {
                action = menu->addAction(entry.caption);
                if (!entry.shortcut.isEmpty())
                    action->setShortcut(QKeySequence(entry.shortcut));
                if (entry.checked) {
                    action->setCheckable(true);
                    action->setChecked(true);
                }
                const QString id = entry.id;
                connect(action, &QAction::triggered, this, [this, id] { runCommand(id); });
            }
            action->setVisible(!entry.hidden);
            if (!entry.id.isEmpty()) {
                action->setObjectName(entry.id);
                m_menuActions.insert(entry.id, action);
            }
        }
    }
}

void MainWindow::buildToolbarActions()
{
    m_alignmentGroup = new QActionGroup(this);
    m_alignmentGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const ToolbarEntry &entry : toolbarEntries()) {
        if (entry.style == ButtonStyle::Separator)
            continue;
        auto *action = new QAction(iconFor(entry.image), entry.toolTip, this);
        action->setObjectName(QStringLiteral("tb_") + entry.key);
        action->setToolTip(entry.toolTip);
        action->setCheckable(entry.style == ButtonStyle::Check || entry.style == ButtonStyle::Group);
        if (entry.style == ButtonStyle::Group)
            m_alignmentGroup->addAction(action);
        const QString key = entry.key;
        connect(action, &QAction::triggered, this, [this, key] { runToolbarButton(key); });
        m_buttonActions.insert(entry.key, action);
    }
}

void MainWindow::setToolbarLayout(const QStringList &layout)
{
    m_toolBar->clear();
    for (const QString &key : layout) {
        if (key == toolbarlayout::Separator)
            m_toolBar->addSeparator();
        else if (QAction *action = m_buttonActions.value(key))
            m_toolBar->addAction(action);
    }
    if (m_toolbarLayout != layout) {
        m_toolbarLayout = layout;
        emit toolbarLayoutChanged(layout);
    }
}

void MainWindow::bind(const QString &command, std::function<void()> handler)
{
    m_commands.insert(command, std::move(handler));
}

bool MainWindow::runCommand(const QString &command)
{
    const auto it = m_commands.constFind(command);
    if (it == m_commands.constEnd())
        return false;
    (*it)();
    return true;
}

void MainWindow::runToolbarButton(const QString &key)
{
    const QString command = toolbarCommand(key, !m_session.bookPath.isEmpty());
    if (command.isEmpty())
        return;
    // A failing command never escapes the click.
    try {
        runCommand(command);
    } catch (...) {
    }
}

void MainWindow::updateCommandState(const QString &kind)
{
    m_commandState.update(kind);
    syncCommandState();
}

void MainWindow::syncCommandState()
{
    for (auto it = m_buttonActions.constBegin(); it != m_buttonActions.constEnd(); ++it)
        it.value()->setEnabled(m_commandState.isButtonEnabled(it.key()));
    for (auto it = m_menuActions.constBegin(); it != m_menuActions.constEnd(); ++it)
        it.value()->setEnabled(m_commandState.isMenuEnabled(it.key()));
    const bool arrangementChanges = m_workspace->tabKeys() != m_commandState.tabs()
        || m_workspace->selectedTab() != m_commandState.selectedTab();
    m_workspace->setTabs(m_commandState.tabs(), m_commandState.selectedTab());
    if (arrangementChanges)
        m_workspace->applyArrangement();
}

void MainWindow::setCaption(const QString &caption)
{
    m_session.caption = caption;
    setWindowTitle(caption);
}

void MainWindow::setTreeShown(bool shown)
{
    m_menuActions.value(QStringLiteral("mnuViewTreeView"))->setChecked(shown);
    m_workspace->setTreeShown(shown);
}

void MainWindow::setToolbarShown(bool shown)
{
    m_menuActions.value(QStringLiteral("mnuViewToolbar"))->setChecked(shown);
    m_toolBar->setVisible(shown);
    m_workspace->relayout();
}

void MainWindow::setStatusBarShown(bool shown)
{
    m_menuActions.value(QStringLiteral("mnuViewStatusBar"))->setChecked(shown);
    m_status->setVisible(shown);
    m_workspace->relayout();
}

void MainWindow::bindViewCommands()
{
    // The menu item's own check mark has already flipped when these run.
    bind(QStringLiteral("mnuViewTreeView"), [this] { setTreeShown(!m_workspace->isTreeShown()); });
    bind(QStringLiteral("mnuViewToolbar"), [this] { setToolbarShown(menuAction("mnuViewToolbar")->isChecked()); });
    bind(QStringLiteral("mnuViewStatusBar"),
         [this] { setStatusBarShown(menuAction("mnuViewStatusBar")->isChecked()); });
    bind(QStringLiteral("mnuFileClose"), [this] { close(); });
    bind(commands::ReloadPage, [this] { m_browserPane->reload(); });
}

void MainWindow::finishPageLoad()
{
    if (m_browserPane->isBusy())
        return;
    m_status->setText(m_browserPane->title());
    m_pageTimer->stop();
    m_treePane->setEnabled(true);
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
