// The tables of a document being built: each goes in whole once it has ended.
#include "DocumentBuilder.h"

#include "FormatProperties.h"
#include "TableFormats.h"

#include <QPointer>
#include <QTextList>
#include <QTextTable>

namespace kobin::rtf {

// The tables that ended go in at the cursor; the paragraph after the last fills the block after it.
void DocumentBuilder::putTables()
{
    for (const std::unique_ptr<Tables::Table> &table : m_tables.close(0)) {
        insertTable(m_cursor, *table);
        m_fillBlock = true;
    }
}

// The cursor ends in the block after the table.
void DocumentBuilder::insertTable(QTextCursor &cursor, const Tables::Table &table)
{
    const auto widest = std::max_element(table.rows.begin(), table.rows.end(), [](const auto &a, const auto &b) {
        return a.cells.size() < b.cells.size();
    });
    const int columns = static_cast<int>(widest->cells.size());
    QTextTable *qtable = cursor.insertTable(static_cast<int>(table.rows.size()), columns,
                                            tableFormatOf(widest->definition, cellEdges(widest->definition, widest->cells.size())));
    for (int r = 0; r < qtable->rows(); ++r) {
        const Tables::Row &row = table.rows[static_cast<size_t>(r)];
        const std::vector<int> edges = cellEdges(row.definition, row.cells.size());
        for (int c = 0; c < columns; ++c) {
            QTextTableCell cell = qtable->cellAt(r, c);
            const auto index = static_cast<size_t>(c);
            if (index >= row.cells.size()) {
                QTextTableCellFormat absent;
                absent.setProperty(kAbsentCellProperty, true);
                cell.setFormat(absent);
                continue;
            }
            QTextCursor inCell = cell.firstCursorPosition();
            insertItems(inCell, row.cells[index].items);
            // A cell's format is that of its first paragraph's mark, which the cell's properties join;
            // the mark's highlight is not the cell's shading, though Qt keeps both in one property.
            QTextCharFormat format = cell.format();
            format.clearBackground();
            format.merge(cellFormatOf(row.definition, index, edges[index]));
            if (c == 0 && (row.definition.leftTwips != widest->definition.leftTwips
                           || row.definition.alignment != widest->definition.alignment)) {
                format.setProperty(kRowLeftProperty, row.definition.leftTwips);
                format.setProperty(kRowAlignmentProperty, int(row.definition.alignment));
            }
            cell.setFormat(format);
        }
    }
    mergeCells(*qtable, table);
    cursor.setPosition(qtable->lastPosition() + 1);
}

// A table in a cell follows the paragraph before it, and the one after it fills the block after it.
void DocumentBuilder::insertItems(QTextCursor &cursor, const std::vector<Tables::Item> &items)
{
    bool fill = true;
    for (const Tables::Item &item : items) {
        if (item.table) {
            insertTable(cursor, *item.table);
            fill = true;
        } else {
            insertParagraph(cursor, item.paragraph, {item.paragraph.runs.data(), item.paragraph.runs.size()}, fill);
            fill = false;
        }
    }
}

namespace {

// A block's format and list, taken before an edit that may change them and given back after it.
// (Its character format is the mark before it, a cell's format in a cell's first block.)
struct BlockFormat {
    QTextCursor at; // moves with the edit
    QTextBlockFormat format;
    QPointer<QTextList> list;

    static BlockFormat of(QTextCursor cursor)
    {
        cursor.movePosition(QTextCursor::EndOfBlock);
        return {cursor, cursor.blockFormat(), cursor.currentList()};
    }

    void restore()
    {
        QTextList *now = at.currentList();
        if (now != list) {
            if (now)
                now->remove(at.block());
            if (list)
                list->add(at.block());
        }
        at.setBlockFormat(format);
    }
};

} // namespace

// Merged cells read as cells of their own, the first with the text and the
// others empty, and become one. Cells with text are never merged away.
void DocumentBuilder::mergeCells(QTextTable &qtable, const Tables::Table &table)
{
    struct Region {
        int row, column, rows, columns;
    };
    const auto isEmpty = [](const Tables::Cell &cell) {
        return cell.items.size() == 1 && !cell.items[0].table && cell.items[0].paragraph.runs.empty()
            && !cell.items[0].paragraph.listItem;
    };
    const auto definition = [](const Tables::Row &row, size_t index) {
        return index < row.definition.cells.size() ? row.definition.cells[index] : CellDefinition();
    };
    const int columns = qtable.columns();
    std::vector<Region> regions;
    std::vector<int> regionAt(table.rows.size() * static_cast<size_t>(columns), -1);
    const auto at = [&regionAt, columns](int row, int column) -> int & {
        return regionAt[static_cast<size_t>(row) * static_cast<size_t>(columns) + static_cast<size_t>(column)];
    };
    // Whether the cells right of column in the row continue a merge as wide as columns.
    const auto continues = [&](const Tables::Row &row, int r, int column, int width) {
        for (int c = column + 1; c < column + width; ++c) {
            const auto index = static_cast<size_t>(c);
            if (index >= row.cells.size() || at(r, c) >= 0 || !isEmpty(row.cells[index])
                || definition(row, index).horizontal != CellMerge::Continued)
                return false;
        }
        return true;
    };
    for (int r = 0; r < static_cast<int>(table.rows.size()); ++r) {
        const Tables::Row &row = table.rows[static_cast<size_t>(r)];
        for (int c = 0; c < static_cast<int>(row.cells.size()); ++c) {
            if (at(r, c) >= 0)
                continue; // in a merge from the row above
            const auto index = static_cast<size_t>(c);
            const CellDefinition cell = definition(row, index);
            const bool empty = isEmpty(row.cells[index]);
            if (empty && cell.horizontal == CellMerge::Continued && c > 0) {
                const int left = at(r, c - 1);
                if (left >= 0 && regions[static_cast<size_t>(left)].row == r) {
                    ++regions[static_cast<size_t>(left)].columns;
                    at(r, c) = left;
                    continue;
                }
            }
            if (empty && cell.vertical == CellMerge::Continued && r > 0) {
                const int above = at(r - 1, c);
                Region *region = above >= 0 ? &regions[static_cast<size_t>(above)] : nullptr;
                if (region && region->column == c && region->row + region->rows == r
                    && continues(row, r, c, region->columns)) {
                    ++region->rows;
                    for (int k = 0; k < region->columns; ++k)
                        at(r, c + k) = above;
                    continue;
                }
            }
            regions.push_back({r, c, 1, 1});
            at(r, c) = static_cast<int>(regions.size()) - 1;
        }
    }
    for (const Region &region : regions) {
        if (region.rows == 1 && region.columns == 1)
            continue;
        QList<int> edges;
        for (int c = region.column; c < region.column + region.columns; ++c)
            edges += qtable.cellAt(region.row, c).format().property(kCellEdgesProperty).value<QList<int>>();
        QTextTableCell owner = qtable.cellAt(region.row, region.column);
        QTextTableCellFormat format = owner.format().toTableCellFormat();
        format.setProperty(kCellEdgesProperty, QVariant::fromValue(edges));
        owner.setFormat(format);
        // Qt joins the block before each cell it merges away with that cell's empty block,
        // which gives the joined block its format: the block before gets its own back.
        std::vector<BlockFormat> blocksBefore;
        for (int r = region.row; r < region.row + region.rows; ++r) {
            for (int c = region.column; c < region.column + region.columns; ++c) {
                if (r != region.row || c != region.column)
                    blocksBefore.push_back(BlockFormat::of(QTextCursor(qtable.cellAt(r, c).firstCursorPosition().block().previous())));
            }
        }
        qtable.mergeCells(region.row, region.column, region.rows, region.columns);
        // A block of a cell merged away ends up in the block before it: the earlier block's format is given last.
        for (auto block = blocksBefore.rbegin(); block != blocksBefore.rend(); ++block)
            block->restore();
    }
}

} // namespace kobin::rtf
