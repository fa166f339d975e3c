#pragma once

#include <QString>

namespace kobin {

// The base name under which a page's side text and splitter files are kept.
// A local page (a path, or a "file:" address) gives its file name after the last
// "/" or "\", cut before its first "." (the whole name when it has none). Any
// other address gives a name of its own that is always a safe file name: no
// separators, no "..", bounded length, never starting with a digit, and the same
// for the same address.
QString pageBaseName(const QString &address);

// The content id of the side text (and splitter files) of a homepage item's page:
// the item's key and the page's base name. A base name that begins with a digit is
// set off by "-" ("a5-3" for 3.html), or the id would be another item's key ("a53").
QString pageTextName(const QString &key, const QString &baseName);

// The page base name a side text's content id holds after its key: the inverse of
// pageTextName ("-3" gives "3", "index" gives "index").
QString pageBaseNameAfterKey(QStringView tail);

// The content id earlier books used for such a page: the key and the base name run together.
QString runTogetherPageTextName(const QString &key, const QString &baseName);

// The folder of a page path: the path up to and including its last "/" or "\";
// empty when it has neither.
QString pageFolder(const QString &path);

// The local path of a "file:" address; other addresses are returned unchanged.
QString addressAsPath(const QString &address);

// The page path held by a url file: its text before the first line break, a NUL
// (which no path holds) replaced by U+FFFD.
QString pagePathFromUrlFile(const QString &text);

} // namespace kobin
