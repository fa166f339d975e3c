#pragma once

#include <QString>

#include <functional>

namespace kobin {

class Book;

// Writes the book: the content files written since it was opened or last saved
// into the book folder (all of them when it is saved under another name, but for
// those that folder holds byte for byte already), then the tree string to the book
// file, and only then removes from the book folder the content files deleted since
// the book was opened or last saved; nothing else there is removed. A save cut
// short thus leaves the old tree with some new notes, never a tree that names a
// note not yet written. Stops at the first failure, naming what could not be
// written (the book stays changed). A working folder that has gone is such a failure.
// A book without a name, or named "temp", has no book folder of its own and is refused.
// Before anything is written, asks mayOverwrite about each file the save would
// replace or remove (the book file first, then the content files) that another
// program has written since the book read or last saved it (a book in a synced
// folder); a No writes nothing. Each file is looked at again right before it is
// replaced: one written again since its answer is asked about again, and a No
// then stops the save there.
// Afterwards the book's stamps are those of the files just written.
struct StoreResult {
    enum class Outcome { Saved, Declined, Failed };
    Outcome outcome;
    QString failedPath; // the file or folder that could not be written
};
using OverwriteQuestion = std::function<bool(const QString &path)>;
[[nodiscard]] StoreResult storeBook(Book &book, const OverwriteQuestion &mayOverwrite);

// Removes what writes cut short by a crash left of the book's files: the part
// files in its book folder and the book file's own beside it. Done when a book
// is opened, the one time its folder is listed whole.
void removeUnfinishedWrites(const Book &book);

// False for a book without a name, or named "temp" (the working folder's name).
bool hasOwnBookFolder(const QString &bookName);

} // namespace kobin
