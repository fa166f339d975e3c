#include "UserText.h"

#include "Cp932.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <memory>
#include <uchardet.h>

namespace kobin {

namespace {

const QByteArray kCp932 = QByteArrayLiteral("CP932");

bool isValidUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    return !decoder.hasError();
}

// What the detector makes of the bytes; empty when it has no answer.
QByteArray detectedEncoding(QByteArrayView bytes)
{
    const std::unique_ptr<std::remove_pointer_t<uchardet_t>, decltype(&uchardet_delete)> detector(uchardet_new(),
                                                                                                   uchardet_delete);
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), static_cast<size_t>(bytes.size())) != 0)
        return {};
    uchardet_data_end(detector.get());
    return QByteArray(uchardet_get_charset(detector.get())).toUpper();
}

QByteArray byteOrderMarkOf(const QByteArray &encoding)
{
    if (encoding == "UTF-8")
        return QByteArrayLiteral("\xEF\xBB\xBF");
    if (encoding == "UTF-16LE")
        return QByteArrayLiteral("\xFF\xFE");
    if (encoding == "UTF-16BE")
        return QByteArrayLiteral("\xFE\xFF");
    return {};
}

// The character at index i: two units for a surrogate pair.
QString characterAt(QStringView text, qsizetype i)
{
    const bool pair = text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
    return text.mid(i, pair ? 2 : 1).toString();
}

// The first character that does not come back the same through the converter.
QString firstChangedBy(QStringView text, const QByteArray &encoding)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QString ch = characterAt(text, i);
        QStringEncoder encoder(encoding.constData());
        QStringDecoder decoder(encoding.constData());
        if (QString(decoder.decode(encoder.encode(ch))) != ch)
            return ch;
        i += ch.size() - 1;
    }
    return {};
}

bool holdsKeptBytes(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar ch) { return cp932::isKeptBytes(ch.unicode()); });
}

} // namespace

UserText decodeUserTextAs(QByteArrayView bytes, const QByteArray &encoding)
{
    if (encoding == kCp932) {
        const QString text = cp932::decode(bytes);
        QByteArray again;
        return {text, kCp932, false, !cp932::encode(text, again) || again != bytes, holdsKeptBytes(text)};
    }
    QStringDecoder decoder(encoding.constData());
    const QString text = decoder.decode(bytes);
    return {text, encoding, false, decoder.hasError()};
}

bool startsWithByteOrderMark(QByteArrayView bytes)
{
    for (const char *encoding : {"UTF-8", "UTF-16LE", "UTF-16BE"})
        if (bytes.startsWith(byteOrderMarkOf(encoding)))
            return true;
    return false;
}

UserText decodeUserText(QByteArrayView bytes)
{
    for (const char *encoding : {"UTF-8", "UTF-16LE", "UTF-16BE"}) {
        const QByteArray mark = byteOrderMarkOf(encoding);
        if (bytes.startsWith(mark)) {
            UserText read = decodeUserTextAs(bytes.sliced(mark.size()), encoding);
            read.byteOrderMark = true;
            return read;
        }
    }
    // ISO-2022-JP is seven-bit, and so valid UTF-8 too: its escapes tell it apart.
    if (isValidUtf8(bytes) && !bytes.contains('\x1B'))
        return decodeUserTextAs(bytes, "UTF-8");
    // Of the detector's answers only the Japanese ones are taken: a short Shift_JIS
    // text can look Western to it, and code page 932 (Shift_JIS and more) is the
    // encoding of every other text file of this program.
    const QByteArray detected = detectedEncoding(bytes);
    if (detected == "EUC-JP" || detected == "ISO-2022-JP")
        return decodeUserTextAs(bytes, detected);
    return decodeUserTextAs(bytes, kCp932);
}

std::optional<QByteArray> encodeUserText(QStringView text, const QByteArray &encoding, bool byteOrderMark,
                                         QString *unwritable)
{
    QByteArray bytes = byteOrderMark ? byteOrderMarkOf(encoding) : QByteArray();
    if (encoding == kCp932) {
        // What a Japanese input method types for 〜 and the like is written as the
        // character code page 932 has for it.
        QByteArray body;
        const QString folded = cp932::foldVariants(text);
        qsizetype failedAt = 0;
        if (!cp932::encode(folded, body, &failedAt)) {
            if (unwritable)
                *unwritable = characterAt(folded, failedAt);
            return std::nullopt;
        }
        return bytes + body;
    }
    QStringEncoder encoder(encoding.constData());
    const QByteArray body = encoder.encode(text);
    // A converter may put a substitute in place of what it cannot hold: only a
    // text that reads back the same is written.
    QStringDecoder decoder(encoding.constData());
    if (encoder.hasError() || QString(decoder.decode(body)) != text) {
        if (unwritable)
            *unwritable = firstChangedBy(text, encoding);
        return std::nullopt;
    }
    return bytes + body;
}

} // namespace kobin
