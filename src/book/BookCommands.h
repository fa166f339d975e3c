#pragma once

#include <QString>
#include <functional>

namespace kobin {

class BookView;
class FileDialogs;
class ItemDisplay;
class ItemTree;
class Prompter;
class TextPaneFiles;
struct BookSession;

// The commands that work on whole books: new, open, save, save as, the recent
// books and the close request, with the changed flag and its mark in the caption.
class BookCommands
{
public:
    struct Services {
        BookSession &session;
        ItemTree &tree;
        BookView &view;
        TextPaneFiles &pane;
        ItemDisplay &display;
        Prompter &prompter;
        FileDialogs &dialogs;
        std::function<void(const QString &)> addRecentFile;
    };

    explicit BookCommands(Services services);

    // Marks the book changed: sets the flag and appends " （更新）" to the caption once.
    void markChanged();
    // A change in the text pane marks the book unless the program itself is filling it.
    void textChanged();

    // 1 when the user cancels, 0 when the caller may go on.
    int askSaveChanges();
    int openBookDialog();
    int saveAsDialog();

    void newBook();
    void openBook();
    void openRecentBook(const QString &path);
    void save();
    void saveAs();
    // The window asks before it closes; false keeps it open.
    bool closeRequest();

private:
    void showOpenedBook();
    bool storeShownItem();
    bool storeAndSave();
    bool readIntoBook(const QString &path);
    void finishSave(const QString &statusBefore);

    Services m_;
};

} // namespace kobin
