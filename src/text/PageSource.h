#pragma once

#include "UserText.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <optional>

namespace kobin {

// The charset a page declares in a <meta> tag among its first 1024 bytes, as
// browsers look for it ("charset=..." alone or inside http-equiv content);
// lower case, empty when it declares none.
QByteArray declaredCharset(QByteArrayView html);

// The source of a saved page as the text pane shows it, and how to write it back
// the way it was written: its encoding (a byte-order mark, then the charset the
// page declares, then what the file's bytes tell) and its line breaks.
struct PageSource {
    UserText read; // text with "\n" line breaks
    QString lineBreak = QStringLiteral("\n");
};

PageSource readPageSource(QByteArrayView bytes);

// The bytes of text (with "\n" line breaks) written as source was read; nothing
// when the encoding cannot hold a character (*unwritable tells which).
std::optional<QByteArray> writePageSource(const QString &text, const PageSource &source,
                                          QString *unwritable = nullptr);

} // namespace kobin
