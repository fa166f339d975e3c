#pragma once

// The formats of a note's tables and their cells, as rows read from RTF define them.
#include "TableRows.h"

#include <QTextTableFormat>
#include <vector>

namespace kobin::rtf {

// The right edge of each of a row's cells; one defined without is an inch right of the one before.
std::vector<int> cellEdges(const RowDefinition &row, size_t cells);
// A table laid out by the row: without borders or spacing of its own, its columns as wide as the row's cells.
QTextTableFormat tableFormatOf(const RowDefinition &row, const std::vector<int> &edges);
// The cell of the row at index, its right edge at edge.
QTextTableCellFormat cellFormatOf(const RowDefinition &row, size_t index, int edge);

} // namespace kobin::rtf
