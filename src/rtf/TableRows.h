#pragma once

// A table row's definition (\trowd … \cellx) as the RTF reader reads it: what
// each cell looks like and where its right edge is, and where the row stands.
#include <QColor>
#include <QTextFrameFormat>
#include <array>
#include <cstdint>
#include <vector>

namespace kobin::rtf {

// How deep tables go in tables (\itap); deeper paragraphs are the deepest table's.
constexpr int kMaxTableDepth = 16;
// How far right a cell's edge (\cellx) goes: 22 inches, the widest page Windows prints.
constexpr int kMaxCellEdgeTwips = 31680;

enum class CellMerge : uint8_t { None, First, Continued };
enum CellSide : uint8_t { Top, Left, Bottom, Right }; // of \clbrdrt, \clbrdrl, \clbrdrb, \clbrdrr

// The properties of a table cell's format that hold the border of each side.
struct BorderProperties {
    CellSide side;
    int width;
    int style;
    int brush;
};
constexpr BorderProperties kBorderProperties[] = {
    {Top, QTextFormat::TableCellTopBorder, QTextFormat::TableCellTopBorderStyle, QTextFormat::TableCellTopBorderBrush},
    {Left, QTextFormat::TableCellLeftBorder, QTextFormat::TableCellLeftBorderStyle, QTextFormat::TableCellLeftBorderBrush},
    {Bottom, QTextFormat::TableCellBottomBorder, QTextFormat::TableCellBottomBorderStyle,
     QTextFormat::TableCellBottomBorderBrush},
    {Right, QTextFormat::TableCellRightBorder, QTextFormat::TableCellRightBorderStyle,
     QTextFormat::TableCellRightBorderBrush},
};

struct CellBorder {
    QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
    int widthTwips = 0;
    QColor color; // invalid: the automatic colour

    bool operator==(const CellBorder &other) const
    {
        return style == other.style && widthTwips == other.widthTwips && color == other.color;
    }
};

struct CellDefinition {
    int rightTwips = 0; // \cellx: the right edge, from the margin
    std::array<CellBorder, 4> borders; // by CellSide
    QColor background; // invalid: none
    Qt::Alignment verticalAlignment = Qt::AlignTop;
    CellMerge horizontal = CellMerge::None;
    CellMerge vertical = CellMerge::None;
};

// Of \trbrdrt, l, b, r: the row's outer sides; \trbrdrh and v: between rows and between cells.
enum RowSide : uint8_t { RowTop, RowLeft, RowBottom, RowRight, BetweenRows, BetweenCells };

struct RowDefinition {
    std::vector<CellDefinition> cells;
    std::array<CellBorder, 6> borders; // by RowSide: for the sides of cells that give none of their own
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0; // \trleft: where the first cell's left edge is
    int gapTwips = 0;  // \trgaph: half the space between cells, each cell's left and right padding
    std::array<int, 4> paddingTwips{-1, -1, -1, -1}; // \trpaddt, l, b, r by CellSide; -1: not given
};

} // namespace kobin::rtf
