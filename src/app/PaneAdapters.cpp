#include "PaneAdapters.h"

#include "BrowserPane.h"
#include "CaptureDialog.h"
#include "CommandRegistry.h"
#include "EarlierVersionsDialog.h"
#include "ItemNameDialog.h"
#include "MainWindow.h"
#include "PageCapturerFactory.h"
#include "PageReferenceDialog.h"
#include "ProgramPlugins.h"
#include "StatusPanels.h"
#include "TextCommands.h"
#include "TextPane.h"
#include "TreePane.h"
#include "Workspace.h"

#include <QScrollBar>
#include <QTextCharFormat>
#include <QUrl>
#include <cstdio>

namespace kobin {

TextPaneNotes::TextPaneNotes(TextPane &pane)
    : m_pane(pane),
      // Any change at all, typed, formatted or set by a command, makes the text another than the one loaded.
      m_textChange(QObject::connect(&pane, &QTextEdit::textChanged, [this] { m_holdsFileText = false; }))
{
}

TextPaneNotes::~TextPaneNotes()
{
    QObject::disconnect(m_textChange);
}

NoteReading TextPaneNotes::load(const QString &path)
{
    richtext::LoadFailure failure = richtext::LoadFailure::Unreadable;
    m_pane.setPlainTextOnly(false);
    if (!m_pane.loadRichText(path, &failure)) {
        switch (failure) {
        case richtext::LoadFailure::Unreadable: return NoteReading::Unreadable;
        case richtext::LoadFailure::NotRegularFile: return NoteReading::NotRegularFile;
        case richtext::LoadFailure::TooLarge: return NoteReading::TooLarge;
        case richtext::LoadFailure::NotRtf: return NoteReading::NotRtf;
        case richtext::LoadFailure::TooLargeToWrite: return NoteReading::Unreadable; // loading writes nothing
        }
    }
    m_holdsFileText = true;
    return NoteReading::Read;
}

NoteWriting TextPaneNotes::save(const QString &path)
{
    richtext::SaveFailure failure = richtext::SaveFailure::Unwritable;
    if (!m_pane.saveRichText(path, &failure))
        return failure == richtext::SaveFailure::TooLarge ? NoteWriting::TooLarge : NoteWriting::Unwritable;
    m_holdsFileText = true;
    if (m_stored)
        m_stored(path);
    return NoteWriting::Written;
}

void TextPaneNotes::clear()
{
    m_pane.setPlainTextOnly(false);
    m_pane.clear();
}

bool TextPaneNotes::holdsFileText() const
{
    return m_holdsFileText;
}

void TextPaneNotes::setReadOnly(bool readOnly)
{
    m_pane.setReadOnly(readOnly);
}

void TextPaneNotes::showPlainText(const QString &text)
{
    resetTypingFormat(); // the source takes the format of what is typed next, not the note's last colour
    m_pane.setPlainText(text);
    m_pane.setPlainTextOnly(true);
}

QString TextPaneNotes::plainText() const
{
    // The raw text keeps no-break spaces, which the plain text would turn into spaces.
    return findableText().replace(QChar::ParagraphSeparator, u'\n');
}

QString TextPaneNotes::findableText() const
{
    return m_pane.document()->toRawText();
}

void TextPaneNotes::markMatches(const std::vector<std::pair<int, int>> &ranges)
{
    QList<QTextEdit::ExtraSelection> marks;
    for (const auto &[start, end] : ranges) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_pane.document());
        mark.cursor.setPosition(start);
        mark.cursor.setPosition(end, QTextCursor::KeepAnchor);
        mark.format.setBackground(QColor(0xff, 0xe2, 0x7a));
        marks.append(mark);
    }
    m_pane.setExtraSelections(marks);
}

std::pair<int, int> TextPaneNotes::selection() const
{
    const QTextCursor cursor = m_pane.textCursor();
    return {cursor.selectionStart(), cursor.selectionEnd()};
}

QString TextPaneNotes::selectedText() const
{
    return m_pane.textCursor().selectedText();
}

void TextPaneNotes::select(int start, int end, int clearBelow)
{
    QTextCursor cursor(m_pane.document());
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    m_pane.setTextCursor(cursor);
    m_pane.ensureCursorVisible();
    QTextCursor first = cursor;
    first.setPosition(start);
    // The selection's top in the pane's own coordinates; the lines beside what lies over the top count
    // as under it, as a longer line or a narrower pane would put the selection there.
    const int top = m_pane.cursorRect(first).united(m_pane.cursorRect()).top() + m_pane.viewport()->y();
    if (clearBelow > 0 && top < clearBelow) {
        QScrollBar *scroll = m_pane.verticalScrollBar();
        scroll->setValue(scroll->value() - (clearBelow - top));
    }
}

void TextPaneNotes::resetTypingFormat()
{
    QTextCharFormat plain;
    plain.setFont(m_pane.font());
    plain.setForeground(Qt::black);
    m_pane.setCurrentCharFormat(plain);
}

bool BrowserPageView::canFind() const
{
    return m_pane.isVisible() && m_pane.hasEngine();
}

void BrowserPageView::findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found)
{
    m_pane.findText(text, backward, found);
}

void BrowserPageView::navigate(const QString &page)
{
    m_pane.navigate(QUrl::fromLocalFile(page)); // a page is a file: never looked up as a web address
}

void BrowserPageView::setShown(bool shown)
{
    m_pane.setVisible(shown);
}

QString BrowserPageView::title() const
{
    return m_pane.title();
}

bool BrowserPageView::goBack()
{
    if (!m_pane.canGoBack())
        return false;
    m_pane.goBack();
    return true;
}

bool BrowserPageView::goForward()
{
    if (!m_pane.canGoForward())
        return false;
    m_pane.goForward();
    return true;
}

void BrowserPageView::reload()
{
    m_pane.reload();
}

bool BrowserPageView::isSourceEditing() const
{
    return m_commands.isChecked(Command::EditPageSource);
}

void BrowserPageView::leaveSourceEditing()
{
    m_commands.run(Command::EditPageSource);
}

float WorkspaceArrangement::stackedSplit() const
{
    return m_workspace.stackedSplit();
}

void WorkspaceArrangement::setStackedSplit(float twips)
{
    m_workspace.setSplits(m_workspace.treeWidth(), twips, m_workspace.sideSplit());
}

float WorkspaceArrangement::sideSplit() const
{
    return m_workspace.sideSplit();
}

void WorkspaceArrangement::setSideSplit(float twips)
{
    m_workspace.setSplits(m_workspace.treeWidth(), m_workspace.stackedSplit(), twips);
}

float WorkspaceArrangement::contentWidth() const
{
    return m_workspace.lastLayout().content.width;
}

float WorkspaceArrangement::contentHeight() const
{
    return m_workspace.lastLayout().content.height;
}

void WorkspaceArrangement::relayout()
{
    m_workspace.relayout();
}

QString MainWindowStatus::statusText() const
{
    return m_window.statusPanels()->text();
}

void MainWindowStatus::setStatusText(const QString &text)
{
    m_window.statusPanels()->setText(text);
}

void MainWindowStatus::showStatusNow()
{
    m_window.statusPanels()->repaint();
}

MainWindowStatus::MainWindowStatus(MainWindow &window, int longestTreeLockMilliseconds) : m_window(window)
{
    m_treeLock.setSingleShot(true);
    m_treeLock.setInterval(longestTreeLockMilliseconds);
    QObject::connect(&m_treeLock, &QTimer::timeout, &window, [this] { m_window.treePane()->setEnabled(true); });
}

void MainWindowStatus::setTreeEnabled(bool enabled)
{
    m_window.treePane()->setEnabled(enabled);
    if (enabled)
        m_treeLock.stop();
    else
        m_treeLock.start();
}

bool MainWindowStatus::isTreeEnabled() const
{
    return m_window.treePane()->isEnabled();
}

void MainWindowStatus::expandTree()
{
    m_window.treePane()->expandAllItems();
}

SelectedCaptionStatus::SelectedCaptionStatus(ItemTree &tree, WindowStatus &status) : m_tree(tree), m_status(status)
{
    m_tree.addObserver(this);
}

SelectedCaptionStatus::~SelectedCaptionStatus()
{
    m_tree.removeObserver(this);
}

void SelectedCaptionStatus::itemChanged(TreeItem *item)
{
    if (item == m_tree.selectedItem() && item->text() != m_caption)
        show(*item);
}

void SelectedCaptionStatus::selectionChanged(TreeItem *item)
{
    if (item)
        show(*item);
}

void SelectedCaptionStatus::show(const TreeItem &item)
{
    m_caption = item.text();
    m_status.setStatusText(m_caption);
}

std::optional<QString> DialogItemNamer::askName(const std::function<void(const QString &)> &typed,
                                                const std::function<bool(const QString &)> &acceptable)
{
    ItemNameDialog dialog(typed, acceptable, &m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.name();
}

std::optional<CaptureChoice> DialogCaptureAsker::askCapture(const CaptureChoice &start, bool besideOffered,
                                                            const std::function<bool(const CaptureChoice &)> &acceptable)
{
    CaptureDialog dialog(start, besideOffered, acceptable, &m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice();
}

PageSurface *pluginPageSurface(QWidget *parent, PageSurface::Listener &listener)
{
    QString failure;
    auto *factory = qobject_cast<PageSurfaceFactory *>(loadProgramPlugin(QStringLiteral("kobin-browser.so"), &failure));
    if (!factory) {
        std::fprintf(stderr, "kobin: %s\n", failure.toLocal8Bit().constData());
        return nullptr;
    }
    return factory->createSurface(parent, listener);
}

OnDemandCapturer::OnDemandCapturer() = default;
OnDemandCapturer::~OnDemandCapturer() = default;

void OnDemandCapturer::start(const QUrl &url, const QString &folder, capture::Format format, ProgressCall progress,
                             DoneCall done)
{
    if (!m_capturer) {
        QString failure;
        auto *factory = qobject_cast<capture::PageCapturerFactory *>(
            loadProgramPlugin(QStringLiteral("kobin-capture.so"), &failure));
        if (!factory) {
            QTimer::singleShot(0, [done = std::move(done), failure] {
                done({capture::Outcome::Result::Failed, QStringLiteral("ホームページを取り込む部品") + failure, {}, {}});
            });
            return;
        }
        m_capturer = factory->createCapturer();
    }
    m_capturer->start(url, folder, format, std::move(progress), std::move(done));
}

void OnDemandCapturer::cancel()
{
    if (m_capturer)
        m_capturer->cancel();
}

bool OnDemandCapturer::isBusy() const
{
    return m_capturer && m_capturer->isBusy();
}

std::optional<int> DialogVersionChooser::choose(const QList<BookVersion> &versions)
{
    EarlierVersionsDialog dialog(versions, &m_owner);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenRow();
}

bool DialogPageReferrer::run(PageReference &reference)
{
    PageReferenceDialog dialog(reference, &m_owner);
    return dialog.exec() == QDialog::Accepted;
}

bool DialogPageReferrer::referNewItem(const TreeItem &item)
{
    PageReference reference(m_services, ReferenceMode::NewItem, item);
    return run(reference);
}

std::optional<PageChange> DialogPageReferrer::changeReference(const TreeItem &item)
{
    PageReference reference(m_services, ReferenceMode::Change, item);
    if (!run(reference))
        return std::nullopt;
    return reference.change();
}

bool TextEditHistory::canUndo() const
{
    return m_pane.document()->isUndoAvailable();
}

bool TextEditHistory::canRedo() const
{
    return m_pane.document()->isRedoAvailable();
}

void TextEditHistory::undo()
{
    m_commands.undo();
}

void TextEditHistory::redo()
{
    m_commands.redo();
}

} // namespace kobin
