#pragma once

// The tables being read, outermost first, each with its rows so far: a sink
// that gets a table's rows one at a time collects them here until the table
// ends (a paragraph outside it, or the end of the document) and it can be put
// whole. Paragraph is what the sink keeps of a paragraph.
#include "TableRows.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace kobin::rtf {

// Cells (rows times the widest row's cells) a table may hold; a row that would
// make more begins a table of its own, so that no note's table takes all memory.
constexpr size_t kMaxTableCells = 200000;

template <typename Paragraph>
class TableCollector
{
public:
    struct Table;
    // A paragraph of a cell, or a table in it.
    struct Item {
        Paragraph paragraph;
        std::unique_ptr<Table> table;
    };
    struct Cell {
        std::vector<Item> items;
    };
    struct Row {
        std::vector<Cell> cells;
        RowDefinition definition;
    };
    struct Table {
        std::vector<Row> rows;
        std::vector<Cell> cells; // of the row being read
        Cell cell;               // being read
        size_t columns = 0;      // of its widest row
    };
    using Tables = std::vector<std::unique_ptr<Table>>;

    bool isOpen() const { return !m_tables.empty(); }

    // The paragraph goes into the cell being read of the table depth deep; tables
    // deeper than it end, and missing ones between begin.
    void addParagraph(int depth, Paragraph paragraph)
    {
        close(depth); // depth ≥ 1: the outermost table stays open
        while (static_cast<int>(m_tables.size()) < depth)
            m_tables.push_back(std::make_unique<Table>());
        m_tables.back()->cell.items.push_back(Item{std::move(paragraph), {}});
    }

    // Ends the cell being read of the table depth deep, after its last paragraph.
    void endCell(int depth)
    {
        if (static_cast<int>(m_tables.size()) != depth)
            return;
        Table &table = *m_tables.back();
        table.cells.push_back(std::move(table.cell));
        table.cell = Cell();
    }

    // Ends the row being read of the table depth deep; a row without cells is none.
    void endRow(int depth, const RowDefinition &definition)
    {
        close(depth); // depth ≥ 1: the outermost table stays open
        if (static_cast<int>(m_tables.size()) != depth)
            return;
        Table &table = *m_tables.back();
        const size_t cells = table.cells.size() + (table.cell.items.empty() ? 0 : 1);
        if (!table.rows.empty() && (table.rows.size() + 1) * std::max(table.columns, cells) > kMaxTableCells) {
            auto next = std::make_unique<Table>();
            next->cells = std::move(table.cells);
            next->cell = std::move(table.cell);
            std::unique_ptr<Table> full = std::move(m_tables.back());
            m_tables.pop_back();
            full->cells.clear();
            full->cell = Cell();
            putEnded(std::move(full));
            m_tables.push_back(std::move(next));
        }
        endRow(*m_tables.back(), definition);
    }

    // Ends the tables deeper than depth, each going into the cell of the table
    // around it; the outermost tables that ended, in order, are returned.
    Tables close(int depth)
    {
        while (static_cast<int>(m_tables.size()) > depth) {
            std::unique_ptr<Table> table = std::move(m_tables.back());
            m_tables.pop_back();
            endRow(*table, table->rows.empty() ? RowDefinition() : table->rows.back().definition);
            if (!table->rows.empty())
                putEnded(std::move(table));
        }
        return std::exchange(m_ended, {});
    }

private:
    void putEnded(std::unique_ptr<Table> table)
    {
        if (m_tables.empty())
            m_ended.push_back(std::move(table));
        else
            m_tables.back()->cell.items.push_back(Item{Paragraph(), std::move(table)});
    }

    static void endRow(Table &table, const RowDefinition &definition)
    {
        if (!table.cell.items.empty()) {
            table.cells.push_back(std::move(table.cell));
            table.cell = Cell();
        }
        if (!table.cells.empty()) {
            table.columns = std::max(table.columns, table.cells.size());
            table.rows.push_back(Row{std::move(table.cells), definition});
        }
        table.cells.clear();
    }

    Tables m_tables;
    Tables m_ended; // outermost tables ended before the one open
};

} // namespace kobin::rtf
