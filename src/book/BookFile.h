#pragma once

#include <QString>
#include <optional>

namespace kobin {

class ItemTree;
class Prompter;
struct BookSession;

// The tree string held by a book file, or nullopt when the file cannot be read.
// Reads code page 932, or UTF-8 after a byte-order mark.
std::optional<QString> loadTreeString(const QString &path);

// Writes the tree string and a CR LF, atomically: on failure the previous file
// stays as it was. Returns false on failure.
bool writeBookFile(const QString &path, const QString &treeString);

// Reads the book file into the tree and sets the caption. A file that cannot be
// read is reported and leaves tree and caption as they were; returns false then.
bool readBookFile(const QString &path, ItemTree &tree, BookSession &session, Prompter &prompter);

} // namespace kobin
