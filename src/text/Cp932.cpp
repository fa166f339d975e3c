#include "Cp932.h"

#include <QStringDecoder>
#include <algorithm>
#include <array>
#include <vector>

namespace kobin::cp932 {
namespace {

constexpr int kLeadCount = 60;   // 0x81-0x9F and 0xE0-0xFC
constexpr int kTrailCount = 188; // 0x40-0x7E and 0x80-0xFC
constexpr char16_t kKeptSingleBase = 0xF100;
constexpr char16_t kFirstKeptPair = 0xF200;

constexpr char16_t kDoubleByteTable[] = {
#include "Cp932Table.inc"
};

static_assert(sizeof(kDoubleByteTable) / sizeof(char16_t) == kLeadCount * kTrailCount, "table shape");

int leadRow(unsigned char lead)
{
    if (lead >= 0x81 && lead <= 0x9F)
        return lead - 0x81;
    if (lead >= 0xE0 && lead <= 0xFC)
        return lead - 0xE0 + 31;
    return -1;
}

int trailColumn(unsigned char trail)
{
    if (trail >= 0x40 && trail <= 0x7E)
        return trail - 0x40;
    if (trail >= 0x80 && trail <= 0xFC)
        return trail - 0x80 + 63;
    return -1;
}

// The table with each undefined pair given the character that keeps it, in code order.
struct PairTable {
    char16_t chars[kLeadCount * kTrailCount] = {};
};

constexpr PairTable makePairTable()
{
    PairTable table;
    char16_t kept = kFirstKeptPair;
    for (int i = 0; i < kLeadCount * kTrailCount; ++i)
        table.chars[i] = kDoubleByteTable[i] != 0 ? kDoubleByteTable[i] : kept++;
    return table;
}

constexpr PairTable kPairTable = makePairTable();
static_assert(kPairTable.chars[kLeadCount * kTrailCount - 1] == kLastKeptBytes, "0xFCFC is the last undefined pair");

// Where a character has several codes, Windows writes the JIS X 0208 one first,
// then NEC row 13, then the IBM extensions, and the NEC-selected IBM extensions last.
int leadPreference(unsigned char lead)
{
    if (lead == 0x87)
        return 1;
    if (lead >= 0xFA)
        return 2;
    if (lead == 0xED || lead == 0xEE)
        return 3;
    return 0;
}

struct EncodeTable {
    std::vector<int16_t> codes; // indexed by UTF-16 unit; 0 = none (NUL is handled apart)

    EncodeTable() : codes(0x10000, 0)
    {
        std::array<int8_t, 0x10000> preference{};
        for (int lead = 0x81; lead <= 0xFC; ++lead) {
            const int row = leadRow(static_cast<unsigned char>(lead));
            if (row < 0)
                continue;
            for (int column = 0; column < kTrailCount; ++column) {
                const char16_t ch = kPairTable.chars[row * kTrailCount + column];
                const int trail = column < 63 ? 0x40 + column : 0x80 + column - 63;
                const int pref = leadPreference(static_cast<unsigned char>(lead));
                if (codes[ch] == 0 || pref < preference[ch]) {
                    codes[ch] = static_cast<int16_t>((lead << 8) | trail);
                    preference[ch] = static_cast<int8_t>(pref);
                }
            }
        }
        for (int byte = 0x01; byte < 0x100; ++byte)
            codes[decodeSingle(static_cast<unsigned char>(byte))] = static_cast<int16_t>(byte);
    }
};

const EncodeTable &encodeTable()
{
    static const EncodeTable table;
    return table;
}

} // namespace

bool isKeptBytes(char16_t ch)
{
    return ch >= kFirstKeptBytes && ch <= kLastKeptBytes && encodeChar(ch) > 0;
}

bool isLeadByte(unsigned char byte)
{
    return leadRow(byte) >= 0;
}

char16_t decodeSingle(unsigned char byte)
{
    if (byte < 0x80)
        return byte;
    if (byte >= 0xA1 && byte <= 0xDF)
        return static_cast<char16_t>(0xFF61 + byte - 0xA1);
    return static_cast<char16_t>(kKeptSingleBase + byte);
}

char16_t decodePair(unsigned char lead, unsigned char trail)
{
    const int row = leadRow(lead);
    const int column = trailColumn(trail);
    if (row < 0 || column < 0)
        return 0;
    return kPairTable.chars[row * kTrailCount + column];
}

int encodeChar(char16_t ch)
{
    if (ch == 0)
        return 0;
    const int code = static_cast<uint16_t>(encodeTable().codes[ch]);
    return code == 0 ? -1 : code;
}

QString decode(QByteArrayView bytes)
{
    QString text;
    decode(bytes, text);
    return text;
}

void decode(QByteArrayView bytes, QString &text)
{
    qsizetype n = text.size();
    text.resize(n + bytes.size());
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    const auto *data = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size; ++i) {
        const unsigned char byte = data[i];
        if (byte < 0x80) {
            out[n++] = byte;
            continue;
        }
        // A lead byte without a trail byte after it is kept alone, and the next byte read on its own.
        const char16_t pair = i + 1 < size ? decodePair(byte, data[i + 1]) : 0;
        if (pair != 0) {
            out[n++] = pair;
            ++i;
        } else {
            out[n++] = decodeSingle(byte);
        }
    }
    text.truncate(n);
}

namespace {
char16_t foldedVariant(char16_t ch)
{
    switch (ch) {
    case 0x301C: return 0xFF5E; // WAVE DASH
    case 0x2016: return 0x2225; // DOUBLE VERTICAL LINE
    case 0x2212: return 0xFF0D; // MINUS SIGN
    case 0x00A2: return 0xFFE0; // CENT SIGN
    case 0x00A3: return 0xFFE1; // POUND SIGN
    case 0x00AC: return 0xFFE2; // NOT SIGN
    case 0x2014: return 0x2015; // EM DASH
    default: return ch;
    }
}
} // namespace

QString foldVariants(QStringView text)
{
    QString folded = text.toString();
    for (QChar &ch : folded)
        ch = QChar(foldedVariant(ch.unicode()));
    return folded;
}

bool holdsVariants(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return foldedVariant(ch.unicode()) != ch.unicode(); });
}

namespace {
// Appends text encoded to out, each character first given by unitOf.
template <typename UnitOf>
bool appendEncoded(QStringView text, QByteArray &out, qsizetype *failedAt, UnitOf unitOf)
{
    qsizetype n = out.size();
    out.resize(n + text.size() * 2);
    char *dest = out.data();
    const int16_t *const codes = encodeTable().codes.data();
    bool afterLoneLead = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t original = text[i].unicode();
        if (original < 0x80 && !afterLoneLead) { // one byte, nothing to look up
            dest[n++] = static_cast<char>(original);
            continue;
        }
        const char16_t unit = unitOf(original);
        const int code = unit < 0x80 ? unit : static_cast<uint16_t>(codes[unit]);
        if (code > 0xFF && !afterLoneLead) { // a pair: what most Japanese text is
            dest[n++] = static_cast<char>(code >> 8);
            dest[n++] = static_cast<char>(code & 0xFF);
            continue;
        }
        const auto first = static_cast<unsigned char>(code > 0xFF ? code >> 8 : code);
        if (code == 0 && unit != 0) {
            if (failedAt)
                *failedAt = i;
            return false;
        }
        // A kept lead byte followed by a trail byte would read back as a pair.
        if (afterLoneLead && trailColumn(first) >= 0) {
            if (failedAt)
                *failedAt = i - 1;
            return false;
        }
        if (code > 0xFF)
            dest[n++] = static_cast<char>(first);
        dest[n++] = static_cast<char>(code & 0xFF);
        afterLoneLead = code >= 0x80 && code <= 0xFF && isLeadByte(static_cast<unsigned char>(code));
    }
    out.truncate(n);
    return true;
}
} // namespace

bool encode(QStringView text, QByteArray &out, qsizetype *failedAt)
{
    out.clear();
    return appendEncoded(text, out, failedAt, [](char16_t unit) { return unit; });
}

bool appendFolded(QStringView text, QByteArray &out)
{
    return appendEncoded(text, out, nullptr, foldedVariant);
}

} // namespace kobin::cp932

namespace kobin {

namespace {

constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// Half a surrogate pair (text cut to a length between the two) is written as
// U+FFFD, which marks the loss, where QString::toUtf8() writes an ordinary "?".
QByteArray utf8MarkingLoneSurrogates(QStringView text)
{
    QString checked = text.toString();
    for (qsizetype i = 0; i < checked.size(); ++i) {
        if (checked[i].isHighSurrogate() && i + 1 < checked.size() && checked[i + 1].isLowSurrogate())
            ++i;
        else if (checked[i].isSurrogate())
            checked[i] = QChar::ReplacementCharacter;
    }
    return checked.toUtf8();
}

} // namespace

QByteArray encodeSystemText(QStringView text)
{
    QByteArray bytes;
    // Most text holds no variant, and a whole book's tree string is not copied for nothing.
    if (cp932::holdsVariants(text) ? cp932::encode(cp932::foldVariants(text), bytes) : cp932::encode(text, bytes))
        return bytes;
    // UTF-8 holds the variants themselves: only code page 932 needs them folded.
    return QByteArray(kUtf8Bom) + utf8MarkingLoneSurrogates(text);
}

QString decodeSystemText(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Bom))
        return QString::fromUtf8(bytes.sliced(3));
    return cp932::decode(bytes);
}

std::optional<QString> decodeSystemTextExactly(QByteArrayView bytes)
{
    if (bytes.startsWith(kUtf8Bom)) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        QString text = utf8.decode(bytes.sliced(3));
        if (utf8.hasError())
            return std::nullopt;
        return text;
    }
    // Every byte is a character in code page 932 as read here: undefined ones are kept in the Private Use Area.
    return cp932::decode(bytes);
}

} // namespace kobin
