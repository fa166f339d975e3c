#include "TableFormats.h"

#include "FormatProperties.h"
#include "RtfUnits.h"

namespace kobin::rtf {
namespace {

constexpr int kDefaultCellTwips = 1440; // of a cell read without \cellx

} // namespace

// The right edge of each cell of the row; one read without is an inch right of the one before.
std::vector<int> cellEdges(const RowDefinition &row, size_t cells)
{
    std::vector<int> edges;
    int edge = row.leftTwips;
    for (size_t i = 0; i < cells; ++i) {
        edge = i < row.cells.size() ? row.cells[i].rightTwips : qMin(edge + kDefaultCellTwips, kMaxCellEdgeTwips);
        edges.push_back(edge);
    }
    return edges;
}

QTextTableFormat tableFormatOf(const RowDefinition &row, const std::vector<int> &edges)
{
    QTextTableFormat format;
    format.setBorder(0);
    format.setCellSpacing(0);
    format.setCellPadding(0);
    format.setMargin(0);
    format.setBorderCollapse(true);
    format.setAlignment(row.alignment);
    format.setLeftMargin(qMax(0, row.leftTwips) / kTwipsPerPixel);
    format.setProperty(kTableLeftProperty, row.leftTwips);
    format.setProperty(kTableGapProperty, row.gapTwips);
    QList<QTextLength> widths;
    int left = row.leftTwips;
    for (const int edge : edges) {
        widths.append(QTextLength(QTextLength::FixedLength, qMax(0, edge - left) / kTwipsPerPixel));
        left = qMax(left, edge);
    }
    format.setColumnWidthConstraints(widths);
    return format;
}

QTextTableCellFormat cellFormatOf(const RowDefinition &row, size_t index, int edge)
{
    QTextTableCellFormat format;
    const CellDefinition cell = index < row.cells.size() ? row.cells[index] : CellDefinition();
    const auto padding = [&row](CellSide side, int otherwise) {
        return (row.paddingTwips[side] >= 0 ? row.paddingTwips[side] : otherwise) / kTwipsPerPixel;
    };
    format.setTopPadding(padding(Top, 0));
    format.setLeftPadding(padding(Left, row.gapTwips));
    format.setBottomPadding(padding(Bottom, 0));
    format.setRightPadding(padding(Right, row.gapTwips));
    for (const BorderProperties &side : kBorderProperties) {
        const CellBorder &border = cell.borders[side.side];
        if (border.style == QTextFrameFormat::BorderStyle_None)
            continue;
        format.setProperty(side.width, border.widthTwips / kTwipsPerPixel);
        format.setProperty(side.style, border.style);
        format.setProperty(side.brush, QBrush(border.color.isValid() ? border.color : QColor(Qt::black)));
    }
    if (cell.background.isValid())
        format.setBackground(cell.background);
    if (cell.verticalAlignment != Qt::AlignTop)
        format.setVerticalAlignment(cell.verticalAlignment == Qt::AlignBottom ? QTextCharFormat::AlignBottom
                                                                               : QTextCharFormat::AlignMiddle);
    format.setProperty(kCellEdgesProperty, QVariant::fromValue(QList<int>{edge}));
    return format;
}

} // namespace kobin::rtf
