#pragma once

// The control words the RTF reader knows, looked up by name.
#include "Picture.h"

#include <string_view>

namespace kobin::rtf::reading {

enum class Word {
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    FontTable, ColorTable, SkippedDestination, Object, Result, Upr, UnicodeText, TextDestination,
    Footnote, FootnoteNumber,
    Picture, ShapePicture, NonShapePicture, ObjectWidth, ObjectHeight, Hidden,
    Font, Charset, FontCodePage, Red, Green, Blue,
    Par, Line, Tab, Cell, Row, Plain, Pard,
    Bold, Italic, Underline, UnderlineWord, UnderlineDotted, UnderlineDash, UnderlineDashDot,
    UnderlineDashDotDot, UnderlineWave, UnderlineNone,
    FontSize, Color, Highlight,
    Field, FieldInstruction, FieldResult,
    Strike, Superscript, Subscript, NoSuperSub, Up, Down,
    AlignLeft, AlignRight, AlignCenter, AlignJustify, LeftIndent, RightIndent, FirstLineIndent,
    SpaceBefore, SpaceAfter, LineSpacing, LineMultiple, TabPosition, TabRight, TabCenter, TabDecimal,
    Unicode, UnicodeSkip,
    ListTable, List, ListLevel, LevelText, LevelFormat, LevelStart, ListId, ListOverride, ListOverrideNumber, ListLevelNumber,
    ListNumbering, ListBullet, ListBody, ListOutlineLevel, ListDecimal, ListLowerLetter, ListUpperLetter,
    ListLowerRoman, ListUpperRoman, ListStart, ListTextBefore, ListTextAfter,
    // From RowDefaults to RowPaddingRight: the words of a row's definition.
    InTable, TableDepth, NestedRowProperties, NestedCell, NestedRow, RowDefaults, CellRight, CellBorderTop, CellBorderLeft,
    CellBorderBottom, CellBorderRight, RowBorderTop, RowBorderLeft, RowBorderBottom, RowBorderRight,
    RowBorderBetweenRows, RowBorderBetweenCells, OtherBorder, BorderSingle, BorderDouble, BorderDotted, BorderDashed,
    BorderNone, BorderWidth, BorderColor, CellBackground, CellPatternColor, CellShading, CellMergeFirst,
    CellMerged, CellVerticalMergeFirst, CellVerticalMerged, CellTop, CellMiddle, CellBottom,
    RowAlignLeft, RowAlignRight, RowAlignCenter, RowLeft, RowGap, RowPaddingTop, RowPaddingLeft,
    RowPaddingBottom, RowPaddingRight,
    EmDash, EnDash, Bullet, LeftQuote, RightQuote, LeftDoubleQuote, RightDoubleQuote,
};

enum class PictureWord {
    Kind, Width, Height, GoalWidth, GoalHeight, ScaleX, ScaleY, BitmapWidthBytes, BitmapBitsPerPixel,
};

struct PictureWordMeaning {
    PictureWord word;
    PictureKind kind = PictureKind::Other;
};

bool isDestination(Word word);
// Null for a word the reader does not know.
const Word *findWord(std::string_view name);
// Null for a word that says nothing of a picture.
const PictureWordMeaning *findPictureWord(std::string_view name);

} // namespace kobin::rtf::reading
