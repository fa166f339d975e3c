#pragma once

#include <QByteArrayView>

namespace kobin::rtf {

// One lexical unit of an RTF stream. Views point into the tokenizer's input.
struct Token {
    enum class Kind {
        GroupStart,    // {
        GroupEnd,      // }
        ControlWord,   // \name or \nameN; name empty when the word was too long
        ControlSymbol, // \x for any non-letter x except the quote, e.g. \~ \* \\ ;
        HexByte,       // \'xx
        Text,          // a run of literal bytes without \ { } CR LF
        Binary,        // the data of \binN
        End,
    };
    Kind kind = Kind::End;
    QByteArrayView name;  // ControlWord
    bool hasParameter = false;
    int parameter = 0;    // ControlWord (clamped); HexByte: the byte; ControlSymbol: the character
    QByteArrayView bytes; // Text, Binary
};

// Splits RTF bytes into tokens without ever looking back, so input of any size
// or shape is read in one pass. Raw CR and LF are dropped; a backslash before
// CR or LF reads as \par; \binN takes the next N bytes (or what remains) raw.
class Tokenizer
{
public:
    static constexpr int kMaxWordLength = 32;
    static constexpr int kParameterLimit = 1'000'000'000;

    explicit Tokenizer(QByteArrayView input) : m_input(input) {}

    Token next();
    // Where the next token starts (or white space before it).
    qsizetype position() const { return m_pos; }
    // Takes the whole \'xx (two hex digits) that come next, handing add each
    // byte, up to anything else. Runs of escaped bytes, as Japanese comes, go
    // through this without a token each.
    template <typename Add>
    void takeHexBytes(Add add)
    {
        while (m_input.size() - m_pos >= 4 && m_input[m_pos] == '\\' && m_input[m_pos + 1] == '\'') {
            const int high = hexDigit(m_input[m_pos + 2]);
            const int low = hexDigit(m_input[m_pos + 3]);
            if (high < 0 || low < 0)
                return;
            add(static_cast<char>(high * 16 + low));
            m_pos += 4;
        }
    }

    // The value of a hex digit; -1 for any other character.
    static int hexDigit(char c)
    {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    }

private:
    Token readEscape();
    Token readControlWord();
    Token readHexByte();
    Token readText();

    QByteArrayView m_input;
    qsizetype m_pos = 0;
};

} // namespace kobin::rtf
