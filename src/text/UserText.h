#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>
#include <optional>

namespace kobin {

// The text of a file the user brings (a plain text opened into a note, a page's
// source), with the encoding it was written in: a byte-order mark first, then
// valid UTF-8, then what the detector recognises (old Japanese files are often
// EUC-JP, ISO-2022-JP or Shift_JIS without saying so), and code page 932 when
// nothing else fits.
struct UserText {
    QString text;
    QByteArray encoding; // "UTF-8", "UTF-16LE", "EUC-JP", "CP932", ...
    bool byteOrderMark = false;
    // Some bytes did not stand for a character in the encoding: writing the text
    // back would not give them back.
    bool undecodableBytes = false;
    // Some bytes stood for no character of code page 932 and are kept as
    // characters of their own (cp932::isKeptBytes): writing gives them back.
    bool keptBytes = false;
};

UserText decodeUserText(QByteArrayView bytes);

bool startsWithByteOrderMark(QByteArrayView bytes);

// Reads bytes in a known encoding (a byte-order mark, if any, already removed).
UserText decodeUserTextAs(QByteArrayView bytes, const QByteArray &encoding);

// The bytes of text in encoding, with its byte-order mark when asked; nothing when
// the encoding cannot hold a character of the text (*unwritable tells which).
std::optional<QByteArray> encodeUserText(QStringView text, const QByteArray &encoding, bool byteOrderMark,
                                         QString *unwritable = nullptr);

} // namespace kobin
