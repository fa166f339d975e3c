#pragma once

#include <QString>

namespace kobin {

class ItemTree;
class Prompter;
struct BookSession;

// What the book needs from the text pane to keep its content in files.
class TextPaneFiles
{
public:
    virtual ~TextPaneFiles() = default;
    virtual bool saveRichText(const QString &path) = 0;
};

// Writes the book: the tree string to the book file, then the working folder's
// content files into the book folder, and only then removes the book folder's
// content files that the working folder no longer holds. Stops at the first
// failure and reports it; returns false then (the book stays changed).
// A book without a name, or named "temp", has no book folder of its own and is refused.
[[nodiscard]] bool saveBook(const BookSession &session, const ItemTree &tree, Prompter &prompter);

bool emptyWorkingFolder(const BookSession &session);

// Makes the working folder hold exactly the book folder's content files: the same
// end state as emptying it and copying the book in, but files of the same name
// are overwritten in place, which is much faster than deleting thousands of files
// and creating them again. A file that cannot be copied is removed, never left
// with the previous book's content.
bool loadBookIntoWorkingFolder(const BookSession &session);

// Writes the shown item's text, and for a homepage item its splitter positions
// (twips), into the working folder. A file that cannot be written is reported and
// gives false: saving must not go on without the text the user typed.
[[nodiscard]] bool storeCurrentItem(const BookSession &session, const ItemTree &tree, TextPaneFiles &pane,
                                    float htmlSplitterTop, float sideSplitterLeft, Prompter &prompter);

} // namespace kobin
