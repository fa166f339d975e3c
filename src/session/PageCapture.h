#pragma once

#include "PageCapturer.h"
#include "TreeEditor.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

namespace kobin {

class Book;
class CaptureStaging;
class CommandRegistry;
class ItemDisplay;
class Prompter;
class TreeCommands;

// What the capture dialog asks: the address, the item's name (empty: the page's
// title), where the item goes and how the page is kept.
struct CaptureChoice {
    QString address;
    QString name;
    Placement placement = Placement::Child;
    capture::Format format = capture::Format::CompletePage;
};

// Opens the capture dialog. The program answers with the real dialog, tests with a script.
class CaptureAsker
{
public:
    virtual ~CaptureAsker() = default;
    // The dialog starts with start's choices; beside the selected item is offered
    // only when besideOffered. acceptable decides whether OK may close (it tells the
    // user why not). The choice, or nullopt when the user cancels.
    virtual std::optional<CaptureChoice> askCapture(const CaptureChoice &start, bool besideOffered,
                                                    const std::function<bool(const CaptureChoice &)> &acceptable) = 0;
};

// Copies a page file (and the folder of its files) into folder; the copy's path,
// or nullopt with the file that failed in *failed.
using PageImporter = std::function<std::optional<QString>(const QString &page, const QString &folder, QString *failed)>;

// Web pages taken into the open book: from an address typed into the capture
// dialog, from the web page the page pane shows, from a link dragged onto the tree,
// and page files dropped onto it. A page is saved into a hidden folder of the book
// folder while the status bar tells how far it has come; once whole, the folder is
// placed among the book's pages and a homepage item for it added, named, selected
// and shown, as one step on the tree's undo stack. A failure is told and changes
// nothing, a cancelled capture leaves nothing. One capture at a time; the tree
// stays usable meanwhile.
class PageCapture : public QObject
{
    Q_OBJECT

public:
    struct Services {
        Book &book;
        ItemDisplay &display; // and through it the status bar and the commands
        TreeCommands &treeCommands;
        Prompter &prompter;
        CaptureAsker &asker;
        capture::PageCapturer &capturer;
        PageImporter importPage;
        std::function<QString()> clipboardText;
    };

    explicit PageCapture(Services services);
    ~PageCapture() override;

    void bindCommands(CommandRegistry &commands);

    // "ホームページ取り込み...": asks for the address and captures it.
    void captureFromDialog();
    // "このページを取り込む": the web page the page pane shows, as a child of the item shown.
    void captureShownPage();
    // A link dragged from a web browser onto the item of targetKey: captured as its child.
    void captureDroppedLink(const QUrl &url, const QString &targetKey);
    // A page file dropped onto the item of targetKey: a copy of it (with the folder
    // of its files) kept in the book, as its child.
    void addDroppedPage(const QString &page, const QString &targetKey);

    // Offers to capture the page shown when the item shown is a homepage item whose
    // page pane has gone to a page on the web. Called as the page pane opens a page.
    void offerShownPage();

    // Esc or the status bar's button: the capture under way stops and leaves nothing.
    void cancel();
    bool isBusy() const { return m_capture != nullptr; }

signals:
    void busyChanged(bool busy);

private:
    struct Capture;

    // Where the new item goes: the item of key (beside it or as its child).
    struct Place {
        QString key;
        Placement placement = Placement::Child;
    };
    void start(const QUrl &url, const QString &name, const Place &place, capture::Format format);
    // Whether the book has a folder of its own to take pages into; when not, the user is told to save it first.
    bool hasBookFolder();
    // The staging folder in the book folder; nullptr, after telling the user why, when there is none.
    std::unique_ptr<CaptureStaging> stage();
    void progressed(const capture::Progress &progress);
    void finished(const capture::Outcome &outcome);
    void setBusy(std::unique_ptr<Capture> capture);
    // Places the staged page and adds its item: true once it is there, else the
    // user has been told what went wrong.
    bool addPlaced(CaptureStaging &staging, const QString &page, const QString &name, const Place &place);
    void refuse(const QString &message);

    Services m_services;
    CommandRegistry *m_commands = nullptr;
    std::unique_ptr<Capture> m_capture;
};

} // namespace kobin
