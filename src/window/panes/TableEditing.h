#pragma once

// Tables in the text pane: moving between cells, and tables, rows and columns
// made and removed. Each change is one step that undo takes back.
class QTextCursor;

namespace kobin {

constexpr int kMaxTableRows = 1000;
constexpr int kMaxTableColumns = 63; // as many as word processors make

// Tab: the next cell of the caret's table, its text selected (Tab in the last
// cell adds a row first); Shift+Tab: the cell before. False outside tables.
bool moveToNextCell(QTextCursor &cursor, bool forward);
// A table of rows × columns at the cursor, with borders, its columns of equal
// width; the cursor ends in its first cell.
void insertTable(QTextCursor &cursor, int rows, int columns);
// A row above the caret's, a column left of it; the caret's row or column
// removed (with the last one, the table). False outside tables.
bool insertRow(QTextCursor cursor);
bool insertColumn(QTextCursor cursor);
bool removeRow(QTextCursor cursor);
bool removeColumn(QTextCursor cursor);

} // namespace kobin
