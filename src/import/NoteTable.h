#pragma once

#include <QList>
#include <QStringList>
#include <QTextCharFormat>
#include <functional>

class QTextCursor;

namespace kobin::import {

// The most rows and columns a table read from another program keeps.
constexpr int kMaxTableRows = 2000;
constexpr int kMaxTableColumns = 100;

// What fills one cell: its cursor, its text and the format it is in.
using CellFill = std::function<void(QTextCursor &cell, const QString &text, const QTextCharFormat &format)>;

// Rows read from another program as a table of a note: a thin border, the first
// row the header, in bold. The cursor moves past the table; false, inserting
// nothing, when there are no cells.
bool insertNoteTable(QTextCursor &cursor, const QList<QStringList> &rows, const CellFill &fill);

} // namespace kobin::import
