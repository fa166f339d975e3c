#pragma once

#include "ReloadOffer.h"

#include <QString>
#include <functional>

namespace kobin {

class Book;
class CommandRegistry;
class FileDialogs;
class ItemDisplay;
class Prompter;
class WindowStatus;

// The commands that work on whole books: new, open, save, save as, the recent
// books, the book opened at start-up and the close request.
class BookCommands
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display;
        WindowStatus &status;
        Prompter &prompter;
        FileDialogs &dialogs;
        std::function<void(const QString &)> addRecentFile;
    };

    explicit BookCommands(Services services);

    // New, open, save and save as.
    void bindCommands(CommandRegistry &commands);

    // A change in the text pane marks the book unless the program itself is filling it.
    void textChanged();

    // 1 when the user cancels, 0 when the caller may go on.
    int askSaveChanges();
    int openBookDialog();
    int saveAsDialog();

    // The book at path, named name, or a new book when it cannot be read.
    void openAtStart(const QString &path, const QString &name);
    void newBook();
    // A new, empty book without asking about the open one (which has been saved or is gone).
    void startNewBook(bool changed);
    void openBook();
    void openRecentBook(const QString &path);
    void save();
    void saveAs();
    // The window asks before it closes; false keeps it open.
    bool closeRequest();
    // The book file may have been changed by another program: offers to read it again.
    void bookFileTouched();

private:
    bool loadWorkingFolder();
    [[nodiscard]] bool showOpenedBook();
    bool storeAndSave();
    bool readIntoBook(const QString &path);
    // False when the user would rather not share the book folder with another book of the same name.
    bool mayShareBookFolder(const QString &path);
    // Tells the user, once the book read last is open, of the records it left out.
    void reportRecordsLeftOut();
    bool saveWithStatus();

    Services m_services;
    int m_recordsLeftOut = 0; // by the book read last
    ReloadOffer m_reloadOffer{m_services.book, m_services.prompter};
};

} // namespace kobin
