#pragma once

#include <QStringView>

namespace kobin {

// The start of text, at most maxLength UTF-16 units long, never ending between
// the two halves of a surrogate pair: a character that does not fit whole is
// left out. What is cut to a length (captions, names) goes through here, as
// half a character cannot be shown nor written to a file.
QStringView leftWholeCharacters(QStringView text, qsizetype maxLength);

} // namespace kobin
