#pragma once

#include <QTextCharFormat>

namespace kobin::import {

// One level of indent in another program's text, as a list level of a note.
constexpr double kIndentPixels = 40.0;

// Code and verbatim text, in the fixed-pitch font notes use.
QTextCharFormat fixedPitch();

} // namespace kobin::import
