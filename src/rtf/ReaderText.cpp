#include "Reader.h"

#include "WholeCharacters.h"

namespace kobin::rtf::reading {

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
    if (!emitGlyphAreaCharacter(unit))
        emitText(QStringView(&unit, 1));
}

// Word writes a symbol font's byte as the character Windows draws its glyph for;
// a code page's own characters there (Big5's user area) are drawn the same way.
bool Reader::emitGlyphAreaCharacter(char16_t unit)
{
    if (unit < 0xF000 || unit > 0xF0FF)
        return false;
    if (const auto symbol = currentSymbolFont()) {
        emitText(QChar::fromUcs4(symbolCharacter(*symbol, static_cast<uint8_t>(unit))));
        return true;
    }
    if (const auto symbol = privateUseFont(unit)) {
        emitPrivateUse(*symbol, static_cast<uint8_t>(unit));
        return true;
    }
    return false;
}

// A glyph of a symbol font written in another font: shown as the character it
// stands for, in a run of its own that the writer writes back as it was read.
void Reader::emitPrivateUse(SymbolFont font, uint8_t byte)
{
    const char32_t shown = symbolCharacter(font, byte);
    flushBytes();
    CharState &chars = top().chars;
    const int8_t before = std::exchange(chars.privateUseFont, static_cast<int8_t>(font));
    emitText(QChar::fromUcs4(shown));
    top().chars.privateUseFont = before;
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
    const QByteArrayView bytes(m_bytes.data(), static_cast<qsizetype>(m_bytes.size()));
    if (codePage == kCodePageSymbol) {
        const SymbolFont font = currentSymbolFont().value_or(SymbolFont::Other);
        for (const char byte : bytes)
            m_decoded += QChar::fromUcs4(symbolCharacter(font, static_cast<uint8_t>(byte)));
        m_bytes.clear();
        emitText(m_decoded);
        return;
    }
    m_decoder.decode(codePage, bytes, m_decoded);
    m_bytes.clear();
    // Characters of the glyph area read as \uN does; with no bytes left, emitting leaves m_decoded alone.
    const QStringView decoded(m_decoded);
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < decoded.size(); ++i) {
        const char16_t unit = decoded.at(i).unicode();
        if (unit >= 0xF000 && unit <= 0xF0FF) {
            if (i > runStart)
                emitText(decoded.mid(runStart, i - runStart));
            if (!emitGlyphAreaCharacter(unit))
                emitText(decoded.mid(i, 1));
            runStart = i + 1;
        }
    }
    emitText(decoded.mid(runStart));
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
        m_footnoteNumbered = false;
        if (m_field)
            m_field->shown = true;
        if (top().chars.hidden) {
            m_hiddenText += text;
            break;
        }
        flushHiddenText();
        updateCharFormat();
        m_sink.append(text);
        break;
    case Destination::FieldInstruction:
        if (m_field && m_field->instruction.size() < kMaxInstructionLength)
            m_field->instruction += text;
        break;
    case Destination::ListMarkerText:
        putListMarkerText(text);
        break;
    case Destination::Footnote:
        if (!top().chars.hidden && m_footnoteText.size() < kMaxFootnoteText)
            m_footnoteText += leftWholeCharacters(text, kMaxFootnoteText - m_footnoteText.size());
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

// False where no paragraph ends: outside the note's text.
bool Reader::flushParagraph()
{
    resolveLoneSurrogate();
    if (top().destination != Destination::Text)
        return false;
    // A paragraph ended in a field is in the note: the field cannot also stay whole, unseen.
    if (m_field)
        m_field->shown = true;
    flushHiddenText();
    updateCharFormat();
    announceListItem(top().paragraph);
    return true;
}

void Reader::endParagraph()
{
    m_footnoteNumbered = false;
    if (!flushParagraph())
        return;
    m_sink.paragraphDepth(top().paragraph.tableDepth);
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

} // namespace kobin::rtf::reading
