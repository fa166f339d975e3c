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
bool saveBook(const BookSession &session, const ItemTree &tree, Prompter &prompter);

// Creates the working folder when missing and copies the book folder's content
// files into it. Callers empty the working folder first.
bool copyBookToWorkingFolder(const BookSession &session);

bool emptyWorkingFolder(const BookSession &session);

// Writes the shown item's text, and for a homepage item its splitter positions
// (twips), into the working folder.
bool storeCurrentItem(const BookSession &session, const ItemTree &tree, TextPaneFiles &pane,
                      float htmlSplitterTop, float sideSplitterLeft);

} // namespace kobin
