#include "ReaderWords.h"

#include <unordered_map>

namespace kobin::rtf::reading {
namespace {

const std::unordered_map<std::string_view, Word> &words()
{
    static const std::unordered_map<std::string_view, Word> table = {
        {"ansi", Word::Ansi}, {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca},
        {"ansicpg", Word::AnsiCodePage}, {"deff", Word::DefaultFont},
        {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable},
        {"stylesheet", Word::SkippedDestination}, {"info", Word::SkippedDestination},
        {"pict", Word::Picture}, {"shppict", Word::ShapePicture}, {"nonshppict", Word::NonShapePicture},
        {"objw", Word::ObjectWidth}, {"objh", Word::ObjectHeight}, {"v", Word::Hidden},
        // The marker texts of list items: the note makes its own.
        {"pntext", Word::SkippedDestination}, {"listtext", Word::SkippedDestination},
        {"panose", Word::SkippedDestination},
        {"falt", Word::SkippedDestination}, {"header", Word::SkippedDestination},
        {"headerl", Word::SkippedDestination}, {"headerr", Word::SkippedDestination},
        {"headerf", Word::SkippedDestination}, {"footer", Word::SkippedDestination},
        {"footerl", Word::SkippedDestination}, {"footerr", Word::SkippedDestination},
        {"footerf", Word::SkippedDestination}, {"footnote", Word::Footnote}, {"chftn", Word::FootnoteNumber},
        {"listtable", Word::ListTable}, {"listoverridetable", Word::ListTable},
        {"list", Word::List}, {"listlevel", Word::ListLevel}, {"levelnfc", Word::LevelFormat},
        {"levelnfcn", Word::LevelFormat}, {"levelstartat", Word::LevelStart}, {"listid", Word::ListId},
        {"listoverride", Word::ListOverride}, {"ls", Word::ListOverrideNumber}, {"ilvl", Word::ListLevelNumber},
        {"leveltext", Word::LevelText}, {"levelnumbers", Word::SkippedDestination},
        {"listname", Word::SkippedDestination}, {"liststylename", Word::SkippedDestination},
        {"pn", Word::ListNumbering}, {"pnlvlblt", Word::ListBullet}, {"pnlvlbody", Word::ListBody},
        {"pnlvl", Word::ListOutlineLevel}, {"pndec", Word::ListDecimal}, {"pnlcltr", Word::ListLowerLetter},
        {"pnucltr", Word::ListUpperLetter}, {"pnlcrm", Word::ListLowerRoman}, {"pnucrm", Word::ListUpperRoman},
        {"pnstart", Word::ListStart}, {"pntxtb", Word::ListTextBefore}, {"pntxta", Word::ListTextAfter},
        {"revtbl", Word::SkippedDestination}, {"rsidtbl", Word::SkippedDestination},
        {"xmlnstbl", Word::SkippedDestination}, {"generator", Word::SkippedDestination},
        {"xe", Word::SkippedDestination},
        {"tc", Word::SkippedDestination},
        {"object", Word::Object}, {"result", Word::Result},
        {"upr", Word::Upr}, {"ud", Word::UnicodeText},
        // Tables: a nested table's text for readers without nesting is skipped.
        {"intbl", Word::InTable}, {"itap", Word::TableDepth}, {"nesttableprops", Word::NestedRowProperties},
        {"nestcell", Word::NestedCell}, {"nestrow", Word::NestedRow}, {"nonesttables", Word::SkippedDestination},
        {"trowd", Word::RowDefaults}, {"cellx", Word::CellRight},
        {"clbrdrt", Word::CellBorderTop}, {"clbrdrl", Word::CellBorderLeft},
        {"clbrdrb", Word::CellBorderBottom}, {"clbrdrr", Word::CellBorderRight},
        {"brdrt", Word::OtherBorder}, {"brdrl", Word::OtherBorder}, {"brdrb", Word::OtherBorder},
        {"brdrr", Word::OtherBorder}, {"box", Word::OtherBorder}, {"brdrbar", Word::OtherBorder},
        {"brdrbtw", Word::OtherBorder}, {"chbrdr", Word::OtherBorder}, {"trbrdrt", Word::RowBorderTop},
        {"trbrdrl", Word::RowBorderLeft}, {"trbrdrb", Word::RowBorderBottom}, {"trbrdrr", Word::RowBorderRight},
        {"trbrdrh", Word::RowBorderBetweenRows}, {"trbrdrv", Word::RowBorderBetweenCells},
        {"brdrs", Word::BorderSingle}, {"brdrth", Word::BorderSingle}, {"brdrsh", Word::BorderSingle},
        {"brdrhair", Word::BorderSingle}, {"brdrdb", Word::BorderDouble}, {"brdrdot", Word::BorderDotted},
        {"brdrdash", Word::BorderDashed}, {"brdrdashsm", Word::BorderDashed}, {"brdrdashd", Word::BorderDashed},
        {"brdrnone", Word::BorderNone}, {"brdrnil", Word::BorderNone}, {"brdrtbl", Word::BorderNone},
        {"brdrw", Word::BorderWidth}, {"brdrcf", Word::BorderColor},
        {"clcbpat", Word::CellBackground}, {"clcfpat", Word::CellPatternColor}, {"clshdng", Word::CellShading},
        {"clmgf", Word::CellMergeFirst}, {"clmrg", Word::CellMerged},
        {"clvmgf", Word::CellVerticalMergeFirst}, {"clvmrg", Word::CellVerticalMerged},
        {"clvertalt", Word::CellTop}, {"clvertalc", Word::CellMiddle}, {"clvertalb", Word::CellBottom},
        {"trql", Word::RowAlignLeft}, {"trqr", Word::RowAlignRight}, {"trqc", Word::RowAlignCenter},
        {"trleft", Word::RowLeft}, {"trgaph", Word::RowGap},
        {"trpaddt", Word::RowPaddingTop}, {"trpaddl", Word::RowPaddingLeft},
        {"trpaddb", Word::RowPaddingBottom}, {"trpaddr", Word::RowPaddingRight},
        {"f", Word::Font}, {"fcharset", Word::Charset}, {"cpg", Word::FontCodePage},
        {"red", Word::Red}, {"green", Word::Green}, {"blue", Word::Blue},
        {"par", Word::Par}, {"line", Word::Line}, {"tab", Word::Tab},
        {"cell", Word::Cell}, {"row", Word::Row},
        {"plain", Word::Plain}, {"pard", Word::Pard},
        {"b", Word::Bold}, {"i", Word::Italic},
        {"ul", Word::Underline}, {"uldb", Word::Underline}, {"ulth", Word::Underline},
        {"ulw", Word::UnderlineWord},
        {"uld", Word::UnderlineDotted}, {"ulthd", Word::UnderlineDotted},
        {"uldash", Word::UnderlineDash}, {"ulthdash", Word::UnderlineDash},
        {"ulldash", Word::UnderlineDash}, {"ulthldash", Word::UnderlineDash},
        {"uldashd", Word::UnderlineDashDot}, {"ulthdashd", Word::UnderlineDashDot},
        {"uldashdd", Word::UnderlineDashDotDot}, {"ulthdashdd", Word::UnderlineDashDotDot},
        {"ulwave", Word::UnderlineWave}, {"ulhwave", Word::UnderlineWave},
        {"ululdbwave", Word::UnderlineWave},
        {"ulnone", Word::UnderlineNone},
        {"fs", Word::FontSize}, {"cf", Word::Color}, {"highlight", Word::Highlight},
        {"cb", Word::Highlight},
        {"ql", Word::AlignLeft}, {"qr", Word::AlignRight}, {"qc", Word::AlignCenter},
        {"qj", Word::AlignJustify}, {"li", Word::LeftIndent}, {"ri", Word::RightIndent},
        {"fi", Word::FirstLineIndent},
        {"field", Word::Field}, {"fldinst", Word::FieldInstruction}, {"fldrslt", Word::FieldResult},
        {"strike", Word::Strike}, {"striked", Word::Strike}, {"super", Word::Superscript}, {"sub", Word::Subscript},
        {"nosupersub", Word::NoSuperSub}, {"up", Word::Up}, {"dn", Word::Down},
        {"sb", Word::SpaceBefore}, {"sa", Word::SpaceAfter}, {"sl", Word::LineSpacing}, {"slmult", Word::LineMultiple},
        {"tx", Word::TabPosition}, {"tqr", Word::TabRight}, {"tqc", Word::TabCenter}, {"tqdec", Word::TabDecimal},
        {"u", Word::Unicode}, {"uc", Word::UnicodeSkip},
        {"emdash", Word::EmDash}, {"endash", Word::EnDash}, {"bullet", Word::Bullet},
        {"lquote", Word::LeftQuote}, {"rquote", Word::RightQuote},
        {"ldblquote", Word::LeftDoubleQuote}, {"rdblquote", Word::RightDoubleQuote},
    };
    return table;
}

const std::unordered_map<std::string_view, PictureWordMeaning> &pictureWords()
{
    static const std::unordered_map<std::string_view, PictureWordMeaning> table = {
        {"pngblip", {PictureWord::Kind, PictureKind::Png}}, {"jpegblip", {PictureWord::Kind, PictureKind::Jpeg}},
        {"dibitmap", {PictureWord::Kind, PictureKind::Dib}}, {"wbitmap", {PictureWord::Kind, PictureKind::Bitmap}},
        {"emfblip", {PictureWord::Kind, PictureKind::Emf}}, {"wmetafile", {PictureWord::Kind, PictureKind::Wmf}},
        {"pmmetafile", {PictureWord::Kind, PictureKind::Other}}, {"macpict", {PictureWord::Kind, PictureKind::Other}},
        {"picw", {PictureWord::Width}}, {"pich", {PictureWord::Height}},
        {"picwgoal", {PictureWord::GoalWidth}}, {"pichgoal", {PictureWord::GoalHeight}},
        {"picscalex", {PictureWord::ScaleX}}, {"picscaley", {PictureWord::ScaleY}},
        {"picwbmwidthbytes", {PictureWord::BitmapWidthBytes}}, {"picwbmbitspixel", {PictureWord::BitmapBitsPerPixel}},
    };
    return table;
}

} // namespace

bool isDestination(Word word)
{
    switch (word) {
    case Word::FontTable:
    case Word::ColorTable:
    case Word::SkippedDestination:
    case Word::Object:
    case Word::Footnote:
    case Word::Result:
    case Word::Upr:
    case Word::UnicodeText:
    case Word::TextDestination:
    case Word::Picture:
    case Word::ShapePicture:
    case Word::NonShapePicture:
    case Word::Field:
    case Word::FieldInstruction:
    case Word::FieldResult:
    case Word::ListTable:
    case Word::ListNumbering:
    case Word::ListTextBefore:
    case Word::ListTextAfter:
    case Word::LevelText:
    case Word::NestedRowProperties:
        return true;
    default:
        return false;
    }
}

const Word *findWord(std::string_view name)
{
    const auto found = words().find(name);
    return found == words().end() ? nullptr : &found->second;
}

const PictureWordMeaning *findPictureWord(std::string_view name)
{
    const auto found = pictureWords().find(name);
    return found == pictureWords().end() ? nullptr : &found->second;
}

} // namespace kobin::rtf::reading
