#pragma once

#include <QString>
#include <optional>

namespace kobin {

class ItemTree;
class Prompter;

// The tree string held by a book file, or nullopt when the file cannot be read.
// Reads code page 932, or UTF-8 after a byte-order mark.
std::optional<QString> loadTreeString(const QString &path);

// Writes the tree string and a CR LF, atomically: on failure the previous file
// stays as it was. Returns false on failure.
bool writeBookFile(const QString &path, const QString &treeString);

// Reads the book file into the tree. A file that cannot be read is reported and
// leaves the tree as it was; returns false then.
[[nodiscard]] bool readBookFile(const QString &path, ItemTree &tree, Prompter &prompter);

} // namespace kobin
