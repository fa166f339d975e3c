#pragma once

// The state the RTF reader keeps while it reads: what each group sets, the
// fonts of the font table, and the picture or kept group being read.
#include "KeptFonts.h"
#include "KeptObjects.h"
#include "RtfUnits.h"

#include <QHash>
#include <QHashFunctions>
#include <QString>
#include <QTextCharFormat>
#include <QTextListFormat>
#include <QTextOption>
#include <cstdint>
#include <optional>
#include <vector>

namespace kobin::rtf::reading {

// Real documents nest a handful of groups; deeper groups share the state of
// the deepest one kept, so nesting costs no memory beyond this.
constexpr int kMaxDepth = 1024;
constexpr int kMaxUnicodeSkip = 255;
constexpr int kMaxFontNameLength = 256;
constexpr int kMaxIndentTwips = 31680; // 22 inches, the widest page Windows prints
constexpr int kMaxTabStops = 64;
constexpr char16_t kSymbolBullet = 0xF0B7; // the bullet of the Symbol font, in its glyph area
constexpr int kDefaultRaiseHalfPoints = 6; // \up and \dn without a number
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr double kTwipsPerLine = 240.0;  // \slmult1 spacing of one single line
constexpr int kRtfDefaultHalfPoints = 24; // the size of text without \fs

constexpr int kMaxPicturePixels = 32767;
constexpr int kDefaultPicturePixels = 32; // a picture that gives no size of its own

constexpr int kMaxInstructionLength = 4096;
constexpr int kMaxFootnoteText = 4096; // what the note shows of a footnote
constexpr int kMaxListLevel = 8;       // \ilvl and \pnlvl count nine levels
constexpr int kMaxListMarkerText = 32; // of \pntxtb and \pntxta
constexpr int kListIndentPixels = 40;  // what QTextDocument indents a list level by

// Upr: the ANSI text of \upr, read by readers without Unicode; its \ud group is the text.
// Picture: a {\pict} group's words and data. Kept: inside a group kept whole (an
// object, a \shppict), whose text is not the note's: only its picture is read.
// Footnote: inside a footnote, kept whole: only its text is read, for the note to show.
// FieldInstruction: a field's instruction, kept as written and read as text for its address.
// ListTable: \listtable and \listoverridetable. ListNumbering: a paragraph's {\*\pn};
// ListMarkerText: its \pntxtb or \pntxta.
enum class Destination : uint8_t {
    Text, FontTable, ColorTable, Skip, Upr, Picture, Kept, Footnote, FieldInstruction, ListTable, ListNumbering,
    ListMarkerText
};

struct CharState {
    int font = -1; // -1: the default font of \deff
    int halfPoints = 0; // 0: not given
    int color = 0;
    int highlight = 0;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    bool bold = false;
    bool italic = false;
    bool hidden = false;
    bool strike = false;
    QTextCharFormat::VerticalAlignment script = QTextCharFormat::AlignNormal; // \super, \sub
    int raise = 0; // half-points up (\up) or down (\dn, negative)
    // -1, or the symbol font (SymbolFont) whose glyph area a character of
    // another font was written in: shown as its character, written back as read.
    int8_t privateUseFont = -1;
    int field = -1; // the field (an index of the reader's fields) whose result the text is

    bool operator==(const CharState &other) const
    {
        return font == other.font && halfPoints == other.halfPoints && color == other.color
            && highlight == other.highlight && underline == other.underline && bold == other.bold
            && italic == other.italic && hidden == other.hidden && strike == other.strike
            && script == other.script && raise == other.raise && privateUseFont == other.privateUseFont && field == other.field;
    }
    bool operator!=(const CharState &other) const { return !(*this == other); }
};

struct CharStateHash {
    size_t operator()(const CharState &chars) const
    {
        return qHashMulti(0, chars.font, chars.halfPoints, chars.color, chars.highlight,
                          static_cast<int>(chars.underline), chars.bold, chars.italic, chars.strike,
                          static_cast<int>(chars.script), chars.raise, chars.privateUseFont, chars.field);
    }
};

// A tab stop: \tqr, \tqc or \tqdec before its \tx says which side of the text it holds.
struct TabStop {
    int twips = 0;
    QTextOption::TabType type = QTextOption::LeftTab;

    bool operator==(const TabStop &other) const { return twips == other.twips && type == other.type; }
};

// The list a paragraph is an item of: Word's (\ls, \ilvl) or a {\*\pn} of its own,
// which older readers understand; a paragraph with both is Word's.
struct ListState {
    int override = 0; // \ls; 0: none
    int level = 0;
    bool pn = false;
    QTextListFormat::Style style = QTextListFormat::ListDisc; // of \pn
    int start = 1;
    QString prefix;
    QString suffix;

    bool isItem() const { return override > 0 || pn; }
    bool operator==(const ListState &other) const
    {
        return override == other.override && level == other.level && pn == other.pn && style == other.style
            && start == other.start && prefix == other.prefix && suffix == other.suffix;
    }
    bool operator!=(const ListState &other) const { return !(*this == other); }
};

// A level of a list of \listtable.
struct ListLevel {
    QTextListFormat::Style style = QTextListFormat::ListDecimal;
    int start = 1;
    QString prefix;                          // of \leveltext: the text before the level's number
    QString suffix = QStringLiteral(".");    // and after it
};

struct ListDefinition {
    int id = 0;
    std::vector<ListLevel> levels;
    QByteArray rtf; // the {\list} group as read
    // and with its fonts renumbered to those of fonts, once a paragraph is of it
    std::optional<QByteArray> keptRtf;
    KeptFonts fonts;
    QHash<int, int> keptFontNumbers; // by the number the document gives
};

// \ls N of \listoverridetable: the list it numbers by.
struct ListOverride {
    int number = 0;
    int listId = 0;
    QByteArray rtf; // the {\listoverride} group as read
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;
    int spaceBeforeTwips = 0;
    int spaceAfterTwips = 0;
    int lineSpacing = 0;        // \sl: twips, at least (positive) or exactly (negative); 0 single
    bool lineMultiple = false;  // \slmult1: \sl is in 240ths of a single line
    QTextOption::TabType nextTabType = QTextOption::LeftTab;
    std::vector<TabStop> tabs;
    ListState list;
    int tableDepth = 0; // \intbl, \itap: in a cell of a table this deep. Not part of the block's format.

    bool operator==(const ParagraphState &other) const
    {
        return alignment == other.alignment && leftTwips == other.leftTwips && rightTwips == other.rightTwips
            && firstLineTwips == other.firstLineTwips && spaceBeforeTwips == other.spaceBeforeTwips
            && spaceAfterTwips == other.spaceAfterTwips && lineSpacing == other.lineSpacing
            && lineMultiple == other.lineMultiple && tabs == other.tabs && list == other.list;
    }
    bool operator!=(const ParagraphState &other) const { return !(*this == other); }
};

struct GroupState {
    CharState chars;
    ParagraphState paragraph;
    int unicodeSkip = 1;
    Destination destination = Destination::Text;
    bool started = false;   // anything read in the group yet
    bool ignorable = false; // "\*" began the group: a destination this reader does not know is skipped
    qsizetype start = 0;    // where its "{" is in the input
    bool textRead = false;  // text or objects put into the note in the group, which a kept group must not take in again
    bool nestedRowProperties = false; // in {\*\nesttableprops}: \trowd defines a row of the paragraph's table
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;
    bool nameEnded = false;
};

// A field being read: the groups open at its \field, and its instruction.
struct FieldReading {
    size_t depth = 0;
    size_t instructionDepth = 0; // 0 until its \fldinst
    qsizetype instructionStart = 0;
    QString instruction;
    int index = -1; // among the reader's fields, once its instruction is read
    bool shown = false; // any text, paragraph end, picture or object of it put into the note
};

// A field whose result is in the note: its instruction group as read, and where it links to.
struct FieldEntry {
    QByteArray instructionRtf;
    QString href;
};

// A {\pict} group being read.
struct PictureReading {
    Picture picture;
    size_t depth = 0; // the number of groups open at its own
    qsizetype start = 0;
    int goalWidth = 0;
    int goalHeight = 0;
    int scaleX = 100;
    int scaleY = 100;
    int highNibble = -1;
};

// A group kept whole: a picture, a \shppict (with the \nonshppict after it) or an object.
struct KeptReading {
    KeptObject object;
    size_t depth = 0;
    qsizetype start = 0;
    int widthTwips = 0;
    int heightTwips = 0;
    bool opensMidGroup = false; // its word came after text in its group: the group's "{" is not its own
    bool shapePicture = false;  // a \shppict, which a \nonshppict may follow
};

} // namespace kobin::rtf::reading
