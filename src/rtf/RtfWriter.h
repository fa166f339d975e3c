#pragma once

#include <QByteArray>

class QTextDocument;

namespace kobin::rtf {

// The document as RTF in the form the Windows rich-text control writes and
// reads: code page 932 characters as \'xx bytes, all others as \uN?, and the
// formats readRtf keeps, so that reading it back gives the same document.
QByteArray writeRtf(const QTextDocument &document);

} // namespace kobin::rtf
