#pragma once

#include <QTextFormat>

namespace kobin::rtf {

// Properties of a note's text formats beyond Qt's own, set by the RTF reader
// and read by the writer.

// On the object character of a picture, an embedded object, a footnote or hidden
// text (KeptObjects.h): the group as read (QByteArray), the kind of picture (int),
// the hidden text (QString), the footnote's text (QString) and the fonts its group
// names (KeptFonts.h: QStringList, their code pages: QList<int>, the code page of the
// font around it: int); and the object type of hidden text.
constexpr int kKeptRtfProperty = QTextFormat::UserProperty + 0x100;
constexpr int kPictureKindProperty = QTextFormat::UserProperty + 0x101;
constexpr int kHiddenTextProperty = QTextFormat::UserProperty + 0x102;
constexpr int kFootnoteTextProperty = QTextFormat::UserProperty + 0x103;
constexpr int kKeptFontsProperty = QTextFormat::UserProperty + 0x104;
constexpr int kKeptFontCodePagesProperty = QTextFormat::UserProperty + 0x105;
constexpr int kKeptOuterCodePageProperty = QTextFormat::UserProperty + 0x106;
constexpr int kHiddenTextObject = QTextFormat::UserObject + 1;

// QString, on a run read in a font of the symbol character set: that font's
// name. While the run keeps that font, it is written back in it as the bytes
// it was read from.
constexpr int kSymbolFontProperty = QTextFormat::UserProperty + 0x200;

// int, on a run of characters a note wrote in a symbol font's glyph area
// (U+F000 + byte) in a font that is no symbol font, as word processors write
// list bullets: the SymbolFont they are glyphs of. The run shows the
// characters they stand for ("•") and is written back as read.
constexpr int kPrivateUseFontProperty = QTextFormat::UserProperty + 0x201;

// int, on raised (positive) or lowered text: by how many half-points, as \up
// and \dn give it; what the text shows is its baseline offset.
constexpr int kRaiseProperty = QTextFormat::UserProperty + 0x202;

// On the result of a field: its instruction group as read (QByteArray), written
// back byte for byte, and which field of the note it is (int), so that the runs
// of one field are written back as one field. A link's result is also an
// anchor with the link's address.
constexpr int kFieldInstructionProperty = QTextFormat::UserProperty + 0x300;
constexpr int kFieldNumberProperty = QTextFormat::UserProperty + 0x301;

// int, on the paragraphs of a list: the hanging indent (twips) that a list
// item's first line has in word processors, where its marker stands; the note
// draws the marker there itself.
constexpr int kListHangingProperty = QTextFormat::UserProperty + 0x400;
// int, on a list's format: the number of its first item when not 1.
constexpr int kListStartProperty = QTextFormat::UserProperty + 0x401;
// On a list's format, a list of Word's tables: its \ls and \listid (int), its
// entries as read (QByteArray), the fonts they name (QStringList, and their code
// pages: QList<int>) and the list's shape as read (QString).
constexpr int kWordListNumberProperty = QTextFormat::UserProperty + 0x402;
constexpr int kWordListIdProperty = QTextFormat::UserProperty + 0x403;
constexpr int kWordListEntryProperty = QTextFormat::UserProperty + 0x404;
constexpr int kWordListOverrideProperty = QTextFormat::UserProperty + 0x405;
constexpr int kWordListFontsProperty = QTextFormat::UserProperty + 0x406;
constexpr int kWordListFontCodePagesProperty = QTextFormat::UserProperty + 0x407;
constexpr int kWordListShapeProperty = QTextFormat::UserProperty + 0x408;

// On a table read: where it stands (\trleft) and half the space between its
// cells (\trgaph), in twips (int). On its cells: the right edges (\cellx,
// twips) of the cells they were read from, one for each column they span
// (QList<int>); and on a cell its row was read without (bool), which neither
// plain text nor the writer counts while it stays empty.
constexpr int kTableLeftProperty = QTextFormat::UserProperty + 0x500;
constexpr int kTableGapProperty = QTextFormat::UserProperty + 0x501;
constexpr int kCellEdgesProperty = QTextFormat::UserProperty + 0x502;
constexpr int kAbsentCellProperty = QTextFormat::UserProperty + 0x503;
// On the first cell of a row that stands elsewhere than its table: the row's
// \trleft (twips, int) and alignment (Qt::Alignment, int).
constexpr int kRowLeftProperty = QTextFormat::UserProperty + 0x504;
constexpr int kRowAlignmentProperty = QTextFormat::UserProperty + 0x505;

} // namespace kobin::rtf
