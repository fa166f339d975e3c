#pragma once

#include "NotePane.h"
#include <QString>
#include <optional>

namespace kobin {

// The title of the messages that say a file is missing.
extern const QString kNotFoundTitle;

class Book;
class ItemTree;
class Prompter;

// Reads the book file into the tree as loadBookFile does, telling the user when
// the file cannot be read or holds no book. Returns the number of records left
// out, or nullopt when the tree was left as it was.
[[nodiscard]] std::optional<int> readBookFile(const QString &path, ItemTree &tree, Prompter &prompter);

// Saves the book as storeBook does, asking before it writes over a file another
// program has written since and telling the user what could not be written.
// False when nothing or not all was saved (a No to overwriting is not reported).
[[nodiscard]] bool saveBook(Book &book, Prompter &prompter);

// Tells the user that the file at path could not be written; a note too large to
// be read again is told so, with the size notes may have.
void reportSaveFailure(Prompter &prompter, const QString &path, NoteWriting why = NoteWriting::Unwritable);

} // namespace kobin
