#pragma once

#include "FileStamp.h"

namespace kobin {

class Book;
class Prompter;

// Offers to read the open book's file again when another program (a sync tool
// bringing another computer's save) has changed it: only while the open book holds
// no change of its own (a save then asks before overwriting instead), and once for
// each state of the file the user chose to keep the open book over.
class ReloadOffer
{
public:
    ReloadOffer(const Book &book, Prompter &prompter);

    // The book file may have changed on disk: true when the user wants it read again.
    [[nodiscard]] bool wanted();

private:
    const Book &m_book;
    Prompter &m_prompter;
    FileStamp m_declined;
};

} // namespace kobin
