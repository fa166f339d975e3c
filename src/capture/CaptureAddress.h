#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace kobin::capture {

// The address typed or dropped, as a web address to capture; nullopt, with the
// message to show in *refusal, for anything but an http: or https: address.
std::optional<QUrl> captureAddress(const QString &text, QString *refusal);

// What the capture dialog starts with from the clipboard's text: the address it
// holds when it is one http: or https: address, else nothing.
QString addressFromClipboard(const QString &clipboardText);

// The name a captured page's item gets when the user gave none: its title, else
// the address's host and path.
QString itemNameFor(const QString &title, const QUrl &url);

// What a capture tells after it left out what the page named on this computer
// (Outcome::localReferencesLeftOut); empty when it left out nothing.
QString leftOutNotice(int localReferencesLeftOut);

} // namespace kobin::capture
