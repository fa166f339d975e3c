#include "UserText.h"

#include "Cp932.h"

#include <QStringDecoder>
#include <memory>
#include <uchardet.h>

namespace kobin {

namespace {

UserText decodeWith(const char *encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding);
    return {decoder.decode(bytes), QByteArray(encoding)};
}

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

} // namespace

UserText decodeUserText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith("UTF-8", bytes.sliced(3));
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith("UTF-16LE", bytes.sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith("UTF-16BE", bytes.sliced(2));
    // ISO-2022-JP is seven-bit, and so valid UTF-8 too: its escapes tell it apart.
    if (isValidUtf8(bytes) && !bytes.contains('\x1B'))
        return decodeWith("UTF-8", bytes);
    // Of the detector's answers only the Japanese ones are taken: a short Shift_JIS
    // text can look Western to it, and code page 932 (Shift_JIS and more) is the
    // encoding of every other text file of this program.
    const QByteArray detected = detectedEncoding(bytes);
    if (detected == "EUC-JP" || detected == "ISO-2022-JP")
        return decodeWith(detected.constData(), bytes);
    return {cp932::decode(bytes), QByteArray("CP932")};
}

} // namespace kobin
