#pragma once

#include "BookVersions.h"

#include <QList>
#include <optional>

namespace kobin {

class Book;
class BookCommands;
class CommandRegistry;
class ItemDisplay;
class Prompter;
class WindowStatus;

// Lets the user pick one of the open book's earlier versions (the versions dialog).
class VersionChooser
{
public:
    virtual ~VersionChooser() = default;
    // versions: newest first. The index chosen, or nullopt when the user cancels.
    virtual std::optional<int> choose(const QList<BookVersion> &versions) = 0;
};

// "以前の版を開く...": opens an earlier version of the open book as a new book,
// never saved, so that nothing of the book itself changes until the user saves it
// under a name.
class EarlierVersions
{
public:
    struct Services {
        Book &book;
        BookCommands &bookCommands;
        ItemDisplay &display;
        WindowStatus &status;
        Prompter &prompter;
        VersionChooser &chooser;
    };
    explicit EarlierVersions(Services services);

    void bindCommands(CommandRegistry &commands);
    void openEarlierVersion();

private:
    QString stagingFolder() const;

    Services m_services;
};

} // namespace kobin
