#include "RichEditNote.h"

#include "Cp932.h"

#include <random>

namespace bench {
namespace {

// Text as a note holds it: kanji, kana, full-width and half-width forms, the
// NEC and IBM extensions of code page 932.
const QString kJapanese = QStringLiteral(
    "今日は図書館で表計算ソフトの本を借りた。ソフトの能力を調べるために、週末にいくつかの例題を試してみる予定だ。"
    "ホームページに載っていた説明も読み返して、気になったところをメモに書き写しておく。"
    "①売上の集計表は月ごとに分ける。②グラフは棒グラフより折れ線のほうが見やすい。"
    "髙橋さんから届いた資料（全３２頁）は来週までに目を通すこと～ｶﾀｶﾅの項目名は後で直す。"
    "会議室の予約：火曜日１４時、水曜日１０時。【注意】保存する前に必ず版を確かめる。");
const QString kLatin = QStringLiteral(
    "Excel 2000 SP3, Windows 98 SE; see http://www.example.com/manual/index.html "
    "for the macro {Sum} and C:\\Data\\report.xls (draft) ");

void appendEscapedByte(QByteArray &rtf, unsigned value)
{
    static const char digits[] = "0123456789abcdef";
    rtf += "\\'";
    rtf += digits[value >> 4];
    rtf += digits[value & 0xF];
}

// RichEdit writes every byte of a double-byte character and every byte above
// 0x7F as \'xx, and escapes the three RTF specials.
void appendCharacter(QByteArray &rtf, QChar ch)
{
    const int code = kobin::cp932::encodeChar(ch.unicode());
    if (code > 0xFF) {
        appendEscapedByte(rtf, static_cast<unsigned>(code) >> 8);
        appendEscapedByte(rtf, static_cast<unsigned>(code) & 0xFF);
    } else if (code > 0x7F) {
        appendEscapedByte(rtf, static_cast<unsigned>(code));
    } else {
        if (ch == u'\\' || ch == u'{' || ch == u'}')
            rtf += '\\';
        rtf += static_cast<char>(code);
    }
}

struct CharacterFormat {
    bool bold = false;
    bool italic = false;
    bool underline = false;
    int color = 0;
    bool mincho = false; // \f1\fs24 instead of \f0\fs18
    bool latin = false;  // \f2, Latin text
};

class Writer
{
public:
    explicit Writer(unsigned seed) : m_random(seed) {}

    RichEditNote write(qsizetype size);

private:
    int between(int low, int high) { return low + static_cast<int>(m_random() % static_cast<unsigned>(high - low + 1)); }
    void changeFormat();
    void startParagraph();
    void appendNextCharacter();

    std::mt19937 m_random;
    RichEditNote m_note;
    CharacterFormat m_format;
    QByteArray m_paragraphFormat = "\\pard";
    bool m_delimit = false; // a control word was written last and text must be set off
    int m_untilChange = 0;
    qsizetype m_japanese = 0;
    qsizetype m_latin = 0;
};

RichEditNote Writer::write(qsizetype size)
{
    m_note.rtf = "{\\rtf1\\ansi\\ansicpg932\\deff0\\deflang1033\\deflangfe1041{\\fonttbl"
                 "{\\f0\\fswiss\\fprq2\\fcharset128 \\'82\\'6c\\'82\\'72 \\'82\\'6f\\'83\\'53\\'83\\'56\\'83\\'62\\'83\\'4e;}"
                 "{\\f1\\froman\\fprq1\\fcharset128 \\'82\\'6c\\'82\\'72 \\'96\\'be\\'92\\'a9;}"
                 "{\\f2\\fswiss\\fprq2\\fcharset0 Arial;}}\r\n"
                 "{\\colortbl ;\\red255\\green0\\blue0;\\red0\\green0\\blue255;\\red0\\green128\\blue0;}\r\n"
                 "\\viewkind4\\uc1\\pard\\lang1041\\f0\\fs18";
    m_delimit = true;
    m_untilChange = between(20, 50);
    while (m_note.rtf.size() < size) {
        startParagraph();
        for (int length = between(40, 100); length > 0; --length) {
            if (--m_untilChange == 0) {
                changeFormat();
                m_untilChange = between(20, 50);
            }
            appendNextCharacter();
        }
        m_note.rtf += "\\par\r\n";
        m_note.text += u'\n';
        m_delimit = false;
    }
    m_note.rtf += "}\r\n";
    return std::move(m_note);
}

// One paragraph in ten is centred, right-aligned or indented; RichEdit starts
// such a paragraph with \pard and its properties.
void Writer::startParagraph()
{
    static const char *const kinds[] = {"\\pard\\qc", "\\pard\\qr", "\\pard\\li720\\fi-360"};
    const QByteArray format = between(0, 9) == 0 ? kinds[between(0, 2)] : "\\pard";
    if (format == m_paragraphFormat)
        return;
    m_paragraphFormat = format;
    m_note.rtf += format;
    m_delimit = true;
}

void Writer::changeFormat()
{
    CharacterFormat &format = m_format;
    switch (between(0, 5)) {
    case 0:
        format.bold = !format.bold;
        m_note.rtf += format.bold ? "\\b" : "\\b0";
        break;
    case 1:
        format.italic = !format.italic;
        m_note.rtf += format.italic ? "\\i" : "\\i0";
        break;
    case 2:
        format.underline = !format.underline;
        m_note.rtf += format.underline ? "\\ul" : "\\ulnone";
        break;
    case 3:
        format.color = (format.color + between(1, 3)) % 4;
        m_note.rtf += "\\cf" + QByteArray::number(format.color);
        break;
    case 4:
        format.mincho = !format.mincho;
        if (!format.latin)
            m_note.rtf += format.mincho ? "\\f1" : "\\f0";
        m_note.rtf += format.mincho ? "\\fs24" : "\\fs18";
        break;
    default:
        format.latin = !format.latin;
        if (format.latin)
            m_note.rtf += "\\f2\\lang1033";
        else
            m_note.rtf += format.mincho ? "\\f1\\lang1041" : "\\f0\\lang1041";
        break;
    }
    m_delimit = true;
}

void Writer::appendNextCharacter()
{
    const QChar ch = m_format.latin ? kLatin.at(m_latin++ % kLatin.size())
                                    : kJapanese.at(m_japanese++ % kJapanese.size());
    if (m_delimit)
        m_note.rtf += ' ';
    m_delimit = false;
    appendCharacter(m_note.rtf, ch);
    m_note.text += ch;
}

} // namespace

RichEditNote richEditNote(qsizetype size, unsigned seed)
{
    return Writer(seed).write(size);
}

} // namespace bench
