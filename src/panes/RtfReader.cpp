#include "RtfReader.h"

#include "CodePages.h"
#include "DocumentBuilder.h"
#include "PlainTextBuilder.h"
#include "RtfTokenizer.h"
#include "WholeCharacters.h"

#include <QColor>
#include <QTextDocument>
#include <map>
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

// Upr: the ANSI text of \upr, read by readers without Unicode; its \ud group is the text.
enum class Destination : uint8_t { Text, FontTable, ColorTable, Skip, Object, Upr };

struct CharState {
    int font = -1; // -1: the default font of \deff
    int halfPoints = 0; // 0: not given
    int color = 0;
    int highlight = 0;
    QTextCharFormat::UnderlineStyle underline = QTextCharFormat::NoUnderline;
    bool bold = false;
    bool italic = false;

    bool operator==(const CharState &other) const
    {
        return font == other.font && halfPoints == other.halfPoints && color == other.color
            && highlight == other.highlight && underline == other.underline && bold == other.bold
            && italic == other.italic;
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
        {"pict", Word::SkippedDestination}, {"pntext", Word::SkippedDestination},
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
        {"nonshppict", Word::SkippedDestination}, {"xe", Word::SkippedDestination},
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

// Reads one document: the tokens drive a stack of group states, and text goes
// through a byte buffer so that double-byte characters split over escapes,
// literal bytes and escaped symbols are decoded whole.
class Reader
{
public:
    Reader(QByteArrayView input, ReaderSink &sink)
        : m_tokens(input), m_sink(sink), m_keepsFormats(sink.keepsFormats())
    {
    }

    void read();

private:
    GroupState &top() { return m_groups.back(); }
    bool consumeFallback(Token &token);
    void openGroup();
    void closeGroup();
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
    int currentCodePage() const;
    const FontEntry *fontOf(const CharState &chars) const;
    const QTextCharFormat &sharedCharFormat(const CharState &chars);
    QTextCharFormat charFormat(const CharState &chars) const;
    QColor color(int index) const;
    const QTextBlockFormat &sharedBlockFormat(const ParagraphState &paragraph);
    static QTextBlockFormat blockFormat(const ParagraphState &paragraph);

    Tokenizer m_tokens;
    ReaderSink &m_sink;
    const bool m_keepsFormats;
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
        Token token = m_tokens.next();
        if (token.kind == Token::Kind::End)
            break;
        if (m_fallbackToSkip > 0 && consumeFallback(token))
            continue;
        switch (token.kind) {
        case Token::Kind::GroupStart:
            openGroup();
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
        m_lastParagraph = top().paragraph;
    }
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

void Reader::openGroup()
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
}

void Reader::closeGroup()
{
    if (m_groups.empty())
        return;
    flushBytes();
    resolveLoneSurrogate();
    if (m_overflowDepth > 0) {
        --m_overflowDepth;
        return;
    }
    if (top().destination == Destination::FontTable && m_tableFont)
        m_tableFont->nameEnded = true;
    if (m_groups.size() == 1) {
        // Whatever follows the document (WordPad writes a NUL) is not part of it.
        m_lastParagraph = top().paragraph;
        m_ended = true;
    }
    m_groups.pop_back();
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
    case Destination::Skip:
    case Destination::Object:
    case Destination::Upr:
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
    if (std::exchange(group.ignorable, false) && (found == words().end() || !isDestination(found->second))) {
        group.destination = Destination::Skip;
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
    if (destination == Destination::Object) {
        if (found->second == Word::Result)
            group.destination = Destination::Text;
        return;
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
    case Word::Object: group.destination = Destination::Object; return;
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
    m_decoder.decode(currentCodePage(), QByteArrayView(m_bytes.data(), static_cast<qsizetype>(m_bytes.size())),
                     m_decoded);
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

int Reader::currentCodePage() const
{
    const GroupState &group = m_groups.back();
    if (group.destination == Destination::FontTable)
        return m_tableFont ? codePageOf(*m_tableFont) : documentCodePage();
    const FontEntry *font = fontOf(group.chars);
    return font ? codePageOf(*font) : documentCodePage();
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
    if (const FontEntry *font = fontOf(chars); font && !font->name.trimmed().isEmpty())
        format.setFontFamilies({font->name.trimmed()});
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

} // namespace

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
