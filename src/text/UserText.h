#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace kobin {

// The text of a file the user brings (a plain text opened into a note, later a
// page's source), with the encoding it was written in: a byte-order mark first,
// then valid UTF-8, then what the detector recognises (old Japanese files are
// often EUC-JP, ISO-2022-JP or Shift_JIS without saying so), and code page 932
// when nothing else fits.
struct UserText {
    QString text;
    QByteArray encoding; // "UTF-8", "UTF-16LE", "EUC-JP", "CP932", ...
};

UserText decodeUserText(QByteArrayView bytes);

} // namespace kobin
