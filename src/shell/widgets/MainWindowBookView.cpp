#include "MainWindowBookView.h"

#include "BrowserPane.h"
#include "MainWindow.h"
#include "StatusPanels.h"
#include "TextPane.h"
#include "TreePane.h"
#include "Workspace.h"

#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QUrl>

namespace kobin {

bool MainWindowBookView::saveText(const QString &path)
{
    return m_window.textPane()->saveRichText(path);
}

bool MainWindowBookView::loadText(const QString &path)
{
    return m_window.textPane()->loadRichText(path);
}

void MainWindowBookView::clearText()
{
    m_window.textPane()->clear();
}

float MainWindowBookView::stackedSplit() const
{
    return m_window.workspace()->stackedSplit();
}

void MainWindowBookView::setStackedSplit(float twips)
{
    Workspace *workspace = m_window.workspace();
    workspace->setSplits(workspace->treeWidth(), twips, workspace->sideSplit());
}

float MainWindowBookView::sideSplit() const
{
    return m_window.workspace()->sideSplit();
}

void MainWindowBookView::setSideSplit(float twips)
{
    Workspace *workspace = m_window.workspace();
    workspace->setSplits(workspace->treeWidth(), workspace->stackedSplit(), twips);
}

float MainWindowBookView::contentWidth() const
{
    return m_window.workspace()->lastLayout().content.width;
}

float MainWindowBookView::contentHeight() const
{
    return m_window.workspace()->lastLayout().content.height;
}

void MainWindowBookView::sizeControls()
{
    m_window.workspace()->relayout();
}

void MainWindowBookView::updateCommandState(const QString &kind)
{
    m_window.updateCommandState(kind);
}

void MainWindowBookView::setBackEnabled(bool enabled)
{
    m_window.commandState().setButtonEnabled(QStringLiteral("back"), enabled);
    m_window.commandState().setMenuEnabled(QStringLiteral("mnuBack"), enabled);
    m_window.syncCommandState();
}

void MainWindowBookView::setChangeUrlEnabled(bool enabled)
{
    m_window.commandState().setMenuEnabled(QStringLiteral("mnuChangeURL"), enabled);
    m_window.syncCommandState();
}

QString MainWindowBookView::caption() const
{
    return m_window.session().caption;
}

void MainWindowBookView::setCaption(const QString &caption)
{
    m_window.setCaption(caption);
}

QString MainWindowBookView::statusText() const
{
    return m_window.statusPanels()->text();
}

void MainWindowBookView::setStatusText(const QString &text)
{
    m_window.statusPanels()->setText(text);
}

void MainWindowBookView::setTreeEnabled(bool enabled)
{
    m_window.treePane()->setEnabled(enabled);
}

void MainWindowBookView::expandAll()
{
    m_window.treePane()->expandAllItems();
}

void MainWindowBookView::setBrowserShown(bool shown)
{
    m_window.browserPane()->setVisible(shown);
}

void MainWindowBookView::navigate(const QString &page)
{
    m_window.browserPane()->navigate(QUrl::fromUserInput(page));
}

void MainWindowBookView::startPageTimer()
{
    m_window.pageTimer()->start();
}

bool MainWindowBookView::isPageSourceEditing() const
{
    const QAction *edit = m_window.menuAction(QStringLiteral("mnuBrwEdit"));
    return edit && edit->isChecked();
}

void MainWindowBookView::leavePageSourceEditing()
{
    m_window.runCommand(QStringLiteral("mnuBrwEdit"));
}

void MainWindowBookView::processEvents()
{
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace kobin
