#include "KeptFonts.h"

#include "RtfTokenizer.h"

namespace kobin::rtf {

QByteArray renumberFonts(QByteArrayView rtf, const std::function<int(int)> &newNumber)
{
    QByteArray out;
    out.reserve(rtf.size());
    Tokenizer tokens(rtf);
    qsizetype copied = 0;
    for (;;) {
        const qsizetype before = tokens.position();
        const Token token = tokens.next();
        if (token.kind == Token::Kind::End)
            break;
        if (token.kind != Token::Kind::ControlWord || token.name != "f")
            continue; // a bare \f is font 0, as the reader takes it
        // The word begins at its backslash (white space may come before it) and
        // its number ends at the first byte that is not a digit.
        const qsizetype word = rtf.indexOf('\\', before);
        qsizetype end = word + 2;
        if (end < rtf.size() && rtf[end] == '-')
            ++end;
        while (end < rtf.size() && rtf[end] >= '0' && rtf[end] <= '9')
            ++end;
        out += rtf.sliced(copied, word + 2 - copied);
        out += QByteArray::number(newNumber(token.parameter));
        copied = end;
    }
    out += rtf.sliced(copied);
    return out;
}

} // namespace kobin::rtf
