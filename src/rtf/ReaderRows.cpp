#include "Reader.h"
#include "RtfUnits.h"

namespace kobin::rtf::reading {
namespace {

constexpr int kMaxBorderTwips = 300;   // the widest border Word draws
constexpr int kMaxPaddingTwips = 1440; // an inch

int channelMix(int pattern, int background, int shading)
{
    return (pattern * shading + background * (kFullShading - shading)) / kFullShading;
}

} // namespace

// Words of tables: where a paragraph is, and the definition of a row and its
// cells. False for any other word.
bool Reader::readRowWord(Word word, const Token &token)
{
    GroupState &group = top();
    const int value = token.parameter;
    const int twips = qBound(-kMaxCellEdgeTwips, value, kMaxCellEdgeTwips);
    RowDefinition &row = m_rows[static_cast<size_t>(m_rowDepth)];
    switch (word) {
    case Word::InTable: group.paragraph.tableDepth = qMax(1, group.paragraph.tableDepth); return true;
    case Word::TableDepth: group.paragraph.tableDepth = qBound(0, value, kMaxTableDepth); return true;
    case Word::NestedRowProperties: group.nestedRowProperties = true; return true;
    case Word::Cell: endCell(1); return true;
    case Word::NestedCell: endCell(group.paragraph.tableDepth); return true;
    case Word::Row: endRow(1); return true;
    case Word::NestedRow: endRow(group.paragraph.tableDepth); return true;
    default: break;
    }
    // A row's definition in a field is not the note's: a field kept whole would
    // otherwise change the rows around it each time it is read.
    if (m_field)
        return word >= Word::RowDefaults && word <= Word::RowPaddingRight;
    switch (word) {
    case Word::RowDefaults:
        m_rowDepth = group.nestedRowProperties ? qMax(1, group.paragraph.tableDepth) : 1;
        m_rows[static_cast<size_t>(m_rowDepth)] = RowDefinition();
        m_cell = PendingCell();
        return true;
    case Word::CellRight:
        row.cells.push_back(m_cell.definition);
        row.cells.back().rightTwips = twips;
        row.cells.back().background = shading(m_cell);
        m_cell = PendingCell();
        return true;
    case Word::CellBorderTop: readBorderOf(Top, -1); return true;
    case Word::CellBorderLeft: readBorderOf(Left, -1); return true;
    case Word::CellBorderBottom: readBorderOf(Bottom, -1); return true;
    case Word::CellBorderRight: readBorderOf(Right, -1); return true;
    case Word::RowBorderTop: readBorderOf(-1, RowTop); return true;
    case Word::RowBorderLeft: readBorderOf(-1, RowLeft); return true;
    case Word::RowBorderBottom: readBorderOf(-1, RowBottom); return true;
    case Word::RowBorderRight: readBorderOf(-1, RowRight); return true;
    case Word::RowBorderBetweenRows: readBorderOf(-1, BetweenRows); return true;
    case Word::RowBorderBetweenCells: readBorderOf(-1, BetweenCells); return true;
    case Word::OtherBorder: readBorderOf(-1, -1); return true;
    case Word::BorderSingle: setBorderStyle(QTextFrameFormat::BorderStyle_Solid); return true;
    case Word::BorderDouble: setBorderStyle(QTextFrameFormat::BorderStyle_Double); return true;
    case Word::BorderDotted: setBorderStyle(QTextFrameFormat::BorderStyle_Dotted); return true;
    case Word::BorderDashed: setBorderStyle(QTextFrameFormat::BorderStyle_Dashed); return true;
    case Word::BorderNone: setBorderStyle(QTextFrameFormat::BorderStyle_None); return true;
    case Word::BorderWidth:
        if (CellBorder *border = borderBeingRead())
            border->widthTwips = qBound(0, value, kMaxBorderTwips);
        return true;
    case Word::BorderColor:
        if (CellBorder *border = borderBeingRead())
            border->color = color(value);
        return true;
    case Word::CellBackground: m_cell.background = color(value); return true;
    case Word::CellPatternColor: m_cell.pattern = color(value); return true;
    case Word::CellShading: m_cell.shading = qBound(0, value, kFullShading); return true;
    case Word::CellMergeFirst: m_cell.definition.horizontal = CellMerge::First; return true;
    case Word::CellMerged: m_cell.definition.horizontal = CellMerge::Continued; return true;
    case Word::CellVerticalMergeFirst: m_cell.definition.vertical = CellMerge::First; return true;
    case Word::CellVerticalMerged: m_cell.definition.vertical = CellMerge::Continued; return true;
    case Word::CellTop: m_cell.definition.verticalAlignment = Qt::AlignTop; return true;
    case Word::CellMiddle: m_cell.definition.verticalAlignment = Qt::AlignVCenter; return true;
    case Word::CellBottom: m_cell.definition.verticalAlignment = Qt::AlignBottom; return true;
    case Word::RowAlignLeft: row.alignment = Qt::AlignLeft; return true;
    case Word::RowAlignRight: row.alignment = Qt::AlignRight; return true;
    case Word::RowAlignCenter: row.alignment = Qt::AlignHCenter; return true;
    case Word::RowLeft: row.leftTwips = twips; return true;
    case Word::RowGap: row.gapTwips = qBound(0, value, kMaxPaddingTwips); return true;
    case Word::RowPaddingTop: row.paddingTwips[Top] = qBound(0, value, kMaxPaddingTwips); return true;
    case Word::RowPaddingLeft: row.paddingTwips[Left] = qBound(0, value, kMaxPaddingTwips); return true;
    case Word::RowPaddingBottom: row.paddingTwips[Bottom] = qBound(0, value, kMaxPaddingTwips); return true;
    case Word::RowPaddingRight: row.paddingTwips[Right] = qBound(0, value, kMaxPaddingTwips); return true;
    default: return false;
    }
}

void Reader::readBorderOf(int cellSide, int rowSide)
{
    m_cell.side = cellSide;
    m_cell.rowSide = rowSide;
}

// The border the \brdr words now read describe, if it is a cell's or a row's.
CellBorder *Reader::borderBeingRead()
{
    if (m_cell.side >= 0)
        return &m_cell.definition.borders[static_cast<size_t>(m_cell.side)];
    if (m_cell.rowSide >= 0)
        return &m_rows[static_cast<size_t>(m_rowDepth)].borders[static_cast<size_t>(m_cell.rowSide)];
    return nullptr;
}

void Reader::setBorderStyle(QTextFrameFormat::BorderStyle style)
{
    CellBorder *border = borderBeingRead();
    if (!border)
        return;
    border->style = style;
    if (style == QTextFrameFormat::BorderStyle_None)
        *border = CellBorder();
}

// A row's borders (\trbrdr…) are those of the sides of its cells that give none of their own.
void Reader::applyRowBorders(RowDefinition &row)
{
    const auto given = [](const CellBorder &border) { return border.style != QTextFrameFormat::BorderStyle_None; };
    const auto either = [&](RowSide outer, RowSide inner) { return given(row.borders[outer]) ? row.borders[outer] : row.borders[inner]; };
    for (size_t i = 0; i < row.cells.size(); ++i) {
        std::array<CellBorder, 4> &borders = row.cells[i].borders;
        const CellBorder sides[] = {either(RowTop, BetweenRows), i == 0 ? row.borders[RowLeft] : row.borders[BetweenCells],
                                    either(RowBottom, BetweenRows),
                                    i + 1 == row.cells.size() ? row.borders[RowRight] : row.borders[BetweenCells]};
        for (size_t side = 0; side < borders.size(); ++side) {
            if (!given(borders[side]))
                borders[side] = sides[side];
        }
    }
}

// \clshdng mixes the pattern colour (black by default) into the background
// (white by default); without it the background is \clcbpat alone.
QColor Reader::shading(const PendingCell &cell)
{
    if (cell.shading == 0)
        return cell.background;
    const QColor pattern = cell.pattern.isValid() ? cell.pattern : QColor(Qt::black);
    const QColor background = cell.background.isValid() ? cell.background : QColor(Qt::white);
    return QColor(channelMix(pattern.red(), background.red(), cell.shading),
                  channelMix(pattern.green(), background.green(), cell.shading),
                  channelMix(pattern.blue(), background.blue(), cell.shading));
}

// \cell ends a cell of the outermost table, \nestcell one of the paragraph's;
// outside a table either is the tab that separates cells in plain text.
void Reader::endCell(int depth)
{
    if (top().paragraph.tableDepth == 0 || depth == 0) {
        emitText(u"\t");
        return;
    }
    if (flushParagraph())
        m_sink.endCell(m_keepsFormats ? sharedBlockFormat(top().paragraph) : QTextBlockFormat(), depth);
}

// \row ends a row of the outermost table, \nestrow one of the paragraph's; outside
// a table either ends the paragraph.
void Reader::endRow(int depth)
{
    if (top().paragraph.tableDepth == 0 || depth == 0) {
        endParagraph();
        return;
    }
    resolveLoneSurrogate();
    if (top().destination != Destination::Text)
        return;
    // A row ended in a field is in the note: the field cannot also stay whole, unseen.
    if (m_field)
        m_field->shown = true;
    flushHiddenText();
    applyRowBorders(m_rows[static_cast<size_t>(depth)]);
    m_sink.endRow(m_rows[static_cast<size_t>(depth)], depth);
}

} // namespace kobin::rtf::reading
