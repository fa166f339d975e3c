#pragma once

#include <QStringList>

namespace kobin {

class Book;
class BookCommands;
class Prompter;

// Deletes whole books kept in the program folder: each ticked book file with its
// book folder. Touches nothing but book files directly in the program folder and
// the book folders beside them.
class BookOrganizer
{
public:
    BookOrganizer(const Book &book, BookCommands &commands, Prompter &prompter);

    // The ".iis" files directly in the program folder, by name.
    QStringList bookFiles() const;

    // Asks, then deletes the ticked entries (file names as bookFiles gives them; any
    // other name is refused and stays) into the desktop trash where there is one.
    // A book folder that another book file still uses stays, and the user is told.
    // Deleting the open book starts a new one without asking to save.
    // Returns the entries that remain: all of them when the user cancels, otherwise
    // those not ticked (a ticked book leaves the list even when a file of it could
    // not be removed).
    QStringList deleteBooks(const QStringList &entries, const QStringList &ticked);

private:
    const Book &m_book;
    BookCommands &m_commands;
    Prompter &m_prompter;
};

} // namespace kobin
