#include "TableEditing.h"

#include "FormatProperties.h"
#include "TableFormats.h"

#include <QTextCursor>
#include <QTextTable>

namespace kobin {
namespace {

constexpr int kTableWidthTwips = 9000; // of a table made in the note
constexpr int kColumnTwips = 1440;     // of a column added to one
constexpr int kGapTwips = 108;         // Word's padding left and right of a cell's text
constexpr int kBorderTwips = 10;       // a hairline

rtf::RowDefinition newRow(int columns)
{
    rtf::RowDefinition row;
    row.gapTwips = kGapTwips;
    rtf::CellDefinition cell;
    for (rtf::CellBorder &border : cell.borders)
        border = {QTextFrameFormat::BorderStyle_Solid, kBorderTwips, {}};
    for (int c = 1; c <= columns; ++c) {
        cell.rightTwips = kTableWidthTwips * c / columns;
        row.cells.push_back(cell);
    }
    return row;
}

// The column widths change: the edges cells were read with no longer hold.
void setColumnWidths(QTextTable &table, const QList<QTextLength> &widths)
{
    QTextTableFormat format = table.format();
    format.setColumnWidthConstraints(widths);
    table.setFormat(format);
    for (int r = 0; r < table.rows(); ++r) {
        for (int c = 0; c < table.columns(); ++c) {
            QTextTableCell cell = table.cellAt(r, c);
            QTextCharFormat cellFormat = cell.format();
            if (!cellFormat.hasProperty(rtf::kCellEdgesProperty))
                continue;
            cellFormat.clearProperty(rtf::kCellEdgesProperty);
            cell.setFormat(cellFormat);
        }
    }
}

} // namespace

bool moveToNextCell(QTextCursor &cursor, bool forward)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    const QTextTableCell cell = table->cellAt(cursor);
    int row = cell.row();
    int column = forward ? cell.column() + cell.columnSpan() : cell.column() - 1;
    if (column >= table->columns()) {
        row += cell.rowSpan();
        column = 0;
    } else if (column < 0) {
        --row;
        column = table->columns() - 1;
    }
    if (row < 0)
        return true; // Shift+Tab in the first cell stays there
    if (row >= table->rows())
        table->appendRows(1);
    const QTextTableCell next = table->cellAt(row, column);
    cursor.setPosition(next.firstCursorPosition().position());
    cursor.setPosition(next.lastCursorPosition().position(), QTextCursor::KeepAnchor);
    return true;
}

void insertTable(QTextCursor &cursor, int rows, int columns)
{
    const rtf::RowDefinition row = newRow(columns);
    const std::vector<int> edges = rtf::cellEdges(row, row.cells.size());
    cursor.beginEditBlock();
    QTextTable *table = cursor.insertTable(rows, columns, rtf::tableFormatOf(row, edges));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            table->cellAt(r, c).setFormat(rtf::cellFormatOf(row, static_cast<size_t>(c), edges[static_cast<size_t>(c)]));
    }
    cursor.endEditBlock();
    cursor = table->cellAt(0, 0).firstCursorPosition();
}

bool insertRow(QTextCursor cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    table->insertRows(table->cellAt(cursor).row(), 1);
    return true;
}

bool insertColumn(QTextCursor cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table || table->columns() >= kMaxTableColumns)
        return false;
    const int column = table->cellAt(cursor).column();
    QList<QTextLength> widths = table->format().columnWidthConstraints();
    cursor.beginEditBlock();
    table->insertColumns(column, 1);
    if (column <= widths.size())
        widths.insert(column, QTextLength(QTextLength::FixedLength, kColumnTwips / 15.0));
    setColumnWidths(*table, widths);
    cursor.endEditBlock();
    return true;
}

bool removeRow(QTextCursor cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    table->removeRows(table->cellAt(cursor).row(), 1);
    return true;
}

bool removeColumn(QTextCursor cursor)
{
    QTextTable *table = cursor.currentTable();
    if (!table)
        return false;
    const int column = table->cellAt(cursor).column();
    QList<QTextLength> widths = table->format().columnWidthConstraints();
    cursor.beginEditBlock();
    if (table->columns() == 1) {
        table->removeRows(0, table->rows());
    } else {
        table->removeColumns(column, 1);
        if (column < widths.size())
            widths.removeAt(column);
        setColumnWidths(*table, widths);
    }
    cursor.endEditBlock();
    return true;
}

} // namespace kobin
