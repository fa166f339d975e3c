#include "WriterRows.h"

#include "FormatProperties.h"
#include "RtfUnits.h"
#include "TableRows.h"
#include "WriterTables.h"
#include "WriterWords.h"

#include <QTextTable>

namespace kobin::rtf {
namespace {

constexpr int kTextWidthTwips = 9638;   // of an A4 page with margins of 2 cm: a table's width unless set

int twips(double pixels)
{
    return qRound(pixels * kTwipsPerPixel);
}

void put(QByteArray &out, const char *word, int value)
{
    out += '\\';
    out += word;
    out += QByteArray::number(value);
}

// The right edge of each column of a table made in the note, from its widths.
QList<int> columnEdges(const QTextTable &table, int left)
{
    const QList<QTextLength> widths = table.format().columnWidthConstraints();
    const int columns = table.columns();
    QList<int> edges;
    int edge = left;
    for (int c = 0; c < columns; ++c) {
        const QTextLength width = c < widths.size() ? widths[c] : QTextLength();
        if (width.type() == QTextLength::FixedLength)
            edge += twips(width.rawValue());
        else if (width.type() == QTextLength::PercentageLength)
            edge += qRound(kTextWidthTwips * width.rawValue() / 100.0);
        else
            edge += kTextWidthTwips / columns;
        edge = qMin(edge, kMaxCellEdgeTwips);
        edges.append(edge);
    }
    return edges;
}

// A cell's borders; a side without one of its own takes the table's border (as
// an HTML table with a border has), which word processors know only on cells.
void putBorders(QByteArray &out, const QTextTableCellFormat &format, const QTextTableFormat &table, ColorTable &colors)
{
    static const char *const kSideWords[] = {"\\clbrdrt", "\\clbrdrl", "\\clbrdrb", "\\clbrdrr"};
    for (const BorderProperties &side : kBorderProperties) {
        double width = format.doubleProperty(side.width);
        auto style = static_cast<QTextFrameFormat::BorderStyle>(format.intProperty(side.style));
        QBrush brush = format.brushProperty(side.brush);
        if (style == QTextFrameFormat::BorderStyle_None || width <= 0) {
            width = table.border();
            style = table.borderStyle();
            brush = table.borderBrush();
        }
        if (style == QTextFrameFormat::BorderStyle_None || width <= 0)
            continue;
        out += kSideWords[side.side];
        out += borderStyleWord(style);
        put(out, "brdrw", twips(width));
        if (brush.style() != Qt::NoBrush && brush.color() != Qt::black)
            put(out, "brdrcf", colors.indexOf(brush.color()));
    }
}

void putCell(QByteArray &out, const QTextTableCell &cell, int row, int column, int edge, const QTextTableFormat &table,
             ColorTable &colors)
{
    if (cell.columnSpan() > 1)
        out += column == cell.column() ? "\\clmgf" : "\\clmrg";
    if (cell.rowSpan() > 1)
        out += row == cell.row() ? "\\clvmgf" : "\\clvmrg";
    const QTextTableCellFormat format = cell.format().toTableCellFormat();
    if (format.verticalAlignment() == QTextCharFormat::AlignMiddle)
        out += "\\clvertalc";
    else if (format.verticalAlignment() == QTextCharFormat::AlignBottom)
        out += "\\clvertalb";
    putBorders(out, format, table, colors);
    if (format.hasProperty(QTextFormat::BackgroundBrush) && format.background().style() != Qt::NoBrush) {
        // A pattern of the colour all over: word processors fill the cell with it
        const int color = colors.indexOf(format.background().color());
        put(out, "clcfpat", color);
        put(out, "clcbpat", color);
        put(out, "clshdng", kFullShading);
    }
    put(out, "cellx", edge);
}

} // namespace

bool isAbsentCell(const QTextTableCell &cell)
{
    return cell.format().boolProperty(kAbsentCellProperty) && cell.firstPosition() == cell.lastPosition();
}

QByteArray rowDefinition(const QTextTable &table, int row, ColorTable &colors)
{
    const QTextTableFormat format = table.format();
    const QTextTableCellFormat first = table.cellAt(row, 0).format().toTableCellFormat();
    const int tableLeft = format.hasProperty(kTableLeftProperty) ? format.intProperty(kTableLeftProperty)
                                                                 : twips(format.leftMargin());
    const int left = first.hasProperty(kRowLeftProperty) ? first.intProperty(kRowLeftProperty) : tableLeft;
    const int gap = format.hasProperty(kTableGapProperty) ? format.intProperty(kTableGapProperty) : twips(first.leftPadding());
    QByteArray out = "\\trowd";
    put(out, "trgaph", gap);
    put(out, "trleft", left);
    const Qt::Alignment alignment = (first.hasProperty(kRowAlignmentProperty)
                                         ? Qt::Alignment(first.intProperty(kRowAlignmentProperty))
                                         : format.alignment()) & Qt::AlignHorizontal_Mask;
    if (alignment & Qt::AlignHCenter)
        out += "\\trqc";
    else if (alignment & (Qt::AlignRight | Qt::AlignTrailing))
        out += "\\trqr";
    const auto padding = [&out](const char *word, const char *unit, int value) {
        put(out, word, value);
        out += unit;
    };
    if (twips(first.topPadding()) != 0)
        padding("trpaddt", "\\trpaddft3", twips(first.topPadding()));
    if (twips(first.leftPadding()) != gap)
        padding("trpaddl", "\\trpaddfl3", twips(first.leftPadding()));
    if (twips(first.bottomPadding()) != 0)
        padding("trpaddb", "\\trpaddfb3", twips(first.bottomPadding()));
    if (twips(first.rightPadding()) != gap)
        padding("trpaddr", "\\trpaddfr3", twips(first.rightPadding()));
    const QList<int> columns = columnEdges(table, left);
    for (int c = 0; c < table.columns(); ++c) {
        const QTextTableCell cell = table.cellAt(row, c);
        if (isAbsentCell(cell))
            continue;
        const QList<int> edges = cell.format().property(kCellEdgesProperty).value<QList<int>>();
        const int k = c - cell.column();
        putCell(out, cell, row, c, k < edges.size() ? edges[k] : columns[c], format, colors);
    }
    return out;
}

} // namespace kobin::rtf
