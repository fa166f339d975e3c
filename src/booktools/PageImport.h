#pragma once

#include <QString>
#include <optional>

namespace kobin {

// A saved page from outside the book, taken into it: the page file and the files
// of its files folder ("index_files") that PageBundle lets go with it, copied into
// folder (ending in "/"; a capture's staging folder) as they lay beside each other.
// The copy's path; nullopt when page is no page or a file could not be copied,
// with that file in *failed.
[[nodiscard]] std::optional<QString> importPage(const QString &page, const QString &folder, QString *failed);

} // namespace kobin
