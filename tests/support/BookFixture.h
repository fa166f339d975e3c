#pragma once

#include "Arrangement.h"
#include "Book.h"
#include "BookCommands.h"
#include "CommandRegistry.h"
#include "CommandState.h"
#include "FakeFileDialogs.h"
#include "FakePrompter.h"
#include "ItemDisplay.h"
#include "ItemNamer.h"
#include "NotePane.h"
#include "OpenBook.h"
#include "PageReference.h"
#include "PageView.h"
#include "Settings.h"
#include "TestFiles.h"
#include "TreeCommands.h"
#include "TreeString.h"
#include "WindowStatus.h"

#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

// The text pane as a plain string stored in and loaded from files.
class FakeNotePane : public kobin::NotePane
{
public:
    QString text;
    QString notRtf; // a file that reads as no note
    kobin::NoteReading load(const QString &path) override
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return kobin::NoteReading::Unreadable;
        if (path == notRtf)
            return kobin::NoteReading::NotRtf;
        text = QString::fromUtf8(file.readAll());
        loadedText = text;
        holdsLoaded = true;
        return kobin::NoteReading::Read;
    }
    qsizetype largestNote = -1; // a text longer than this is too large to write
    kobin::NoteWriting save(const QString &path) override
    {
        if (largestNote >= 0 && text.size() > largestNote)
            return kobin::NoteWriting::TooLarge;
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(text.toUtf8()) < 0)
            return kobin::NoteWriting::Unwritable;
        loadedText = text;
        holdsLoaded = true;
        return kobin::NoteWriting::Written;
    }
    void clear() override
    {
        text.clear();
        holdsLoaded = false;
    }
    bool holdsFileText() const override { return holdsLoaded && text == loadedText; }
    QString loadedText;
    bool holdsLoaded = false;
    void setReadOnly(bool locked) override { readOnly = locked; }
    bool readOnly = false;
    void showPlainText(const QString &plain) override
    {
        text = plain;
        holdsLoaded = false;
    }
    QString plainText() const override { return text; }
    void resetTypingFormat() override { ++typingResets; }
    int typingResets = 0;
    QString findableText() const override { return text; }
    void markMatches(const std::vector<std::pair<int, int>> &ranges) override { marked = ranges; }
    std::vector<std::pair<int, int>> marked;
    std::pair<int, int> selection() const override { return selected; }
    QString selectedText() const override { return text.mid(selected.first, selected.second - selected.first); }
    void select(int start, int end, int) override { selected = {start, end}; }
    std::pair<int, int> selected;
};

class FakePageView : public kobin::PageView
{
public:
    QStringList navigated;
    bool shown = false;
    bool sourceEditing = false;
    bool canGo = false; // whether back and forward have a page to go to
    QString pageTitle = QStringLiteral("Page title");

    void navigate(const QString &page) override { navigated << page; }
    void setShown(bool visible) override { shown = visible; }
    QString title() const override { return pageTitle; }
    bool goBack() override { return canGo; }
    bool goForward() override { return canGo; }
    void reload() override {}
    // When given, the page source mode is the command's, as in the program.
    kobin::CommandRegistry *commands = nullptr;
    bool isSourceEditing() const override
    {
        return commands ? commands->isChecked(kobin::Command::EditPageSource) : sourceEditing;
    }
    int sourceEditingLeft = 0;
    void leaveSourceEditing() override
    {
        ++sourceEditingLeft;
        if (commands)
            commands->run(kobin::Command::EditPageSource);
        sourceEditing = false;
    }
    bool canFind() const override { return shown; }
    void findText(const QString &, bool, const std::function<void(int, int)> &found) override { found(0, 0); }
};

class FakeArrangement : public kobin::Arrangement
{
public:
    float stacked = 3720;
    float side = 1080;
    float width = 9000;
    float height = 5000;
    int layouts = 0;

    float stackedSplit() const override { return stacked; }
    void setStackedSplit(float twips) override { stacked = twips; }
    float sideSplit() const override { return side; }
    void setSideSplit(float twips) override { side = twips; }
    float contentWidth() const override { return width; }
    float contentHeight() const override { return height; }
    void relayout() override { ++layouts; }
};

class FakeWindowStatus : public kobin::WindowStatus
{
public:
    QString status;
    QStringList shownNow; // the status texts painted at once
    bool treeEnabled = true;
    bool treeExpanded = false;

    QString statusText() const override { return status; }
    void setStatusText(const QString &text) override { status = text; }
    void showStatusNow() override { shownNow << status; }
    void setTreeEnabled(bool enabled) override { treeEnabled = enabled; }
    bool isTreeEnabled() const override { return treeEnabled; }
    void expandTree() override { treeExpanded = true; }
};

// Names items from a script: each name is typed, then OK is pressed; when the
// script runs out, the dialog is cancelled.
class FakeItemNamer : public kobin::ItemNamer
{
public:
    QStringList names;
    QString typedThenCancelled; // typed after the names ran out, before the user cancels
    QStringList typedSoFar;     // what the tree was told at each keystroke
    std::function<void()> afterKeystroke; // looks at the tree while the dialog is open
    int asked = 0;

    std::optional<QString> askName(const std::function<void(const QString &)> &typed,
                                   const std::function<bool(const QString &)> &acceptable) override
    {
        ++asked;
        while (!names.isEmpty()) {
            const QString name = names.takeFirst();
            for (int i = 1; i <= name.size(); ++i)
                type(typed, name.left(i));
            if (acceptable(name))
                return name;
        }
        for (int i = 1; i <= typedThenCancelled.size(); ++i)
            type(typed, typedThenCancelled.left(i));
        return std::nullopt;
    }

private:
    void type(const std::function<void(const QString &)> &typed, const QString &text)
    {
        typed(text);
        typedSoFar << text;
        if (afterKeystroke)
            afterKeystroke();
    }
};

// Answers the page reference dialog from a script, through the dialog's own
// logic: each answer's name is typed (from an empty box) and its page put in,
// then OK is pressed; when the script runs out, the dialog is cancelled.
class FakePageReferrer : public kobin::PageReferrer
{
public:
    struct Answer {
        QString name;
        QString page;
    };
    // What the dialog showed when it opened.
    struct Opening {
        kobin::ReferenceMode mode;
        QString name;
        QString page;
        QStringList history;
        QString historyText;
    };

    explicit FakePageReferrer(kobin::PageReference::Services services) : m_services(services) {}

    QList<Answer> answers;
    QList<Opening> openings;

    bool referNewItem(const kobin::TreeItem &item) override
    {
        return run(kobin::ReferenceMode::NewItem, item).has_value();
    }
    std::optional<kobin::PageChange> changeReference(const kobin::TreeItem &item) override
    {
        return run(kobin::ReferenceMode::Change, item);
    }

private:
    std::optional<kobin::PageChange> run(kobin::ReferenceMode mode, const kobin::TreeItem &item)
    {
        kobin::PageReference reference(m_services, mode, item);
        openings.append({mode, reference.initialName(), reference.initialPage(), reference.history(),
                         reference.historyText()});
        while (!answers.isEmpty()) {
            const Answer answer = answers.takeFirst();
            for (int i = 0; i <= answer.name.size(); ++i)
                reference.nameTyped(answer.name.left(i));
            if (reference.accept(answer.name, answer.page))
                return reference.change();
        }
        reference.cancel();
        return std::nullopt;
    }

    kobin::PageReference::Services m_services;
};

// The book with its item display, book commands and tree commands over fake
// panes, prompts and dialogs, with settings in an INI file of its own, in a
// program folder of its own ("app/" in a temporary folder).
struct BookFixture : OpenBook {
    kobin::CommandRegistry commands;
    kobin::CommandState commandState{commands};
    FakeNotePane note;
    FakePageView page;
    FakeArrangement arrangement;
    FakeWindowStatus status;
    FakePrompter prompter;
    FakeFileDialogs dialogs;
    QStringList recent;
    kobin::ItemDisplay display{book, {note, page, arrangement, status, commandState}, prompter};
    kobin::BookCommands bookCommands{{book, display, status, prompter, dialogs,
                                      [this](const QString &path) { recent << path; }}};
    FakeItemNamer namer;
    kobin::Settings settings{dir.filePath(QStringLiteral("Kobin.ini")), dir.path() + QStringLiteral("/app/")};
    FakePageReferrer referrer{{book, display, prompter, dialogs, settings}};
    kobin::TreeCommands treeCommands{{book, display, prompter, namer, referrer}};

    BookFixture() = default;
    // The program folder at programFolder (ending in "/") instead.
    explicit BookFixture(const QString &programFolder) : OpenBook(programFolder) {}

    void click(const char *key)
    {
        kobin::TreeItem *item = tree.item(QString::fromLatin1(key));
        tree.select(item);
        display.showItem(item);
    }

    // What the command state shows of the item kind last shown.
    bool bookItemCommandsShown() const
    {
        return !commands.isEnabled(kobin::Command::MoveUp, kobin::Surface::Button);
    }
    bool homepageCommandsShown() const { return commandState.tabs().size() == 4; }
};
