#pragma once

#include <QString>

namespace kobin {

class Book;
class Prompter;

// Writes the book: the tree string to the book file, then the working folder's
// content files into the book folder, and only then removes from the book folder
// the content files deleted since the book was opened or last saved; nothing else
// there is removed. Stops at the first failure and reports it; returns false then
// (the book stays changed). A working folder that has gone is such a failure.
// A book without a name, or named "temp", has no book folder of its own and is refused.
[[nodiscard]] bool saveBook(Book &book, Prompter &prompter);

// False for a book without a name, or named "temp" (the working folder's name).
bool hasOwnBookFolder(const QString &bookName);

// Tells the user that the file at path could not be written.
void reportSaveFailure(Prompter &prompter, const QString &path);

} // namespace kobin
