#pragma once

#include <QByteArrayView>
#include <QString>

#include "Picture.h"
#include <optional>

class QTextDocument;

namespace kobin::rtf {

// True when bytes start (after white space) with "{\rtf".
bool looksLikeRtf(QByteArrayView bytes);

// Replaces the document's content with the RTF document in bytes: its text,
// paragraphs, and the formats a note keeps (bold, italic, underline, font,
// size, text and highlight colour, alignment, indents). Damaged or hostile
// input still gives a document, never a crash or a hang. Returns false, and
// leaves the document as it was, when bytes are not RTF at all.
bool readRtf(QByteArrayView bytes, QTextDocument &document);

// The text of the RTF document in bytes, read as readRtf reads it but without
// making a document: paragraphs and line breaks end with lineEnd, the last
// paragraph has none. Nothing when bytes are not RTF at all.
std::optional<QString> readRtfText(QByteArrayView bytes, QStringView lineEnd);

// The picture a group kept from a note shows (a {\pict}, a \shppict or an
// object with its result picture), its data decoded; nothing when it holds none.
std::optional<Picture> readKeptPicture(QByteArrayView group);

} // namespace kobin::rtf
