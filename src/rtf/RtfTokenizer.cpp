#include "RtfTokenizer.h"

namespace kobin::rtf {
namespace {

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

Token tokenOf(Token::Kind kind)
{
    Token token;
    token.kind = kind;
    return token;
}

} // namespace

Token Tokenizer::next()
{
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        switch (c) {
        case '{':
            ++m_pos;
            return tokenOf(Token::Kind::GroupStart);
        case '}':
            ++m_pos;
            return tokenOf(Token::Kind::GroupEnd);
        case '\\':
            return readEscape();
        case '\r':
        case '\n':
            ++m_pos;
            continue;
        default:
            return readText();
        }
    }
    return {};
}

Token Tokenizer::readEscape()
{
    ++m_pos; // the backslash
    if (m_pos >= m_input.size())
        return {};
    const char c = m_input[m_pos];
    if (isLetter(c))
        return readControlWord();
    if (c == '\'')
        return readHexByte();
    ++m_pos;
    if (c == '\r' || c == '\n') {
        Token par = tokenOf(Token::Kind::ControlWord);
        par.name = "par";
        return par;
    }
    Token symbol = tokenOf(Token::Kind::ControlSymbol);
    symbol.parameter = static_cast<unsigned char>(c);
    return symbol;
}

Token Tokenizer::readControlWord()
{
    Token word = tokenOf(Token::Kind::ControlWord);
    const qsizetype start = m_pos;
    while (m_pos < m_input.size() && isLetter(m_input[m_pos]))
        ++m_pos;
    if (m_pos - start <= kMaxWordLength)
        word.name = m_input.sliced(start, m_pos - start);

    bool negative = false;
    if (m_pos + 1 < m_input.size() && m_input[m_pos] == '-' && isDigit(m_input[m_pos + 1])) {
        negative = true;
        ++m_pos;
    }
    if (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
        word.hasParameter = true;
        long long value = 0;
        while (m_pos < m_input.size() && isDigit(m_input[m_pos])) {
            if (value < kParameterLimit)
                value = value * 10 + (m_input[m_pos] - '0');
            ++m_pos;
        }
        if (value > kParameterLimit)
            value = kParameterLimit;
        word.parameter = static_cast<int>(negative ? -value : value);
    }
    if (m_pos < m_input.size() && m_input[m_pos] == ' ')
        ++m_pos;

    if (word.name == "bin") {
        const qsizetype remaining = m_input.size() - m_pos;
        const qsizetype count = word.parameter <= 0 ? 0 : qMin<qsizetype>(word.parameter, remaining);
        Token binary = tokenOf(Token::Kind::Binary);
        binary.bytes = m_input.sliced(m_pos, count);
        m_pos += count;
        return binary;
    }
    return word;
}

// \'xx with one or both digits missing or malformed gives the digits that are
// there; the first non-hex character is left for the text that follows.
Token Tokenizer::readHexByte()
{
    ++m_pos; // the quote
    Token hex = tokenOf(Token::Kind::HexByte);
    int digits = 0;
    while (digits < 2 && m_pos < m_input.size()) {
        const int value = hexDigit(m_input[m_pos]);
        if (value < 0)
            break;
        hex.parameter = hex.parameter * 16 + value;
        ++digits;
        ++m_pos;
    }
    if (digits == 0) {
        // Not a byte at all: handed on as a symbol that means nothing.
        Token symbol = tokenOf(Token::Kind::ControlSymbol);
        symbol.parameter = '\'';
        return symbol;
    }
    return hex;
}

Token Tokenizer::readText()
{
    const qsizetype start = m_pos;
    while (m_pos < m_input.size()) {
        const char c = m_input[m_pos];
        if (c == '\\' || c == '{' || c == '}' || c == '\r' || c == '\n')
            break;
        ++m_pos;
    }
    Token text = tokenOf(Token::Kind::Text);
    text.bytes = m_input.sliced(start, m_pos - start);
    return text;
}

} // namespace kobin::rtf
