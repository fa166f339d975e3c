#include "NoteTable.h"

#include <QTextCursor>
#include <QTextTable>
#include <algorithm>

namespace kobin::import {

bool insertNoteTable(QTextCursor &cursor, const QList<QStringList> &rows, const CellFill &fill)
{
    qsizetype columns = 0;
    for (const QStringList &row : rows)
        columns = std::max(columns, row.size());
    if (rows.isEmpty() || columns == 0)
        return false;
    QTextTableFormat format;
    format.setBorder(1);
    format.setCellPadding(2);
    format.setCellSpacing(0);
    format.setHeaderRowCount(1);
    QTextTable *table = cursor.insertTable(static_cast<int>(rows.size()), static_cast<int>(columns), format);
    QTextCharFormat header;
    header.setFontWeight(QFont::Bold);
    for (int row = 0; row < rows.size(); ++row) {
        for (int column = 0; column < rows[row].size(); ++column) {
            QTextCursor cell = table->cellAt(row, column).firstCursorPosition();
            fill(cell, rows[row][column], row == 0 ? header : QTextCharFormat());
        }
    }
    cursor = table->lastCursorPosition();
    cursor.movePosition(QTextCursor::NextBlock);
    return true;
}

} // namespace kobin::import
