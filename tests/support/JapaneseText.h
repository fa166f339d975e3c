#pragma once

#include <QByteArray>
#include <QString>
#include <QStringEncoder>

// A paragraph of Japanese long enough for the encoding detector to be sure of.
inline const QString kJapaneseParagraph = QStringLiteral(
    "今日は図書館で表計算ソフトの本を借りた。ソフトの能力を調べるために、週末にいくつかの例題を試してみる予定だ。"
    "ホームページに載っていた説明も読み返して、気になったところをメモに書き写しておく。");

// text in one of the converters' encodings ("EUC-JP", "ISO-2022-JP", "UTF-16LE", ...).
inline QByteArray encodedAs(const char *encoding, const QString &text)
{
    QStringEncoder encoder(encoding);
    return encoder.encode(text);
}
