#pragma once

#include "Arrangement.h"
#include "EarlierVersions.h"
#include "ItemNamer.h"
#include "ItemTree.h"
#include "NotePane.h"
#include "PageCapture.h"
#include "PageReference.h"
#include "PageSourceEditing.h"
#include "PageSurface.h"
#include "PageView.h"
#include "UndoRedo.h"
#include "WindowStatus.h"

#include <QTimer>
#include <QUndoStack>
#include <QWidget>
#include <functional>
#include <memory>

namespace kobin {


class BrowserPane;
class CommandRegistry;
class MainWindow;
class TextCommands;
class TextPane;
class Workspace;

// The book's views of the panes, over the widgets that are them.

class TextPaneNotes : public NotePane
{
public:
    explicit TextPaneNotes(TextPane &pane);
    ~TextPaneNotes() override;
    TextPaneNotes(const TextPaneNotes &) = delete;
    TextPaneNotes &operator=(const TextPaneNotes &) = delete;
    // Told of every note written, so that what follows notes (search) can keep up.
    void setStoredHandler(std::function<void(const QString &path)> stored) { m_stored = std::move(stored); }
    NoteReading load(const QString &path) override;
    NoteWriting save(const QString &path) override;
    void clear() override;
    bool holdsFileText() const override;
    void setReadOnly(bool readOnly) override;
    void showPlainText(const QString &text) override;
    QString plainText() const override;
    void resetTypingFormat() override;
    QString findableText() const override;
    void markMatches(const std::vector<std::pair<int, int>> &ranges) override;
    std::pair<int, int> selection() const override;
    QString selectedText() const override;
    void select(int start, int end, int clearBelow) override;

private:
    TextPane &m_pane;
    bool m_holdsFileText = false;
    QMetaObject::Connection m_textChange;
    std::function<void(const QString &path)> m_stored;
};

class BrowserPageView : public PageView
{
public:
    BrowserPageView(BrowserPane &pane, CommandRegistry &commands) : m_pane(pane), m_commands(commands) {}
    void navigate(const QString &page) override;
    void setShown(bool shown) override;
    QString title() const override;
    bool goBack() override;
    bool goForward() override;
    void reload() override;
    bool isSourceEditing() const override;
    void leaveSourceEditing() override;
    bool canFind() const override;
    void findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found) override;

private:
    BrowserPane &m_pane;
    CommandRegistry &m_commands;
};

class ShownSourceButton : public PageSourceButton
{
public:
    explicit ShownSourceButton(QWidget &button) : m_button(button) {}
    void setShown(bool shown) override { m_button.setVisible(shown); }

private:
    QWidget &m_button;
};

class WorkspaceArrangement : public Arrangement
{
public:
    explicit WorkspaceArrangement(Workspace &workspace) : m_workspace(workspace) {}
    float stackedSplit() const override;
    void setStackedSplit(float twips) override;
    float sideSplit() const override;
    void setSideSplit(float twips) override;
    float contentWidth() const override;
    float contentHeight() const override;
    void relayout() override;

private:
    Workspace &m_workspace;
};

class MainWindowStatus : public WindowStatus
{
public:
    // A page that never finishes loading keeps the tree from clicks this long at most.
    static constexpr int kLongestTreeLockMilliseconds = 10000;

    explicit MainWindowStatus(MainWindow &window, int longestTreeLockMilliseconds = kLongestTreeLockMilliseconds);
    QString statusText() const override;
    void setStatusText(const QString &text) override;
    void showStatusNow() override;
    void setTreeEnabled(bool enabled) override;
    bool isTreeEnabled() const override;
    void expandTree() override;

private:
    MainWindow &m_window;
    QTimer m_treeLock;
};

// Keeps the status bar on the caption of the item chosen in the tree: another book
// opened or a new one started, an item added or renamed shows at once. Another
// change to the chosen item leaves a page's title or a message there alone.
class SelectedCaptionStatus : public ItemTreeObserver
{
public:
    SelectedCaptionStatus(ItemTree &tree, WindowStatus &status);
    ~SelectedCaptionStatus() override;
    SelectedCaptionStatus(const SelectedCaptionStatus &) = delete;
    SelectedCaptionStatus &operator=(const SelectedCaptionStatus &) = delete;

    void itemAboutToBeAdded(TreeItem *, int) override {}
    void itemAdded(TreeItem *) override {}
    void itemAboutToBeRemoved(TreeItem *) override {}
    void itemRemoved() override {}
    void treeAboutToBeCleared() override {}
    void treeCleared() override {}
    void itemChanged(TreeItem *item) override;
    void selectionChanged(TreeItem *item) override;

private:
    void show(const TreeItem &item);

    ItemTree &m_tree;
    WindowStatus &m_status;
    QString m_caption; // of the chosen item, as last shown
};

// Asks an item's name with the item name dialog, over the main window.
class DialogItemNamer : public ItemNamer
{
public:
    explicit DialogItemNamer(QWidget &owner) : m_owner(owner) {}
    std::optional<QString> askName(const std::function<void(const QString &)> &typed,
                                   const std::function<bool(const QString &)> &acceptable) override;

private:
    QWidget &m_owner;
};

// Asks what to capture with the capture dialog, over the main window.
class DialogCaptureAsker : public CaptureAsker
{
public:
    explicit DialogCaptureAsker(QWidget &owner) : m_owner(owner) {}
    std::optional<CaptureChoice> askCapture(const CaptureChoice &start, bool besideOffered,
                                            const std::function<bool(const CaptureChoice &)> &acceptable) override;

private:
    QWidget &m_owner;
};

// The page pane's surface on the web engine, from the browser plugin loaded the
// first time a page is opened; nullptr (said on standard error) when it cannot be.
PageSurface *pluginPageSurface(QWidget *parent, PageSurface::Listener &listener);

// The web engine's page capturer, loaded as a plugin when the first capture
// starts, so that starting the program does not pay for the engine.
class OnDemandCapturer : public capture::PageCapturer
{
public:
    OnDemandCapturer();
    ~OnDemandCapturer() override;
    void start(const QUrl &url, const QString &folder, capture::Format format, ProgressCall progress,
               DoneCall done) override;
    void cancel() override;
    bool isBusy() const override;

private:
    std::unique_ptr<capture::PageCapturer> m_capturer;
};

// Lets the user pick an earlier version with the versions dialog, over the main window.
class DialogVersionChooser : public VersionChooser
{
public:
    explicit DialogVersionChooser(QWidget &owner) : m_owner(owner) {}
    std::optional<int> choose(const QList<BookVersion> &versions) override;

private:
    QWidget &m_owner;
};

// Asks a homepage item's name and page with the page reference dialog, over the main window.
class DialogPageReferrer : public PageReferrer
{
public:
    DialogPageReferrer(PageReference::Services services, QWidget &owner) : m_services(services), m_owner(owner) {}
    bool referNewItem(const TreeItem &item) override;
    std::optional<PageChange> changeReference(const TreeItem &item) override;

private:
    bool run(PageReference &reference);

    PageReference::Services m_services;
    QWidget &m_owner;
};

// The tree's edits, steps on the tree commands' undo stack.
class TreeEditHistory : public EditHistory
{
public:
    explicit TreeEditHistory(QUndoStack &steps) : m_steps(steps) {}
    bool canUndo() const override { return m_steps.canUndo(); }
    bool canRedo() const override { return m_steps.canRedo(); }
    void undo() override { m_steps.undo(); }
    void redo() override { m_steps.redo(); }

private:
    QUndoStack &m_steps;
};

// The text pane's typing, taken back and made again as the text commands do it.
class TextEditHistory : public EditHistory
{
public:
    TextEditHistory(TextPane &pane, TextCommands &commands) : m_pane(pane), m_commands(commands) {}
    bool canUndo() const override;
    bool canRedo() const override;
    void undo() override;
    void redo() override;

private:
    TextPane &m_pane;
    TextCommands &m_commands;
};

} // namespace kobin
