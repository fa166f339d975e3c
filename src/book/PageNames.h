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

// The folder of a page path: the path up to and including its last "/" or "\";
// empty when it has neither.
QString pageFolder(const QString &path);

// The local path of a "file:" address; other addresses are returned unchanged.
QString addressAsPath(const QString &address);

// The page path held by a url file: its text before the first line break.
QString pagePathFromUrlFile(const QString &text);

} // namespace kobin
