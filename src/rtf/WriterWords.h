#pragma once

// The control words the RTF writer writes for formats the reader reads back.
#include <QTextCharFormat>
#include <QTextFrameFormat>
#include <QTextOption>

namespace kobin::rtf {

// Null for a left tab, which needs no word of its own.
const char *tabTypeWord(QTextOption::TabType type);
const char *underlineWord(QTextCharFormat::UnderlineStyle style);
// A table cell's border of the style: \brdrs and the like.
const char *borderStyleWord(QTextFrameFormat::BorderStyle style);

} // namespace kobin::rtf
