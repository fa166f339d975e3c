#pragma once

#include "ImportReport.h"
#include "ImportSources.h"
#include "ImportWriter.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace kobin::import {

// What an import into a staging folder came to.
struct ImportRun {
    ImportReport report;
    QString failure; // why it failed; empty when done or cancelled
    bool cancelled = false;
    QStringList pageFolders; // under the staging folder's "pages/"
    bool succeeded() const { return failure.isEmpty() && !cancelled; }
};

// Reads the collection into the target's tree and staging folder, and once it
// is whole puts the staging folder on the disk: what both the command line and
// the window's import run.
ImportRun runImport(const ImportSource &source, const ImportWriter::Target &target,
                    const ImportWriter::Progress &progress);

// The note of the item a collection is imported under: where it came from, and when.
QByteArray originNote(const QString &sourcePath);

// A staging folder in the program folder, hidden, removed with what it holds
// unless it is kept; those a crash left a day ago or more go when the next is made.
class ImportStaging
{
public:
    explicit ImportStaging(const QString &appPath);
    ~ImportStaging();
    ImportStaging(const ImportStaging &) = delete;
    ImportStaging &operator=(const ImportStaging &) = delete;

    const QString &path() const { return m_path; } // ends in "/"; empty when it could not be made
    void keep() { m_path.clear(); }

private:
    QString m_path;
};

// kobin-cli import SOURCE NEW.iis: the collection as a new book. Its items go
// under the book item; the book folder is written whole (staged, then renamed
// into place) and the book file last. An existing book file or book folder is
// refused; on failure nothing is left.
struct NewBook {
    bool written = false;
    QString message; // why not
    ImportReport report;
};
// The password of a protected source, asked for when needed; nullopt when none is given.
using PasswordAsker = std::function<std::optional<QString>(const QString &sourceName)>;
NewBook importNewBook(const QString &sourcePath, const QString &bookPath, const QString &appPath,
                      const ImportWriter::Progress &progress = {}, const PasswordAsker &askPassword = {});

} // namespace kobin::import
