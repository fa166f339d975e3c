#pragma once

// Lists in the text pane: making paragraphs list items and changing their level.
#include <QTextListFormat>

class QTextCursor;

namespace kobin {

// The paragraphs of the cursor's selection become items of one list of the
// style; when all of them already are, they become plain paragraphs again.
// One step that undo takes back.
void toggleList(QTextCursor cursor, QTextListFormat::Style style);

// Moves the list items of the selection a level in (+1) or out (-1); an item
// moved out of the outermost level becomes a plain paragraph. An item joins
// the list of its new level just before it, if there is one. False when the
// caret's paragraph is no list item. One step that undo takes back.
bool changeListLevel(QTextCursor cursor, int step);

} // namespace kobin
