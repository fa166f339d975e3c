#include "KobinApp.h"

#include "BookCommands.h"
#include "BookExport.h"
#include "BookFileWatch.h"
#include "BookSearch.h"
#include "CollectionImport.h"
#include "ColourCommands.h"
#include "CrashRecovery.h"
#include "EarlierVersions.h"
#include "ExportProgressDialog.h"
#include "FindCommands.h"
#include "BookOrganizer.h"
#include "BookOrganizerDialog.h"
#include "BrowserPane.h"
#include "ImportDialogs.h"
#include "ItemDisplay.h"
#include "Lifecycle.h"
#include "MainWindow.h"
#include "MessageBoxPrompter.h"
#include "NoteLinks.h"
#include "PageCapture.h"
#include "PageImport.h"
#include "PageNavigation.h"
#include "PageSourceEditing.h"
#include "PaneAdapters.h"
#include "QtFileDialogs.h"
#include "RecentBooksMenu.h"
#include "RelinkDialog.h"
#include "ScreenPlacement.h"
#include "SearchDock.h"
#include "SearchPane.h"
#include "Settings.h"
#include "ShellCommands.h"
#include "Splash.h"
#include "StatusPanels.h"
#include "TextCommands.h"
#include "TextPane.h"
#include "ToolbarLayout.h"
#include "TreeCommands.h"
#include "TreePane.h"
#include "UndoRedo.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QColorDialog>
#include <QDesktopServices>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace kobin {

KobinApp::KobinApp(const ProgramFolders &folders, std::unique_ptr<Settings> settings, bool unattended,
                   Prompter *prompter, FileDialogs *dialogs, ColourChooser chooseColour)
    : m_book(folders.appPath, folders.versionsFolder), m_settings(std::move(settings)),
      m_window(std::make_unique<MainWindow>(m_book.tree(), m_book.editor(), m_commandState)),
      m_ownPrompter(prompter ? nullptr : std::make_unique<MessageBoxPrompter>(m_window.get(), unattended)),
      m_ownDialogs(dialogs ? nullptr : std::make_unique<QtFileDialogs>(m_window.get())),
      m_prompter(prompter ? prompter : m_ownPrompter.get()), m_dialogs(dialogs ? dialogs : m_ownDialogs.get())
{
    m_notes = std::make_unique<TextPaneNotes>(*m_window->textPane());
    m_page = std::make_unique<BrowserPageView>(*m_window->browserPane(), m_commands);
    m_arrangement = std::make_unique<WorkspaceArrangement>(*m_window->workspace());
    m_status = std::make_unique<MainWindowStatus>(*m_window);
    m_selectedCaption = std::make_unique<SelectedCaptionStatus>(m_book.tree(), *m_status);
    m_display = std::make_unique<ItemDisplay>(
        m_book, ItemDisplay::Views{*m_notes, *m_page, *m_arrangement, *m_status, m_commandState}, *m_prompter);
    m_display->setPageFolderHistory([this] {
        QStringList history;
        for (int n = 1; n <= settings::kRecentFolderCount; ++n)
            history.append(m_settings->readString(settings::recentFolder(n)));
        return history;
    });
    m_recentBooks = std::make_unique<RecentBooksMenu>(*m_window, *m_settings);
    m_bookCommands = std::make_unique<BookCommands>(BookCommands::Services{
        m_book, *m_display, *m_status, *m_prompter, *m_dialogs,
        [recentBooks = m_recentBooks.get()](const QString &path) { recentBooks->add(path); }});
    m_navigation = std::make_unique<PageNavigation>(m_book, *m_display, *m_page, *m_status);
    m_sourceButton = std::make_unique<ShownSourceButton>(*m_window->saveSourceButton());
    m_sourceEditing = std::make_unique<PageSourceEditing>(
        m_book, PageSourceEditing::Views{*m_notes, *m_sourceButton}, *m_prompter, m_commands);
    m_namer = std::make_unique<DialogItemNamer>(*m_window);
    m_referrer = std::make_unique<DialogPageReferrer>(
        PageReference::Services{m_book, *m_display, *m_prompter, *m_dialogs, *m_settings},
        *m_window);
    m_treeCommands = std::make_unique<TreeCommands>(TreeCommands::Services{
        m_book, *m_display, *m_prompter, *m_namer, *m_referrer});
    m_recovery = std::make_unique<CrashRecovery>(
        CrashRecovery::Services{m_book, *m_display, *m_status, *m_prompter}, folders.dataFolder);
    m_lifecycle = std::make_unique<Lifecycle>(
        *m_window, *m_settings, m_book,
        Lifecycle::Steps{*m_bookCommands, *m_recentBooks,
                         [recovery = m_recovery.get()] { return recovery->recoverAtStart(); }});
    m_versionChooser = std::make_unique<DialogVersionChooser>(*m_window);
    m_earlierVersions = std::make_unique<EarlierVersions>(
        EarlierVersions::Services{m_book, *m_bookCommands, *m_display, *m_status, *m_prompter,
                                  *m_versionChooser});
    m_earlierVersions->bindCommands(m_commands);
    if (!chooseColour) {
        chooseColour = [this](const QColor &initial) -> std::optional<QColor> {
            const QColor chosen = QColorDialog::getColor(initial, m_window.get());
            return chosen.isValid() ? std::optional<QColor>(chosen) : std::nullopt;
        };
    }
    m_colourCommands = std::make_unique<ColourCommands>(*m_window, *m_settings, m_lifecycle->customColors(),
                                                        std::move(chooseColour));
    m_colourCommands->bindCommands(m_commands);
    m_shellCommands = std::make_unique<ShellCommands>(*m_window, m_commands, folders.appPath,
                                                      [](const QUrl &url) { QDesktopServices::openUrl(url); });

    MainWindow &window = *m_window;
    window.setWindowTitle(m_book.caption());
    QObject::connect(&m_book, &Book::captionChanged, &window, &QWidget::setWindowTitle);
    QObject::connect(&window, &MainWindow::toolbarLayoutChanged, &window, [this](const QStringList &layout) {
        m_settings->write(settings::ToolbarLayout, toolbarlayout::toText(layout));
    });
    window.setCloseRequest([this] { return m_bookCommands->closeRequest(); });
    window.setUnloadHandler([this] {
        m_colourCommands->closeFontWindow();
        m_pageCapture->cancel(); // leaves nothing of a page half captured
        m_lifecycle->unload();
        m_recovery->finish();
        // A window left open (help, a dialog) would keep the program running with no main window.
        for (QWidget *other : QApplication::topLevelWidgets())
            if (other != m_window.get() && other->isVisible())
                other->close();
    });
    bindBookCommands();
    bindPageCommands();
    bindTreeCommands();
    bindEditCommands();
    bindSearch();
    bindCapture();
}

KobinApp::~KobinApp() = default;

void KobinApp::bindBookCommands()
{
    BookCommands &book = *m_bookCommands;
    book.bindCommands(m_commands);
    for (int i = 1; i < kRecentFileMenuElements; ++i) {
        const Command command = recentFileCommand(i);
        m_commands.bind(command, [this, &book, command] { book.openRecentBook(m_window->menuAction(command)->text()); });
    }
    m_commands.bind(Command::ExportHtml, [this] {
        BookExport({m_book, *m_display, *m_prompter, *m_dialogs}).run(exportProgressDialog(m_window.get()));
    });
    m_commands.bind(Command::ImportCollection, [this] {
        ImportReportDialogs reports(m_window.get());
        CollectionImport({m_book, *m_display, *m_treeCommands, *m_prompter, *m_dialogs, reports,
                          importPasswordDialog(m_window.get())})
            .run(importProgressDialog(m_window.get()));
    });
    m_commands.bind(Command::OrganizeBooks, [this, &book] {
        BookOrganizer organizer(m_book, book, *m_prompter);
        BookOrganizerDialog dialog(organizer, m_window.get());
        dialog.exec();
    });
    MainWindow &window = *m_window;
    // A book in a folder a sync tool keeps equal on several computers can change under the open book.
    // It is read again only while no dialog (an export, a question) works on the book that is open.
    auto *bookFileWatch = new BookFileWatch(m_book, &window);
    QObject::connect(bookFileWatch, &BookFileWatch::touched, &window, [&book, bookFileWatch] {
        if (QApplication::activeModalWidget() || QApplication::activePopupWidget())
            bookFileWatch->touchAgainLater();
        else
            book.bookFileTouched();
    });
    QObject::connect(window.treePane(), &TreePane::itemClicked, &window,
                     [this](TreeItem *item) { m_display->showItem(item); });
    QObject::connect(window.textPane(), &QTextEdit::textChanged, &window, [this, &book] {
        book.textChanged();
        m_recovery->textChanged();
    });
    // What was typed is kept at once when the user turns to another program.
    QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &window, [this](Qt::ApplicationState state) {
        if (state != Qt::ApplicationActive)
            m_recovery->keepWork();
    });
}

void KobinApp::bindPageCommands()
{
    PageNavigation &navigation = *m_navigation;
    navigation.bindCommands(m_commands);

    MainWindow &window = *m_window;
    BrowserPane *browser = window.browserPane();
    browser->setSurfaceMaker(&pluginPageSurface);
    QObject::connect(browser, &BrowserPane::navigationStarting, &window,
                     [&navigation](const QUrl &url) { navigation.navigationStarting(url.toString()); });
    QObject::connect(browser, &BrowserPane::loadFinished, &window, [&navigation] { navigation.pageLoaded(); });
    QObject::connect(browser, &BrowserPane::statusTextChanged, &window,
                     [this](const QString &text) { m_status->setStatusText(text); });
    QObject::connect(browser, &BrowserPane::externalAddressRequested, &window, [this](const QUrl &url) {
        if (m_prompter->ask(PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("確認"),
                            QStringLiteral("外部のプログラムで開きますか？\n\n") + url.toDisplayString())
            == PromptAnswer::Yes)
            QDesktopServices::openUrl(url);
    });

    PageSourceEditing &source = *m_sourceEditing;
    source.bindCommands();
    QObject::connect(window.saveSourceButton(), &QPushButton::clicked, &window, [&source] {
        static_cast<void>(source.save()); // a refusal has been reported to the user
    });
}

void KobinApp::bindTreeCommands()
{
    TreeCommands &tree = *m_treeCommands;
    tree.bindCommands(m_commands);
    MainWindow &window = *m_window;
    TreePane *pane = window.treePane();
    m_commands.bind(Command::RenameItem, [pane] { pane->startRenaming(); });
    m_commands.bind(Command::RepairLinks, [this] { repairLinks(m_book, *m_display, *m_prompter, m_window.get()); });
    QObject::connect(&pane->itemModel(), &ItemTreeModel::treeEdited, &window,
                     [&tree](const TreeEdit &edit) { tree.treeEdited(edit); });
    QObject::connect(pane, &TreePane::deleteKeyPressed, &window, [&tree] { tree.deleteKey(); });
    QObject::connect(pane, &TreePane::contextMenuWanted, &window, [&window](const QPoint &position) {
        if (QMenu *menu = window.menu(QStringLiteral("mnuTree")))
            menu->exec(position);
    });
}

void KobinApp::bindEditCommands()
{
    MainWindow &window = *m_window;
    m_textCommands = std::make_unique<TextCommands>(
        *window.textPane(), *window.browserPane(), m_commands, *m_dialogs, *m_prompter,
        [&window] { return window.activePane() == Pane::Text; });
    TextCommands &text = *m_textCommands;
    text.bindCommands();
    TreeCommands &tree = *m_treeCommands;
    TextPane *pane = window.textPane();
    m_treeHistory = std::make_unique<TreeEditHistory>(tree.history());
    m_textHistory = std::make_unique<TextEditHistory>(*pane, text);
    m_undoRedo = std::make_unique<UndoRedo>(*m_treeHistory, *m_textHistory,
                                            [&window] { return window.activePane(); }, m_commands);
    UndoRedo &undoRedo = *m_undoRedo;
    undoRedo.bindCommands();
    QObject::connect(pane, &QTextEdit::undoAvailable, &undoRedo, &UndoRedo::offer);
    QObject::connect(pane, &QTextEdit::redoAvailable, &undoRedo, &UndoRedo::offer);
    QObject::connect(pane, &TextPane::focusEntered, &undoRedo, &UndoRedo::offer);
    QObject::connect(window.treePane(), &TreePane::focusEntered, &undoRedo, &UndoRedo::offer);
    QObject::connect(&tree.history(), &QUndoStack::indexChanged, &undoRedo, &UndoRedo::offer);
    undoRedo.offer();
    // The Edit menu's delete never deletes an item: it removes the text pane's selection.
    m_commands.bind(Command::EditDelete, [&text] { text.deleteSelection(); });
    if (QMenu *menu = window.menu(QStringLiteral("mnuEdit")))
        bindNoteLinks(*pane, text, *m_status, *m_prompter, *menu,
                      {window.menuAction(Command::Bullets), window.menuAction(Command::Numbering), nullptr,
                       window.menuAction(Command::InsertTable), window.menuAction(Command::InsertRow),
                       window.menuAction(Command::InsertColumn), window.menuAction(Command::DeleteRow),
                       window.menuAction(Command::DeleteColumn)},
                      window);
}

void KobinApp::bindSearch()
{
    MainWindow &window = *m_window;
    m_findCommands = std::make_unique<search::FindCommands>(*m_notes, *window.textPane(), *m_page, *window.browserPane());
    m_findCommands->bindCommands(m_commands);
    // The results of the search in the whole book below the panes, the index's progress in the status bar.
    auto *dock = new search::SearchDock(&window);
    window.addDockWidget(Qt::BottomDockWidgetArea, dock);
    dock->hide();
    auto *progress = new QLabel;
    progress->setObjectName(QStringLiteral("lblIndexProgress"));
    window.statusPanels()->addPermanentWidget(progress);
    progress->hide();
    m_search = std::make_unique<BookSearch>(m_book, *m_display, BookSearch::Views{*dock, *m_findCommands});
    BookSearch &search = *m_search;
    search.bindCommands(m_commands);
    QObject::connect(&dock->pane(), &search::SearchPane::queryChanged, &search, &BookSearch::runQuery);
    QObject::connect(&dock->pane(), &search::SearchPane::rowChosen, &search, &BookSearch::choose);
    QObject::connect(window.browserPane(), &BrowserPane::loadFinished, &search, &BookSearch::pageLoaded);
    QObject::connect(&search, &BookSearch::progressChanged, progress, [progress](const QString &text) {
        progress->setText(text);
        progress->setVisible(!text.isEmpty());
    });
    m_notes->setStoredHandler([&search](const QString &path) { search.noteStored(path); });
}

void KobinApp::bindCapture()
{
    MainWindow &window = *m_window;
    m_captureAsker = std::make_unique<DialogCaptureAsker>(window);
    m_capturer = std::make_unique<OnDemandCapturer>();
    m_pageCapture = std::make_unique<PageCapture>(PageCapture::Services{
        m_book, *m_display, *m_treeCommands, *m_prompter, *m_captureAsker, *m_capturer, &importPage,
        [] { return QGuiApplication::clipboard()->text(); }});
    PageCapture &capture = *m_pageCapture;
    capture.bindCommands(m_commands);
    // After the page navigation, which has recorded the address by then.
    QObject::connect(window.browserPane(), &BrowserPane::navigationStarting, &capture, &PageCapture::offerShownPage);
    window.browserPane()->setContextActions({window.menuAction(Command::CapturePage)});
    // Taken in once the other program's drag has ended: a message during the drop would hold it.
    ItemTreeModel &model = window.treePane()->itemModel();
    QObject::connect(&model, &ItemTreeModel::linkDropped, &capture, &PageCapture::captureDroppedLink,
                     Qt::QueuedConnection);
    QObject::connect(&model, &ItemTreeModel::pageFileDropped, &capture, &PageCapture::addDroppedPage,
                     Qt::QueuedConnection);

    // While a page is captured: Esc, or the status bar's button, stops it.
    auto *stop = new QToolButton;
    stop->setObjectName(QStringLiteral("cmdCaptureCancel"));
    stop->setText(QStringLiteral("中止"));
    stop->setToolTip(QStringLiteral("ホームページの取り込みを中止します (Esc)"));
    stop->setAutoRaise(true);
    stop->hide();
    window.statusPanels()->addPermanentWidget(stop);
    auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), &window);
    escape->setEnabled(false);
    QObject::connect(stop, &QToolButton::clicked, &capture, &PageCapture::cancel);
    QObject::connect(escape, &QShortcut::activated, &capture, &PageCapture::cancel);
    QObject::connect(&capture, &PageCapture::busyChanged, &window, [stop, escape](bool busy) {
        stop->setVisible(busy);
        escape->setEnabled(busy);
    });
}

void KobinApp::start(const QString &commandLine)
{
    Splash splash;
    centreOnScreen(splash);
    splash.show();
    QApplication::processEvents();
    m_lifecycle->load(commandLine, splash);
    m_recovery->begin();
}

} // namespace kobin
