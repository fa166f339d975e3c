#include "Reader.h"


namespace kobin::rtf::reading {

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
    announceListItem(m_lastParagraph);
    flushHiddenText();
    m_sink.paragraphDepth(m_lastParagraph.tableDepth);
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
    if (m_field)
        closeField();
    if (top().destination == Destination::ListMarkerText && m_markerText == MarkerText::Level)
        endLevelText();
    if (m_listEntryDepth == m_groups.size())
        endListEntry();
    if (m_groups.size() == 1) {
        // Whatever follows the document (WordPad writes a NUL) is not part of it.
        m_lastParagraph = top().paragraph;
        m_ended = true;
    }
    const bool textRead = top().textRead;
    const bool listNumberingEnds = m_listNumbering && m_listNumberingDepth == m_groups.size();
    m_groups.pop_back();
    if (textRead && !m_groups.empty())
        top().textRead = true;
    if (listNumberingEnds && !m_groups.empty())
        endListNumbering();
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
    case Destination::FieldInstruction:
    case Destination::ListMarkerText:
    case Destination::Footnote:
        addBytes(bytes);
        break;
    case Destination::ListTable:
    case Destination::ListNumbering:
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
    const Word *found = findWord(std::string_view(token.name.data(), token.name.size()));
    GroupState &group = top();
    const bool marked = std::exchange(group.ignorable, false);
    const bool beginsGroup = (marked || !group.started) && !group.textRead;
    if (marked && (!found || !isDestination(*found))) {
        group.destination = Destination::Skip;
        return;
    }
    if (group.destination == Destination::Picture) {
        readPictureWord(token);
        return;
    }
    if (!found || group.destination == Destination::Skip)
        return;
    const Word word = *found;
    if (group.destination == Destination::Footnote) {
        readFootnoteWord(word, token);
        return;
    }
    if (group.destination == Destination::Upr) {
        if (word == Word::UnicodeText)
            group.destination = Destination::Text;
        return;
    }
    switch (word) {
    case Word::Picture:
    case Word::ShapePicture:
    case Word::NonShapePicture:
    case Word::Object:
    case Word::ObjectWidth:
    case Word::ObjectHeight:
        readKeptWord(word, token, beginsGroup);
        return;
    case Word::Footnote:
        beginFootnote(beginsGroup);
        return;
    case Word::FootnoteNumber:
        m_footnoteNumbered = group.destination == Destination::Text;
        return;
    default:
        break;
    }
    if (group.destination == Destination::Kept || readDocumentWord(word, token) || readFieldWord(word, beginsGroup))
        return; // the text and formats of a kept group are not the note's
    if (group.destination == Destination::FontTable || group.destination == Destination::ColorTable) {
        readTableWord(word, token.parameter);
        return;
    }
    if (readListWord(word, token, beginsGroup) || readRowWord(word, token))
        return;
    if (!readCharacterWord(word, token))
        readParagraphWord(word, token);
}

namespace {

bool isHeaderWord(Word word)
{
    switch (word) {
    case Word::Ansi:
    case Word::Mac:
    case Word::Pc:
    case Word::Pca:
    case Word::AnsiCodePage:
    case Word::DefaultFont:
    case Word::FontTable:
    case Word::ColorTable: return true;
    default: return false;
    }
}

} // namespace

// Words of the document as a whole and those that begin destinations; false for any other.
bool Reader::readDocumentWord(Word word, const Token &token)
{
    GroupState &group = top();
    const int value = token.parameter;
    // The header's words in a field or a list entry are not the note's: a group
    // kept whole would otherwise change the note's fonts and code pages each time
    // it is read.
    if ((m_field || m_listEntryDepth != 0) && isHeaderWord(word)) {
        if (word == Word::FontTable || word == Word::ColorTable)
            group.destination = Destination::Skip;
        return true;
    }
    switch (word) {
    case Word::Ansi: m_charsetCodePage = 1252; return true;
    case Word::Mac: m_charsetCodePage = 10000; return true;
    case Word::Pc: m_charsetCodePage = 437; return true;
    case Word::Pca: m_charsetCodePage = 850; return true;
    case Word::AnsiCodePage: m_ansiCodePage = qMax(0, value); return true;
    case Word::DefaultFont:
        m_defaultFont = value;
        m_charFormats.clear();
        return true;
    case Word::FontTable: group.destination = Destination::FontTable; return true;
    case Word::ColorTable: group.destination = Destination::ColorTable; return true;
    case Word::SkippedDestination: group.destination = Destination::Skip; return true;
    case Word::Upr: group.destination = Destination::Upr; return true;
    case Word::UnicodeText:
    case Word::TextDestination: return true;
    case Word::UnicodeSkip: group.unicodeSkip = qBound(0, value, kMaxUnicodeSkip); return true;
    case Word::Unicode:
        if (token.hasParameter)
            readUnicode(value);
        return true;
    default: return false;
    }
}

// Anything read into the tables forgets the formats made from them.
void Reader::readTableWord(Word word, int value)
{
    m_charFormats.clear();
    if (top().destination == Destination::FontTable) {
        switch (word) {
        case Word::Font: m_tableFont = &(m_fonts[value] = FontEntry{}); return;
        case Word::Charset: if (m_tableFont) m_tableFont->charset = value; return;
        case Word::FontCodePage: if (m_tableFont) m_tableFont->codePage = value; return;
        default: return;
        }
    }
    const int component = qBound(0, value, 255);
    switch (word) {
    case Word::Red: m_red = component; m_colorGiven = true; return;
    case Word::Green: m_green = component; m_colorGiven = true; return;
    case Word::Blue: m_blue = component; m_colorGiven = true; return;
    default: return;
    }
}

namespace {

int raiseOf(const Token &token)
{
    return token.hasParameter ? qBound(0, token.parameter, kMaxHalfPoints) : kDefaultRaiseHalfPoints;
}

} // namespace

// Words of text and of its look; false for any other.
bool Reader::readCharacterWord(Word word, const Token &token)
{
    CharState &chars = top().chars;
    const int value = token.parameter;
    const bool on = !token.hasParameter || value != 0;
    switch (word) {
    case Word::Line: emitText(u"\u2028"); return true;
    case Word::Tab: emitText(u"\t"); return true;
    case Word::Plain: chars = CharState(); return true;
    case Word::Font: chars.font = value; return true;
    case Word::Bold: chars.bold = on; return true;
    case Word::Italic: chars.italic = on; return true;
    case Word::Hidden: chars.hidden = on; return true;
    case Word::Underline: readUnderline(token, QTextCharFormat::SingleUnderline); return true;
    case Word::UnderlineWord: readUnderline(token, QTextCharFormat::SingleUnderline); return true;
    case Word::UnderlineDotted: readUnderline(token, QTextCharFormat::DotLine); return true;
    case Word::UnderlineDash: readUnderline(token, QTextCharFormat::DashUnderline); return true;
    case Word::UnderlineDashDot: readUnderline(token, QTextCharFormat::DashDotLine); return true;
    case Word::UnderlineDashDotDot: readUnderline(token, QTextCharFormat::DashDotDotLine); return true;
    case Word::UnderlineWave: readUnderline(token, QTextCharFormat::WaveUnderline); return true;
    case Word::UnderlineNone: chars.underline = QTextCharFormat::NoUnderline; return true;
    case Word::FontSize:
        chars.halfPoints = token.hasParameter ? qBound(kMinHalfPoints, value, kMaxHalfPoints) : 0;
        return true;
    case Word::Color: chars.color = value; return true;
    case Word::Strike: chars.strike = on; return true;
    case Word::Superscript: chars.script = on ? QTextCharFormat::AlignSuperScript : QTextCharFormat::AlignNormal; return true;
    case Word::Subscript: chars.script = on ? QTextCharFormat::AlignSubScript : QTextCharFormat::AlignNormal; return true;
    case Word::NoSuperSub: chars.script = QTextCharFormat::AlignNormal; return true;
    case Word::Up: chars.raise = raiseOf(token); return true;
    case Word::Down: chars.raise = -raiseOf(token); return true;
    case Word::Highlight: chars.highlight = value; return true;
    case Word::EmDash: emitText(u"\u2014"); return true;
    case Word::EnDash: emitText(u"\u2013"); return true;
    case Word::Bullet: emitText(u"\u2022"); return true;
    case Word::LeftQuote: emitText(u"\u2018"); return true;
    case Word::RightQuote: emitText(u"\u2019"); return true;
    case Word::LeftDoubleQuote: emitText(u"\u201C"); return true;
    case Word::RightDoubleQuote: emitText(u"\u201D"); return true;
    default: return false;
    }
}

void Reader::readParagraphWord(Word word, const Token &token)
{
    ParagraphState &paragraph = top().paragraph;
    const int indent = qBound(-kMaxIndentTwips, token.parameter, kMaxIndentTwips);
    switch (word) {
    case Word::Par: endParagraph(); return;
    case Word::Pard: paragraph = ParagraphState(); return;
    case Word::AlignLeft: paragraph.alignment = Qt::AlignLeft; return;
    case Word::AlignRight: paragraph.alignment = Qt::AlignRight; return;
    case Word::AlignCenter: paragraph.alignment = Qt::AlignHCenter; return;
    case Word::AlignJustify: paragraph.alignment = Qt::AlignJustify; return;
    case Word::LeftIndent: paragraph.leftTwips = indent; return;
    case Word::RightIndent: paragraph.rightTwips = indent; return;
    case Word::FirstLineIndent: paragraph.firstLineTwips = indent; return;
    case Word::SpaceBefore: paragraph.spaceBeforeTwips = qMax(0, indent); return;
    case Word::SpaceAfter: paragraph.spaceAfterTwips = qMax(0, indent); return;
    case Word::LineSpacing: paragraph.lineSpacing = indent; return;
    case Word::LineMultiple: paragraph.lineMultiple = !token.hasParameter || token.parameter != 0; return;
    case Word::TabRight: paragraph.nextTabType = QTextOption::RightTab; return;
    case Word::TabCenter: paragraph.nextTabType = QTextOption::CenterTab; return;
    case Word::TabDecimal: paragraph.nextTabType = QTextOption::DelimiterTab; return;
    case Word::TabPosition:
        if (paragraph.tabs.size() < kMaxTabStops)
            paragraph.tabs.push_back({qMax(0, indent), paragraph.nextTabType});
        paragraph.nextTabType = QTextOption::LeftTab;
        return;
    default: return;
    }
}

} // namespace kobin::rtf::reading
