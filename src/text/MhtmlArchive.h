#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <optional>

namespace kobin {

// The page of a single-file web archive (MHTML, ".mht"/".mhtml", as browsers save
// a page with its pictures): the bytes of its first HTML part, decoded from
// quoted-printable or base64. When the part names its charset, a <meta> tag
// declaring it comes first, so that the page reads as what it declares. Nothing
// when the bytes are no such archive or it holds no HTML part.
// Written here rather than with a MIME library: the one HTML part is all search
// needs of an archive, and its bytes are a header block, boundaries and two
// transfer encodings.
std::optional<QByteArray> mhtmlMainPage(QByteArrayView archive);

} // namespace kobin
