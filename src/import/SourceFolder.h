#pragma once

#include <QByteArray>
#include <QString>
#include <optional>

namespace kobin::import {

// The collection being imported, read and never written: every file taken from
// it lies inside its folder, also after following symbolic links, so that a
// name such as "../../.ssh/id_rsa" or a link out of the folder reads nothing.
class SourceFolder
{
public:
    explicit SourceFolder(const QString &root);

    // The folder, ending in "/"; empty when it is no readable folder.
    const QString &root() const { return m_root; }

    // The existing file or folder a relative name (as a page or a collection's
    // index names it: "/" or "\" between parts, percent-escapes allowed) gives
    // inside the folder; nullopt for an absolute name, a ".." part, or one that
    // leads out of the folder.
    std::optional<QString> resolve(const QString &relative) const;
    // Whether path (existing) lies inside the folder, links followed.
    bool contains(const QString &path) const;
    // The bytes of a regular file inside the folder of at most maxBytes.
    std::optional<QByteArray> read(const QString &path, qint64 maxBytes) const;

private:
    QString m_root;
    QString m_realRoot; // links followed, ending in "/"
};

// A name inside a collection, as a page or index gives it, made relative: a
// query or fragment cut off and percent-escapes decoded. Empty for a name that
// is absolute, names another scheme or climbs out with "..".
QString relativeName(const QString &address);
// The same for a path given as it is (an archive entry's name): "\\" taken for
// "/", empty and "." parts dropped; empty when absolute or climbing out.
QString safeRelativePath(const QString &path);

} // namespace kobin::import
