#pragma once

// The rows of a note's tables as the RTF writer writes them.
#include <QByteArray>

class QTextTable;
class QTextTableCell;

namespace kobin::rtf {

class ColorTable;

// A cell its row was read without, still empty: no cell of the row to write.
bool isAbsentCell(const QTextTableCell &cell);
// \trowd and the words of the row's cells up to the \cellx of each, as read:
// merged cells as the cells they were read from, the first with their look.
QByteArray rowDefinition(const QTextTable &table, int row, ColorTable &colors);

} // namespace kobin::rtf
