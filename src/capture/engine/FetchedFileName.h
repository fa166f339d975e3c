#pragma once

#include <QString>
#include <QUrl>

namespace kobin::capture {

// The name a file that is no web page (a picture, a PDF) is saved under: the
// address's last path part, with what no file name may hold replaced, and an
// extension from the content type when it has none; a name longer than the
// file system takes (255 bytes in its encoding) loses characters before its suffix.
QString fetchedFileName(const QUrl &url, const QString &contentType);

} // namespace kobin::capture
