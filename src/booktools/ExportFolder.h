#pragma once

#include <QSet>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace kobin {

// A folder written whole or not at all: everything goes into a hidden staging
// folder beside the target, which takes the target's place in one rename once it
// is complete and on the disk. Whatever is cut short (a failure, a cancel, a
// crash) leaves only the hidden folder, never a target that looks finished; the
// next export into the same place removes what a killed one left. The folder
// gets the permissions the user's umask gives a new folder.
class ExportFolder
{
public:
    // The target's parent folder must exist. A staging folder that cannot be made
    // leaves isValid() false.
    explicit ExportFolder(const QString &target);
    ~ExportFolder();

    bool isValid() const { return m_stage && m_stage->isValid(); }
    // Where a file of the relative path name is written.
    QString path(const QString &name) const;

    [[nodiscard]] bool write(const QString &name, const QByteArray &bytes);
    [[nodiscard]] bool copy(const QString &source, const QString &name);

    // Puts the staging folder in the target's place: a target that exists (an empty
    // folder, or one the user agreed to replace) is moved aside and removed after.
    // False when it cannot be done; the target is then as it was.
    [[nodiscard]] bool commit();

    // Whether folder is missing or holds nothing: exporting there replaces nothing.
    static bool isMissingOrEmpty(const QString &folder);

private:
    bool makeFolder(const QString &folder);
    QString site() const;

    QString m_target;
    QSet<QString> m_made; // folders of the site made so far: most files go into a few
    std::unique_ptr<QTemporaryDir> m_stage; // holds the site: QTemporaryDir makes folders for the user alone
};

} // namespace kobin
