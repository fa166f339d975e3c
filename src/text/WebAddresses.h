#pragma once

#include <QStringView>

namespace kobin {

// Whether a link's address is one the program hands on, to the user's browser or
// mail program or to a page written from a note: a web page (http, https) or a
// mail address (mailto). Never a file, a script or any other kind of address.
bool isWebAddress(QStringView address);

} // namespace kobin
