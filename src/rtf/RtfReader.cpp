#include "RtfReader.h"

#include "CodePages.h"
#include "DocumentBuilder.h"
#include "KeptObjects.h"
#include "FormatProperties.h"
#include "PlainTextBuilder.h"
#include "RtfTokenizer.h"
#include "SymbolFonts.h"
#include "WholeCharacters.h"

#include <QBuffer>
#include <QColor>
#include <QImageReader>
#include <QTextDocument>
#include <QtEndian>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kobin::rtf {
namespace {

// Real documents nest a handful of groups; deeper groups share the state of
// the deepest one kept, so nesting costs no memory beyond this.
constexpr int kMaxDepth = 1024;
constexpr int kMaxUnicodeSkip = 255;
constexpr int kMaxFontNameLength = 256;
constexpr int kMaxIndentTwips = 31680; // 22 inches, the widest page Windows prints
constexpr int kMinHalfPoints = 2;
constexpr int kMaxHalfPoints = 3276;
constexpr double kTwipsPerPixel = 15.0; // at 96 dots per inch

constexpr int kMaxPicturePixels = 32767;
constexpr int kDefaultPicturePixels = 32; // a picture that gives no size of its own

// Upr: the ANSI text of \upr, read by readers without Unicode; its \ud group is the text.
// Picture: a {\pict} group's words and data. Kept: inside a group kept whole (an
// object, a \shppict), whose text is not the note's: only its picture is read.
enum class Destination : uint8_t { Text, FontTable, ColorTable, Skip, Upr, Picture, Kept };

struct CharState {
    int font = -1; // -1: the default font of \deff
    int halfPoints = 0; // 0: not given
    int color = 0;
    int highlight = 0;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    bool bold = false;
    bool italic = false;
    bool hidden = false;

    bool operator==(const CharState &other) const
    {
        return font == other.font && halfPoints == other.halfPoints && color == other.color
            && highlight == other.highlight && underline == other.underline && bold == other.bold
            && italic == other.italic && hidden == other.hidden;
    }
    bool operator!=(const CharState &other) const { return !(*this == other); }
};

struct CharStateHash {
    size_t operator()(const CharState &chars) const
    {
        return qHashMulti(0, chars.font, chars.halfPoints, chars.color, chars.highlight,
                          static_cast<int>(chars.underline), chars.bold, chars.italic);
    }
};

struct ParagraphState {
    Qt::Alignment alignment = Qt::AlignLeft;
    int leftTwips = 0;
    int rightTwips = 0;
    int firstLineTwips = 0;

    bool operator==(const ParagraphState &other) const
    {
        return alignment == other.alignment && leftTwips == other.leftTwips && rightTwips == other.rightTwips
            && firstLineTwips == other.firstLineTwips;
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
};

struct FontEntry {
    QString name;
    int charset = -1;
    int codePage = 0;
    bool nameEnded = false;
};

enum class Word {
    Ansi, Mac, Pc, Pca, AnsiCodePage, DefaultFont,
    FontTable, ColorTable, SkippedDestination, Object, Result, Upr, UnicodeText, TextDestination,
    Picture, ShapePicture, NonShapePicture, ObjectWidth, ObjectHeight, Hidden,
    Font, Charset, FontCodePage, Red, Green, Blue,
    Par, Line, Tab, Cell, Row, Plain, Pard,
    Bold, Italic, Underline, UnderlineWord, UnderlineDotted, UnderlineDash, UnderlineDashDot,
    UnderlineDashDotDot, UnderlineWave, UnderlineNone,
    FontSize, Color, Highlight,
    AlignLeft, AlignRight, AlignCenter, AlignJustify, LeftIndent, RightIndent, FirstLineIndent,
    Unicode, UnicodeSkip,
    EmDash, EnDash, Bullet, LeftQuote, RightQuote, LeftDoubleQuote, RightDoubleQuote,
};

bool isDestination(Word word)
{
    switch (word) {
    case Word::FontTable:
    case Word::ColorTable:
    case Word::SkippedDestination:
    case Word::Object:
    case Word::Result:
    case Word::Upr:
    case Word::UnicodeText:
    case Word::TextDestination:
    case Word::Picture:
    case Word::ShapePicture:
    case Word::NonShapePicture:
        return true;
    default:
        return false;
    }
}

const std::unordered_map<std::string_view, Word> &words()
{
    static const std::unordered_map<std::string_view, Word> table = {
        {"ansi", Word::Ansi}, {"mac", Word::Mac}, {"pc", Word::Pc}, {"pca", Word::Pca},
        {"ansicpg", Word::AnsiCodePage}, {"deff", Word::DefaultFont},
        {"fonttbl", Word::FontTable}, {"colortbl", Word::ColorTable},
        {"stylesheet", Word::SkippedDestination}, {"info", Word::SkippedDestination},
        {"pict", Word::Picture}, {"shppict", Word::ShapePicture}, {"nonshppict", Word::NonShapePicture},
        {"objw", Word::ObjectWidth}, {"objh", Word::ObjectHeight}, {"v", Word::Hidden},
        {"pntext", Word::SkippedDestination},
        {"pntxta", Word::SkippedDestination}, {"pntxtb", Word::SkippedDestination},
        {"fldinst", Word::SkippedDestination}, {"panose", Word::SkippedDestination},
        {"falt", Word::SkippedDestination}, {"header", Word::SkippedDestination},
        {"headerl", Word::SkippedDestination}, {"headerr", Word::SkippedDestination},
        {"headerf", Word::SkippedDestination}, {"footer", Word::SkippedDestination},
        {"footerl", Word::SkippedDestination}, {"footerr", Word::SkippedDestination},
        {"footerf", Word::SkippedDestination}, {"footnote", Word::SkippedDestination},
        {"listtable", Word::SkippedDestination}, {"listoverridetable", Word::SkippedDestination},
        {"revtbl", Word::SkippedDestination}, {"rsidtbl", Word::SkippedDestination},
        {"xmlnstbl", Word::SkippedDestination}, {"generator", Word::SkippedDestination},
        {"xe", Word::SkippedDestination},
        {"tc", Word::SkippedDestination},
        {"object", Word::Object}, {"result", Word::Result},
        {"upr", Word::Upr}, {"ud", Word::UnicodeText},
        // Nested tables: their cells and rows read as the outer table's; the plain
        // text for readers without them is skipped, the row's properties end the row.
        {"nestcell", Word::Cell}, {"nestrow", Word::Row}, {"nonesttables", Word::SkippedDestination},
        {"nesttableprops", Word::TextDestination},
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
        {"u", Word::Unicode}, {"uc", Word::UnicodeSkip},
        {"emdash", Word::EmDash}, {"endash", Word::EnDash}, {"bullet", Word::Bullet},
        {"lquote", Word::LeftQuote}, {"rquote", Word::RightQuote},
        {"ldblquote", Word::LeftDoubleQuote}, {"rdblquote", Word::RightDoubleQuote},
    };
    return table;
}

enum class PictureWord {
    Kind, Width, Height, GoalWidth, GoalHeight, ScaleX, ScaleY, BitmapWidthBytes, BitmapBitsPerPixel,
};

struct PictureWordMeaning {
    PictureWord word;
    PictureKind kind = PictureKind::Other;
};

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

int boundedPixels(double pixels)
{
    return qBound(1, qRound(pixels), kMaxPicturePixels);
}

// The size in pixels of a PNG, JPEG or DIB read from its own bytes.
QSize sizeInData(const Picture &picture)
{
    if (picture.kind == PictureKind::Dib) {
        if (picture.data.size() < 12)
            return {};
        const auto *bytes = reinterpret_cast<const uchar *>(picture.data.constData());
        const quint32 headerSize = qFromLittleEndian<quint32>(bytes);
        if (headerSize == 12)
            return {qFromLittleEndian<quint16>(bytes + 4), qFromLittleEndian<quint16>(bytes + 6)};
        return {qFromLittleEndian<qint32>(bytes + 4), qAbs(qFromLittleEndian<qint32>(bytes + 8))};
    }
    QByteArray data = picture.data;
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer).size();
}

// Reads one document: the tokens drive a stack of group states, and text goes
// through a byte buffer so that double-byte characters split over escapes,
// literal bytes and escaped symbols are decoded whole.
class Reader
{
public:
    enum class PictureData { Skipped, Decoded };

    Reader(QByteArrayView input, ReaderSink &sink, PictureData pictureData = PictureData::Skipped)
        : m_input(input), m_tokens(input), m_sink(sink), m_keepsFormats(sink.keepsFormats()),
          m_decodesPictures(pictureData == PictureData::Decoded)
    {
    }

    void read();

private:
    GroupState &top() { return m_groups.back(); }
    bool consumeFallback(Token &token);
    void openGroup(qsizetype start);
    void closeGroup();
    void readKeptWord(Word word, const Token &token, bool beginsGroup);
    void readPictureWord(const Token &token);
    void readPictureData(QByteArrayView bytes);
    void finishPicture();
    void finishKept(qsizetype end, int unclosedGroups = 0);
    bool continuesShapePicture(const Token &token) const;
    void flushPendingKept();
    void flushHiddenText();
    void appendKept(const KeptObject &object);
    void readText(QByteArrayView bytes);
    void readSymbol(char symbol);
    void readWord(const Token &token);
    void readUnderline(const Token &token, QTextCharFormat::UnderlineStyle style);
    void readUnicode(int value);

    bool takesBytes();
    void addBytes(QByteArrayView bytes);
    void addByte(char byte);
    void addBytesFrom(char byte); // and the escaped bytes right after it, as Japanese comes
    void flushBytes();
    void emitText(QStringView text);
    void put(QStringView text);
    void resolveLoneSurrogate();
    void endParagraph();
    void updateCharFormat();

    int documentCodePage() const;
    int codePageOf(const FontEntry &font) const;
    bool isSymbolFont(const FontEntry &font) const;
    int currentCodePage() const;
    std::optional<SymbolFont> currentSymbolFont() const;
    const FontEntry *fontOf(const CharState &chars) const;
    const QTextCharFormat &sharedCharFormat(const CharState &chars);
    QTextCharFormat charFormat(const CharState &chars) const;
    QColor color(int index) const;
    const QTextBlockFormat &sharedBlockFormat(const ParagraphState &paragraph);
    static QTextBlockFormat blockFormat(const ParagraphState &paragraph);

    QByteArrayView m_input;
    Tokenizer m_tokens;
    ReaderSink &m_sink;
    const bool m_keepsFormats;
    const bool m_decodesPictures;
    std::optional<PictureReading> m_picture;
    std::optional<KeptReading> m_kept;
    // A \shppict read whole, kept until it is known whether a \nonshppict follows.
    std::optional<KeptReading> m_pendingKept;
    QString m_hiddenText;
    qsizetype m_tokenStart = 0; // where the token read last begins, or white space before it
    CodePageDecoder m_decoder;
    std::vector<GroupState> m_groups;
    int m_overflowDepth = 0;
    bool m_ended = false;
    ParagraphState m_lastParagraph;

    int m_ansiCodePage = 0;
    int m_charsetCodePage = kCodePageWestern;
    int m_defaultFont = 0;
    std::map<int, FontEntry> m_fonts;
    FontEntry *m_tableFont = nullptr;
    std::vector<QColor> m_colors;
    int m_red = 0, m_green = 0, m_blue = 0;
    bool m_colorGiven = false;

    // Formats made so far, each shared by all the text in it, which spares the
    // document comparing them property by property. Anything read into the font
    // and colour tables they are made from forgets them.
    std::unordered_map<CharState, QTextCharFormat, CharStateHash> m_charFormats;
    ParagraphState m_blockFormatState;
    QTextBlockFormat m_blockFormat = blockFormat(m_blockFormatState);

    std::string m_bytes; // std::string appends a byte inline, and most Japanese comes a byte at a time
    QString m_decoded;
    int m_fallbackToSkip = 0;
    char16_t m_highSurrogate = 0;
    CharState m_sinkState;
    bool m_sinkStateSet = false;
};

void Reader::read()
{
    while (!m_ended) {
        m_tokenStart = m_tokens.position();
        Token token = m_tokens.next();
        if (token.kind == Token::Kind::End)
            break;
        if (m_fallbackToSkip > 0 && consumeFallback(token))
            continue;
        if (m_pendingKept && !continuesShapePicture(token))
            flushPendingKept();
        switch (token.kind) {
        case Token::Kind::GroupStart:
            openGroup(m_tokens.position() - 1);
            break;
        case Token::Kind::GroupEnd:
            closeGroup();
            break;
        case Token::Kind::Text:
            if (!m_groups.empty())
                readText(token.bytes);
            break;
        case Token::Kind::HexByte:
            if (!m_groups.empty())
                addBytesFrom(static_cast<char>(token.parameter));
            break;
        case Token::Kind::ControlSymbol:
            if (!m_groups.empty())
                readSymbol(static_cast<char>(token.parameter));
            break;
        case Token::Kind::ControlWord:
            if (!m_groups.empty())
                readWord(token);
            break;
        case Token::Kind::Binary:
            if (!m_groups.empty() && top().destination == Destination::Picture && m_decodesPictures)
                m_picture->picture.data.append(token.bytes);
            break;
        case Token::Kind::End:
            break;
        }
        if (token.kind != Token::Kind::GroupStart && !m_groups.empty())
            top().started = true; // "\*" marks a destination only as a group's first word
    }
    // An unterminated document ends as if its groups were closed here.
    if (!m_groups.empty()) {
        flushBytes();
        resolveLoneSurrogate();
        if (m_picture)
            finishPicture();
        if (m_kept) {
            const auto open = static_cast<int>(m_groups.size() + 1 - m_kept->depth) + m_overflowDepth;
            finishKept(m_input.size(), open);
        }
        m_lastParagraph = top().paragraph;
    }
    flushPendingKept();
    flushHiddenText();
    m_sink.finish(m_keepsFormats ? sharedBlockFormat(m_lastParagraph) : QTextBlockFormat());
}

// After \uN the next N units are the fallback for readers without Unicode: a
// byte of text, an escape or a control word each count one; a brace ends it.
bool Reader::consumeFallback(Token &token)
{
    switch (token.kind) {
    case Token::Kind::GroupStart:
    case Token::Kind::GroupEnd:
    case Token::Kind::End:
        m_fallbackToSkip = 0;
        return false;
    case Token::Kind::Text: {
        const qsizetype count = qMin<qsizetype>(m_fallbackToSkip, token.bytes.size());
        token.bytes = token.bytes.sliced(count);
        m_fallbackToSkip -= static_cast<int>(count);
        return token.bytes.isEmpty();
    }
    default:
        --m_fallbackToSkip;
        return true;
    }
}

void Reader::openGroup(qsizetype start)
{
    flushBytes();
    if (m_groups.empty()) {
        m_groups.emplace_back();
        return;
    }
    if (m_groups.size() >= kMaxDepth) {
        ++m_overflowDepth;
        return;
    }
    m_groups.push_back(top());
    top().started = false;
    top().ignorable = false;
    top().textRead = false;
    top().start = start;
}

void Reader::closeGroup()
{
    if (m_groups.empty())
        return;
    flushBytes();
    resolveLoneSurrogate();
    flushHiddenText(); // hidden text ends with its group, as the writer's groups of it do
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (top().destination == Destination::FontTable) {
        if (m_tableFont)
            m_tableFont->nameEnded = true;
        m_sinkStateSet = false; // a font defined again is the new font for the text after it
    }
    if (m_picture && m_picture->depth == m_groups.size())
        finishPicture();
    if (m_kept && m_kept->depth == m_groups.size())
        finishKept(m_tokens.position());
    if (m_groups.size() == 1) {
        // Whatever follows the document (WordPad writes a NUL) is not part of it.
        m_lastParagraph = top().paragraph;
        m_ended = true;
    }
    const bool textRead = top().textRead;
    m_groups.pop_back();
    if (textRead && !m_groups.empty())
        top().textRead = true;
}

void Reader::readText(QByteArrayView bytes)
{
    switch (top().destination) {
    case Destination::Text:
        addBytes(bytes);
        break;
    case Destination::FontTable:
        // A font's name ends at ";"; the next \f starts the next entry.
        while (!bytes.isEmpty()) {
            const qsizetype end = bytes.indexOf(';');
            addBytes(end < 0 ? bytes : bytes.first(end));
            if (end < 0)
                break;
            flushBytes();
            if (m_tableFont)
                m_tableFont->nameEnded = true;
            bytes = bytes.sliced(end + 1);
        }
        break;
    case Destination::ColorTable:
        for (const char c : bytes) {
            if (c != ';')
                continue;
            m_colors.push_back(m_colorGiven ? QColor(m_red, m_green, m_blue) : QColor());
            m_charFormats.clear();
            m_red = m_green = m_blue = 0;
            m_colorGiven = false;
        }
        break;
    case Destination::Picture:
        readPictureData(bytes);
        break;
    case Destination::Skip:
    case Destination::Upr:
    case Destination::Kept:
        break;
    }
}

void Reader::readSymbol(char symbol)
{
    switch (symbol) {
    case '\\':
    case '{':
    case '}':
        // Literal bytes, so they can be the trail byte of a double-byte character.
        addByte(symbol);
        return;
    case '*':
        // Begins an ignorable destination at a group's start; anywhere else it only marks the word after it.
        flushBytes();
        top().ignorable = !top().started;
        return;
    case '~':
        emitText(u"\u00A0");
        return;
    case '_':
        emitText(u"\u2011");
        return;
    case '-':
        emitText(u"\u00AD");
        return;
    default:
        flushBytes();
        return;
    }
}

void Reader::readWord(const Token &token)
{
    flushBytes();
    const auto found = words().find(std::string_view(token.name.data(), token.name.size()));
    GroupState &group = top();
    const bool marked = std::exchange(group.ignorable, false);
    const bool beginsGroup = (marked || !group.started) && !group.textRead;
    if (marked && (found == words().end() || !isDestination(found->second))) {
        group.destination = Destination::Skip;
        return;
    }
    if (group.destination == Destination::Picture) {
        readPictureWord(token);
        return;
    }
    if (found == words().end())
        return;
    const Destination destination = group.destination;
    const int value = token.parameter;
    const bool on = !token.hasParameter || value != 0;

    if (destination == Destination::Skip)
        return;
    if (destination == Destination::Upr) {
        if (found->second == Word::UnicodeText)
            group.destination = Destination::Text;
        return;
    }
    switch (found->second) {
    case Word::Picture:
    case Word::ShapePicture:
    case Word::NonShapePicture:
    case Word::Object:
    case Word::ObjectWidth:
    case Word::ObjectHeight:
        readKeptWord(found->second, token, beginsGroup);
        return;
    default:
        if (destination == Destination::Kept)
            return; // the text and formats of a kept group are not the note's
        break;
    }

    switch (found->second) {
    case Word::Ansi: m_charsetCodePage = 1252; return;
    case Word::Mac: m_charsetCodePage = 10000; return;
    case Word::Pc: m_charsetCodePage = 437; return;
    case Word::Pca: m_charsetCodePage = 850; return;
    case Word::AnsiCodePage: m_ansiCodePage = qMax(0, value); return;
    case Word::DefaultFont:
        m_defaultFont = value;
        m_charFormats.clear();
        return;
    case Word::FontTable: group.destination = Destination::FontTable; return;
    case Word::ColorTable: group.destination = Destination::ColorTable; return;
    case Word::SkippedDestination: group.destination = Destination::Skip; return;
    case Word::Upr: group.destination = Destination::Upr; return;
    case Word::UnicodeText:
    case Word::TextDestination: return;
    case Word::UnicodeSkip: group.unicodeSkip = qBound(0, value, kMaxUnicodeSkip); return;
    case Word::Unicode:
        if (token.hasParameter)
            readUnicode(value);
        return;
    default: break;
    }

    if (destination == Destination::FontTable || destination == Destination::ColorTable)
        m_charFormats.clear();
    if (destination == Destination::FontTable) {
        switch (found->second) {
        case Word::Font: m_tableFont = &(m_fonts[value] = FontEntry{}); return;
        case Word::Charset: if (m_tableFont) m_tableFont->charset = value; return;
        case Word::FontCodePage: if (m_tableFont) m_tableFont->codePage = value; return;
        default: return;
        }
    }
    if (destination == Destination::ColorTable) {
        const int component = qBound(0, value, 255);
        switch (found->second) {
        case Word::Red: m_red = component; m_colorGiven = true; return;
        case Word::Green: m_green = component; m_colorGiven = true; return;
        case Word::Blue: m_blue = component; m_colorGiven = true; return;
        default: return;
        }
    }

    CharState &chars = group.chars;
    ParagraphState &paragraph = group.paragraph;
    switch (found->second) {
    case Word::Par: endParagraph(); return;
    case Word::Row: endParagraph(); return;
    case Word::Line: emitText(u"\u2028"); return;
    case Word::Tab: emitText(u"\t"); return;
    case Word::Cell: emitText(u"\t"); return;
    case Word::Plain: chars = CharState(); return;
    case Word::Pard: paragraph = ParagraphState(); return;
    case Word::Font: chars.font = value; return;
    case Word::Bold: chars.bold = on; return;
    case Word::Italic: chars.italic = on; return;
    case Word::Hidden: chars.hidden = on; return;
    case Word::Underline: readUnderline(token, QTextCharFormat::SingleUnderline); return;
    case Word::UnderlineWord: readUnderline(token, QTextCharFormat::SingleUnderline); return;
    case Word::UnderlineDotted: readUnderline(token, QTextCharFormat::DotLine); return;
    case Word::UnderlineDash: readUnderline(token, QTextCharFormat::DashUnderline); return;
    case Word::UnderlineDashDot: readUnderline(token, QTextCharFormat::DashDotLine); return;
    case Word::UnderlineDashDotDot: readUnderline(token, QTextCharFormat::DashDotDotLine); return;
    case Word::UnderlineWave: readUnderline(token, QTextCharFormat::WaveUnderline); return;
    case Word::UnderlineNone: chars.underline = QTextCharFormat::NoUnderline; return;
    case Word::FontSize:
        chars.halfPoints = token.hasParameter ? qBound(kMinHalfPoints, value, kMaxHalfPoints) : 0;
        return;
    case Word::Color: chars.color = value; return;
    case Word::Highlight: chars.highlight = value; return;
    case Word::AlignLeft: paragraph.alignment = Qt::AlignLeft; return;
    case Word::AlignRight: paragraph.alignment = Qt::AlignRight; return;
    case Word::AlignCenter: paragraph.alignment = Qt::AlignHCenter; return;
    case Word::AlignJustify: paragraph.alignment = Qt::AlignJustify; return;
    case Word::LeftIndent: paragraph.leftTwips = qBound(-kMaxIndentTwips, value, kMaxIndentTwips); return;
    case Word::RightIndent: paragraph.rightTwips = qBound(-kMaxIndentTwips, value, kMaxIndentTwips); return;
    case Word::FirstLineIndent: paragraph.firstLineTwips = qBound(-kMaxIndentTwips, value, kMaxIndentTwips); return;
    case Word::EmDash: emitText(u"\u2014"); return;
    case Word::EnDash: emitText(u"\u2013"); return;
    case Word::Bullet: emitText(u"\u2022"); return;
    case Word::LeftQuote: emitText(u"\u2018"); return;
    case Word::RightQuote: emitText(u"\u2019"); return;
    case Word::LeftDoubleQuote: emitText(u"\u201C"); return;
    case Word::RightDoubleQuote: emitText(u"\u201D"); return;
    default: return;
    }
}

// Pictures, objects and \shppict groups are kept whole, from their "{" to their
// "}", for the writer to write back as they were; the first picture read in
// one is what the note shows of it.
void Reader::readKeptWord(Word word, const Token &token, bool beginsGroup)
{
    GroupState &group = top();
    const Destination destination = group.destination;
    const bool inText = destination == Destination::Text && !m_kept;
    // A destination word after text in its group keeps only itself and what follows it.
    const qsizetype start = beginsGroup ? group.start : m_tokenStart;
    switch (word) {
    case Word::Picture:
        if ((destination != Destination::Text && destination != Destination::Kept) || m_picture) {
            group.destination = Destination::Skip;
            return;
        }
        if (inText) {
            m_kept = KeptReading{KeptObject{}, m_groups.size(), start};
            m_kept->opensMidGroup = !beginsGroup;
        }
        m_picture = PictureReading{};
        m_picture->depth = m_groups.size();
        m_picture->start = group.start;
        group.destination = Destination::Picture;
        return;
    case Word::ShapePicture:
    case Word::Object:
        if (inText) {
            m_kept = KeptReading{KeptObject{}, m_groups.size(), start};
            m_kept->opensMidGroup = !beginsGroup;
            m_kept->object.kind = word == Word::Object ? KeptObject::Kind::Object : KeptObject::Kind::Picture;
            m_kept->shapePicture = word == Word::ShapePicture;
        }
        group.destination = inText || destination == Destination::Kept ? Destination::Kept : Destination::Skip;
        return;
    case Word::NonShapePicture:
        // The picture for readers without \shppict: kept with it, not shown again.
        if (m_pendingKept && m_pendingKept->depth == m_groups.size() && destination == Destination::Text) {
            m_kept = std::exchange(m_pendingKept, std::nullopt);
            m_kept->shapePicture = false;
        }
        group.destination = Destination::Skip;
        return;
    case Word::ObjectWidth:
        if (m_kept && destination == Destination::Kept)
            m_kept->widthTwips = qBound(0, token.parameter, kMaxPicturePixels * 15);
        return;
    case Word::ObjectHeight:
        if (m_kept && destination == Destination::Kept)
            m_kept->heightTwips = qBound(0, token.parameter, kMaxPicturePixels * 15);
        return;
    default:
        return;
    }
}

void Reader::readPictureWord(const Token &token)
{
    const auto found = pictureWords().find(std::string_view(token.name.data(), token.name.size()));
    if (found == pictureWords().end())
        return;
    PictureReading &reading = *m_picture;
    Picture &picture = reading.picture;
    const int value = qBound(0, token.parameter, 1'000'000);
    switch (found->second.word) {
    case PictureWord::Kind: picture.kind = found->second.kind; return;
    case PictureWord::Width: picture.sourceSize.setWidth(value); return;
    case PictureWord::Height: picture.sourceSize.setHeight(value); return;
    case PictureWord::GoalWidth: reading.goalWidth = value; return;
    case PictureWord::GoalHeight: reading.goalHeight = value; return;
    case PictureWord::ScaleX: reading.scaleX = qBound(1, value, 10000); return;
    case PictureWord::ScaleY: reading.scaleY = qBound(1, value, 10000); return;
    case PictureWord::BitmapWidthBytes: picture.bitmapWidthBytes = value; return;
    case PictureWord::BitmapBitsPerPixel: picture.bitmapBitsPerPixel = value; return;
    }
}

// Hex digits two to a byte; anything else between them (spaces) is not data.
void Reader::readPictureData(QByteArrayView bytes)
{
    if (!m_decodesPictures)
        return;
    PictureReading &reading = *m_picture;
    QByteArray &data = reading.picture.data;
    data.reserve(data.size() + bytes.size() / 2);
    for (const char c : bytes) {
        const int digit = Tokenizer::hexDigit(c);
        if (digit < 0)
            continue;
        if (reading.highNibble < 0) {
            reading.highNibble = digit;
        } else {
            data.append(static_cast<char>(reading.highNibble << 4 | digit));
            reading.highNibble = -1;
        }
    }
}

// The picture's size as shown: its goal size in twips, or else its own size
// (pixels for bitmaps, hundredths of a millimetre for metafiles), scaled.
void Reader::finishPicture()
{
    PictureReading reading = std::move(*m_picture);
    m_picture.reset();
    Picture &picture = reading.picture;
    const bool bitmap = picture.kind == PictureKind::Png || picture.kind == PictureKind::Jpeg
        || picture.kind == PictureKind::Dib || picture.kind == PictureKind::Bitmap;
    QSize own = picture.sourceSize;
    if (bitmap && (own.width() <= 0 || own.height() <= 0) && picture.kind != PictureKind::Bitmap) {
        if (!m_decodesPictures) {
            const qsizetype end = qMin(m_tokens.position(), m_input.size());
            picture.data = readKeptPicture(m_input.sliced(reading.start, end - reading.start))
                               .value_or(Picture{}).data;
        }
        own = sizeInData(picture);
    }
    const double ownToPixels = bitmap ? 1.0 : 96.0 / 2540.0;
    const auto shown = [&](int goal, int ownLength, int scale) {
        const double pixels = goal > 0 ? goal / kTwipsPerPixel
                                       : (ownLength > 0 ? ownLength * ownToPixels : kDefaultPicturePixels);
        return boundedPixels(pixels * scale / 100.0);
    };
    picture.shownSize = QSizeF(shown(reading.goalWidth, own.width(), reading.scaleX),
                               shown(reading.goalHeight, own.height(), reading.scaleY));
    if (m_kept && !m_kept->object.picture)
        m_kept->object.picture = std::move(picture);
}

// A group cut off by the end of the input gets the braces it lacks, so that the
// note written back stays RTF.
void Reader::finishKept(qsizetype end, int unclosedGroups)
{
    KeptReading kept = std::move(*m_kept);
    m_kept.reset();
    end = qBound(kept.start, end, m_input.size());
    while (kept.opensMidGroup && kept.start < end && (m_input[kept.start] == '\r' || m_input[kept.start] == '\n'))
        ++kept.start;
    kept.object.rtf = m_input.sliced(kept.start, end - kept.start).toByteArray();
    if (kept.opensMidGroup)
        kept.object.rtf.prepend('{');
    if (unclosedGroups > 0 && kept.object.rtf.contains("\\bin"))
        return; // its \bin data ran to the end: written back, it would take in what follows it
    if (unclosedGroups > 0) {
        // A backslash the input ended on escapes nothing: kept, it would escape the brace that closes.
        qsizetype backslashes = 0;
        while (backslashes < kept.object.rtf.size() && kept.object.rtf[kept.object.rtf.size() - 1 - backslashes] == '\\')
            ++backslashes;
        if (backslashes % 2 == 1)
            kept.object.rtf.chop(1);
    }
    kept.object.rtf.append(QByteArray(unclosedGroups, '}'));
    if (!kept.object.picture) {
        kept.object.boxSize = QSizeF(boundedPixels(kept.widthTwips > 0 ? kept.widthTwips / kTwipsPerPixel
                                                                          : kDefaultPicturePixels),
                                     boundedPixels(kept.heightTwips > 0 ? kept.heightTwips / kTwipsPerPixel
                                                                           : kDefaultPicturePixels));
    }
    if (kept.shapePicture) {
        m_pendingKept = std::move(kept);
        return;
    }
    flushHiddenText();
    appendKept(kept.object);
}

// After a \shppict only a "{" and the \nonshppict in it may come before the
// picture is put in the note.
bool Reader::continuesShapePicture(const Token &token) const
{
    if (token.kind == Token::Kind::GroupStart)
        return m_groups.size() + 1 == m_pendingKept->depth;
    if (m_groups.size() != m_pendingKept->depth)
        return false;
    return (token.kind == Token::Kind::ControlSymbol && token.parameter == '*')
        || (token.kind == Token::Kind::ControlWord && token.name == "nonshppict");
}

void Reader::flushPendingKept()
{
    if (!m_pendingKept)
        return;
    flushHiddenText();
    appendKept(std::exchange(m_pendingKept, std::nullopt)->object);
}

void Reader::appendKept(const KeptObject &object)
{
    if (!m_groups.empty())
        top().textRead = true;
    m_sink.appendKept(object);
}

// Hidden text is not the note's text: it stays in the note as one object.
void Reader::flushHiddenText()
{
    if (m_hiddenText.isEmpty())
        return;
    KeptObject hidden;
    hidden.kind = KeptObject::Kind::HiddenText;
    hidden.hiddenText = std::exchange(m_hiddenText, QString());
    appendKept(hidden);
}

// \ul0 ends underlining like \ulnone; every other kind keeps its look.
void Reader::readUnderline(const Token &token, QTextCharFormat::UnderlineStyle style)
{
    top().chars.underline = token.hasParameter && token.parameter == 0 ? QTextCharFormat::NoUnderline : style;
}

void Reader::readUnicode(int value)
{
    m_fallbackToSkip = top().unicodeSkip;
    if (value < -32768 || value > 65535) {
        emitText(u"\uFFFD");
        return;
    }
    const auto unit = static_cast<char16_t>(value < 0 ? value + 65536 : value);
    if (QChar::isHighSurrogate(unit)) {
        resolveLoneSurrogate();
        m_highSurrogate = unit;
        return;
    }
    if (QChar::isLowSurrogate(unit)) {
        if (m_highSurrogate == 0) {
            put(u"\uFFFD");
            return;
        }
        const char16_t pair[2] = {m_highSurrogate, unit};
        m_highSurrogate = 0;
        put(QStringView(pair, 2));
        return;
    }
    // Word writes a symbol font's byte as the character Windows draws its glyph for.
    if (unit >= 0xF000 && unit <= 0xF0FF) {
        if (const auto symbol = currentSymbolFont()) {
            emitText(QChar::fromUcs4(symbolCharacter(*symbol, static_cast<uint8_t>(unit))));
            return;
        }
    }
    emitText(QStringView(&unit, 1));
}

bool Reader::takesBytes()
{
    const Destination destination = top().destination;
    return destination == Destination::Text || destination == Destination::FontTable;
}

void Reader::addBytes(QByteArrayView bytes)
{
    if (takesBytes())
        m_bytes.append(bytes.data(), static_cast<size_t>(bytes.size()));
}

void Reader::addByte(char byte)
{
    if (takesBytes())
        m_bytes.push_back(byte);
}

void Reader::addBytesFrom(char byte)
{
    if (!takesBytes())
        return; // the bytes after it come as tokens and are dropped the same way
    m_bytes.push_back(byte);
    m_tokens.takeHexBytes([this](char next) { m_bytes.push_back(next); });
}

void Reader::flushBytes()
{
    if (m_bytes.empty())
        return;
    m_decoded.truncate(0);
    const int codePage = currentCodePage();
    if (codePage == kCodePageSymbol) {
        const SymbolFont font = currentSymbolFont().value_or(SymbolFont::Other);
        for (const char byte : m_bytes)
            m_decoded += QChar::fromUcs4(symbolCharacter(font, static_cast<uint8_t>(byte)));
    } else {
        m_decoder.decode(codePage, QByteArrayView(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())), m_decoded);
    }
    m_bytes.clear();
    emitText(m_decoded);
}

void Reader::emitText(QStringView text)
{
    flushBytes();
    resolveLoneSurrogate();
    put(text);
}

void Reader::put(QStringView text)
{
    switch (top().destination) {
    case Destination::Text:
        top().textRead = true;
        if (top().chars.hidden) {
            m_hiddenText += text;
            break;
        }
        flushHiddenText();
        updateCharFormat();
        m_sink.append(text);
        break;
    case Destination::FontTable:
        if (m_tableFont && !m_tableFont->nameEnded && m_tableFont->name.size() < kMaxFontNameLength) {
            m_tableFont->name += leftWholeCharacters(text, kMaxFontNameLength - m_tableFont->name.size());
            m_charFormats.clear();
        }
        break;
    default:
        break;
    }
}

// A high surrogate not followed by its low half stands for nothing readable.
void Reader::resolveLoneSurrogate()
{
    if (m_highSurrogate == 0)
        return;
    m_highSurrogate = 0;
    put(u"\uFFFD");
}

void Reader::endParagraph()
{
    resolveLoneSurrogate();
    if (top().destination != Destination::Text)
        return;
    flushHiddenText();
    updateCharFormat();
    m_sink.endParagraph(m_keepsFormats ? sharedBlockFormat(top().paragraph) : QTextBlockFormat());
}

void Reader::updateCharFormat()
{
    if (!m_keepsFormats || (m_sinkStateSet && m_sinkState == top().chars))
        return;
    m_sink.setCharFormat(sharedCharFormat(top().chars));
    m_sinkState = top().chars;
    m_sinkStateSet = true;
}

int Reader::documentCodePage() const
{
    return m_ansiCodePage > 0 ? m_ansiCodePage : m_charsetCodePage;
}

// \cpgN beats \fcharsetN, which beats the document's code page.
int Reader::codePageOf(const FontEntry &font) const
{
    return font.codePage > 0 ? font.codePage : codePageOfCharset(font.charset, documentCodePage());
}

bool Reader::isSymbolFont(const FontEntry &font) const
{
    return codePageOf(font) == kCodePageSymbol;
}

// A symbol font's name is text of the document's code page, not glyphs.
int Reader::currentCodePage() const
{
    const GroupState &group = m_groups.back();
    if (group.destination == Destination::FontTable)
        return m_tableFont && !isSymbolFont(*m_tableFont) ? codePageOf(*m_tableFont) : documentCodePage();
    const FontEntry *font = fontOf(group.chars);
    return font ? codePageOf(*font) : documentCodePage();
}

// The symbol font that text now being read is in, if it is in one.
std::optional<SymbolFont> Reader::currentSymbolFont() const
{
    const GroupState &group = m_groups.back();
    if (group.destination != Destination::Text)
        return std::nullopt;
    const FontEntry *font = fontOf(group.chars);
    if (!font || !isSymbolFont(*font))
        return std::nullopt;
    return symbolFontNamed(font->name);
}

const FontEntry *Reader::fontOf(const CharState &chars) const
{
    const auto found = m_fonts.find(chars.font < 0 ? m_defaultFont : chars.font);
    return found == m_fonts.end() ? nullptr : &found->second;
}

QColor Reader::color(int index) const
{
    if (index <= 0 || index >= static_cast<int>(m_colors.size()))
        return {};
    return m_colors[static_cast<size_t>(index)];
}

const QTextCharFormat &Reader::sharedCharFormat(const CharState &chars)
{
    const auto found = m_charFormats.find(chars);
    if (found != m_charFormats.end())
        return found->second;
    return m_charFormats.emplace(chars, charFormat(chars)).first->second;
}

QTextCharFormat Reader::charFormat(const CharState &chars) const
{
    QTextCharFormat format;
    if (chars.bold)
        format.setFontWeight(QFont::Bold);
    if (chars.italic)
        format.setFontItalic(true);
    if (chars.underline != QTextCharFormat::NoUnderline)
        format.setUnderlineStyle(chars.underline);
    if (const FontEntry *font = fontOf(chars); font && !font->name.trimmed().isEmpty()) {
        const QString name = font->name.trimmed();
        format.setFontFamilies({name});
        if (isSymbolFont(*font))
            format.setProperty(kSymbolFontProperty, name);
    }
    if (chars.halfPoints > 0)
        format.setFontPointSize(chars.halfPoints / 2.0);
    if (const QColor text = color(chars.color); text.isValid())
        format.setForeground(text);
    if (const QColor background = color(chars.highlight); background.isValid())
        format.setBackground(background);
    return format;
}

const QTextBlockFormat &Reader::sharedBlockFormat(const ParagraphState &paragraph)
{
    if (paragraph != m_blockFormatState) {
        m_blockFormatState = paragraph;
        m_blockFormat = blockFormat(paragraph);
    }
    return m_blockFormat;
}

QTextBlockFormat Reader::blockFormat(const ParagraphState &paragraph)
{
    QTextBlockFormat format;
    if (paragraph.alignment != Qt::AlignLeft)
        format.setAlignment(paragraph.alignment);
    if (paragraph.leftTwips != 0)
        format.setLeftMargin(paragraph.leftTwips / kTwipsPerPixel);
    if (paragraph.rightTwips != 0)
        format.setRightMargin(paragraph.rightTwips / kTwipsPerPixel);
    if (paragraph.firstLineTwips != 0)
        format.setTextIndent(paragraph.firstLineTwips / kTwipsPerPixel);
    return format;
}

// Takes the picture of the first kept group read, and nothing else.
class KeptPictureSink : public ReaderSink
{
public:
    bool keepsFormats() const override { return false; }
    void setCharFormat(const QTextCharFormat &) override {}
    void append(QStringView) override {}
    void appendKept(const KeptObject &object) override
    {
        if (!m_picture && object.picture)
            m_picture = object.picture;
    }
    void endParagraph(const QTextBlockFormat &) override {}
    void finish(const QTextBlockFormat &) override {}

    std::optional<Picture> m_picture;
};

} // namespace

std::optional<Picture> readKeptPicture(QByteArrayView group)
{
    // The group read as the body of a document of its own.
    QByteArray document = "{\\rtf1 " + group.toByteArray() + "}";
    KeptPictureSink sink;
    Reader(document, sink, Reader::PictureData::Decoded).read();
    return sink.m_picture;
}

bool looksLikeRtf(QByteArrayView bytes)
{
    qsizetype start = 0;
    while (start < bytes.size() && (bytes[start] == ' ' || bytes[start] == '\t' || bytes[start] == '\r'
                                    || bytes[start] == '\n'))
        ++start;
    return bytes.sliced(start).startsWith("{\\rtf");
}

bool readRtf(QByteArrayView bytes, QTextDocument &document)
{
    if (!looksLikeRtf(bytes))
        return false;
    const bool undo = document.isUndoRedoEnabled();
    document.setUndoRedoEnabled(false);
    document.clear();
    DocumentBuilder builder(document);
    Reader(bytes, builder).read();
    document.setUndoRedoEnabled(undo);
    return true;
}

std::optional<QString> readRtfText(QByteArrayView bytes, QStringView lineEnd)
{
    if (!looksLikeRtf(bytes))
        return std::nullopt;
    QString text;
    PlainTextBuilder builder(text, lineEnd);
    Reader(bytes, builder).read();
    return text;
}

} // namespace kobin::rtf
