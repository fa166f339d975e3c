#include "PageCapture.h"

#include "Book.h"
#include "BookPrompts.h"
#include "BookStore.h"
#include "CaptureAddress.h"
#include "CapturedPages.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "ItemDisplay.h"
#include "ItemKinds.h"
#include "Prompter.h"
#include "TreeCommands.h"
#include "TreeString.h"
#include "WindowStatus.h"

#include <QDir>
#include <QPointer>

namespace kobin {

namespace {

const QString kCaptureTitle = QStringLiteral("ホームページ取り込み");

bool isWebAddress(const QString &address)
{
    QString refusal;
    return capture::captureAddress(address, &refusal).has_value();
}

QString progressText(const capture::Progress &progress)
{
    QString text = progress.stage == capture::Progress::Stage::Loading
        ? QStringLiteral("ホームページを読み込んでいます…")
        : QStringLiteral("ホームページを保存しています…");
    if (progress.files > 0)
        text += QStringLiteral("（%1 ファイル）").arg(progress.files);
    return text;
}

} // namespace

// The capture under way: what it is written into, and what its item becomes.
struct PageCapture::Capture {
    std::unique_ptr<CaptureStaging> staging;
    QUrl url;
    QString name;
    Place place;
    QString statusBefore; // what the status bar showed, shown again once the capture ends
    bool abandoned = false; // its book is no longer the open one
};

PageCapture::PageCapture(Services services) : m_services(std::move(services))
{
    // Another book, or a new one: a capture meant for the last one is given up.
    connect(&m_services.book, &Book::replaced, this, [this] {
        if (!m_capture)
            return;
        m_capture->abandoned = true;
        m_services.capturer.cancel();
    });
}

PageCapture::~PageCapture()
{
    // Its staging folder goes with it; what the capturer still reports finds no capture.
    if (const std::unique_ptr<Capture> capture = std::move(m_capture))
        m_services.capturer.cancel();
}

void PageCapture::bindCommands(CommandRegistry &commands)
{
    m_commands = &commands;
    commands.bind(Command::CaptureHomepage, [this] { captureFromDialog(); });
    commands.bind(Command::CapturePage, [this] { captureShownPage(); });
    offerShownPage();
}

void PageCapture::refuse(const QString &message)
{
    m_services.prompter.inform(PromptIcon::Exclamation, kCaptureTitle, message);
}

void PageCapture::captureFromDialog()
{
    const TreeItem *selected = m_services.book.tree().selectedItem();
    if (!selected || isBusy() || !hasBookFolder())
        return;
    CaptureChoice initial;
    initial.address = capture::addressFromClipboard(m_services.clipboardText ? m_services.clipboardText() : QString());
    const std::optional<CaptureChoice> choice = m_services.asker.askCapture(
        initial, !TreeEditor::isBookItem(*selected), [this](const CaptureChoice &typed) {
            QString refusal;
            if (capture::captureAddress(typed.address, &refusal))
                return true;
            refuse(refusal);
            return false;
        });
    if (!choice)
        return;
    QString refusal;
    if (const std::optional<QUrl> url = capture::captureAddress(choice->address, &refusal))
        start(*url, choice->name.trimmed(), {selected->key(), choice->placement}, choice->format);
}

void PageCapture::captureShownPage()
{
    const QString shown = m_services.book.shown().browserAddress();
    if (!isBusy() && isWebAddress(shown))
        start(QUrl(shown), QString(), {m_services.book.shown().key(), Placement::Child}, capture::Format::CompletePage);
}

void PageCapture::captureDroppedLink(const QUrl &url, const QString &targetKey)
{
    if (!isBusy() && isWebAddress(url.toString()))
        start(url, QString(), {targetKey, Placement::Child}, capture::Format::CompletePage);
}

void PageCapture::addDroppedPage(const QString &page, const QString &targetKey)
{
    if (isBusy())
        return;
    std::unique_ptr<CaptureStaging> staging = stage();
    if (!staging)
        return;
    QString failed;
    const std::optional<QString> copy = m_services.importPage(page, staging->path(), &failed);
    if (!copy) {
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(failed) + QStringLiteral(" 」\n\nを取り込めませんでした。"));
        return;
    }
    const QString fileName = page.mid(page.lastIndexOf(u'/') + 1);
    addPlaced(*staging, *copy, fileName.left(fileName.lastIndexOf(u'.')), {targetKey, Placement::Child});
}

bool PageCapture::hasBookFolder()
{
    if (hasOwnBookFolder(m_services.book.bookName()))
        return true;
    refuse(QStringLiteral("ホームページを取り込むには、先にブックを保存してください。"));
    return false;
}

std::unique_ptr<CaptureStaging> PageCapture::stage()
{
    Book &book = m_services.book;
    if (!hasBookFolder())
        return nullptr;
    if (CapturedPages::isLinkedAway(book.bookFolder())) {
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(CapturedPages::folderOf(book.bookFolder()))
               + QStringLiteral(" 」\n\nはほかの場所へのリンクのため、ホームページを取り込めません。"));
        return nullptr;
    }
    auto staging = std::make_unique<CaptureStaging>(book.bookFolder());
    if (!staging->isReady()) {
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(CapturedPages::folderOf(book.bookFolder()))
               + QStringLiteral(" 」\n\nにフォルダを作成できません。"));
        return nullptr;
    }
    return staging;
}

void PageCapture::start(const QUrl &url, const QString &name, const Place &place, capture::Format format)
{
    std::unique_ptr<CaptureStaging> staging = stage();
    if (!staging)
        return;
    const QString folder = staging->path();
    WindowStatus &status = m_services.display.views().status;
    setBusy(std::make_unique<Capture>(Capture{std::move(staging), url, name, place, status.statusText()}));
    status.setStatusText(progressText({}));
    // The capturer may outlive this object (it answers from the event loop).
    const QPointer<PageCapture> self(this);
    m_services.capturer.start(
        url, folder, format,
        [self](const capture::Progress &progress) {
            if (self)
                self->progressed(progress);
        },
        [self](const capture::Outcome &outcome) {
            if (self)
                self->finished(outcome);
        });
}

void PageCapture::progressed(const capture::Progress &progress)
{
    if (m_capture && !m_capture->abandoned)
        m_services.display.views().status.setStatusText(progressText(progress));
}

void PageCapture::cancel()
{
    if (m_capture)
        m_services.capturer.cancel();
}

void PageCapture::setBusy(std::unique_ptr<Capture> capture)
{
    const bool busy = capture != nullptr;
    m_capture = std::move(capture);
    if (m_commands)
        m_commands->setEnabled(Command::CaptureHomepage, !busy);
    offerShownPage();
    emit busyChanged(busy);
}

void PageCapture::finished(const capture::Outcome &outcome)
{
    std::unique_ptr<Capture> capture = std::move(m_capture);
    if (!capture)
        return;
    setBusy(nullptr);
    if (capture->abandoned)
        return;
    m_services.display.views().status.setStatusText(capture->statusBefore);
    switch (outcome.result) {
    case capture::Outcome::Result::Cancelled:
        return;
    case capture::Outcome::Result::Failed:
        refuse(outcome.message);
        return;
    case capture::Outcome::Result::Captured:
        break;
    }
    const QString name = capture->name.isEmpty() ? capture::itemNameFor(outcome.title, capture->url) : capture->name;
    if (addPlaced(*capture->staging, outcome.page, name, capture->place)) {
        if (const QString notice = capture::leftOutNotice(outcome.localReferencesLeftOut); !notice.isEmpty())
            m_services.prompter.inform(PromptIcon::Information, kCaptureTitle, notice);
    }
}

bool PageCapture::addPlaced(CaptureStaging &staging, const QString &page, const QString &name, const Place &place)
{
    Book &book = m_services.book;
    ItemTree &tree = book.tree();
    TreeItem *anchor = tree.item(place.key);
    Placement placement = place.placement;
    if (!anchor) { // taken away while the page was captured
        anchor = tree.item(Book::BookItemKey);
        placement = Placement::Child;
    }
    TreeItem *selected = tree.selectedItem();
    tree.select(anchor);
    const auto giveUp = [&](const std::optional<TreeEdit> &added) {
        if (added)
            tree.remove(added->key);
        tree.select(selected);
    };
    std::optional<TreeEdit> added = book.editor().add(ItemKind::Homepage, placement);
    if (!added) {
        giveUp(added);
        refuse(QStringLiteral("ここには、これより深い階層の項目を追加できません。"));
        return false;
    }
    // The text shown so far is kept before the pane is emptied for the new page; a failure has been told.
    if (!m_services.display.storeCurrentItem()) {
        giveUp(added);
        return false;
    }
    const std::optional<QString> placed = staging.place(page);
    if (!placed) {
        giveUp(added);
        refuse(QStringLiteral("「 ") + QDir::toNativeSeparators(CapturedPages::folderOf(book.bookFolder()))
               + QStringLiteral(" 」\n\nに取り込んだホームページを置けません。"));
        return false;
    }
    WorkingFolder &working = book.workingFolder();
    if (!working.pageSettings().storePagePath(added->key, *placed)) {
        giveUp(added);
        QDir(CapturedPages::captureFolderOf(*placed, book.bookFolder())).removeRecursively();
        reportSaveFailure(m_services.prompter, working.urlFile(added->key));
        return false;
    }
    // No book file names the page yet: leaving the book unsaved, or saving it without the item, takes it away.
    book.newCaptures().add(CapturedPages::captureFolderOf(*placed, book.bookFolder()));
    TreeItem *item = tree.item(added->key);
    tree.setText(item, treestring::storableCaption(name));
    added->newCaption = item->text();
    m_services.display.showNewPage(added->key, *placed);
    m_services.treeCommands.treeEdited(*added);
    return true;
}

void PageCapture::offerShownPage()
{
    if (!m_commands)
        return;
    const Book &book = m_services.book;
    const TreeItem *shown = book.tree().item(book.shown().key());
    m_commands->setEnabled(Command::CapturePage, !isBusy() && shown && kindOf(*shown) == ItemKind::Homepage
                                                      && isWebAddress(book.shown().browserAddress()));
}

} // namespace kobin
