#include "WorkingFolder.h"

#include "AtomicFile.h"
#include "FolderFiles.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>
#include <system_error>

namespace kobin {

QString workingFolderPath(const QString &appPath)
{
    return appPath + QStringLiteral("temp/");
}

namespace {
// Whether the folder can be listed; QDir lists a folder it cannot open as an empty one.
bool isListable(const QString &folder)
{
    std::error_code error;
    const std::filesystem::directory_iterator listing(fileSystemPath(folder), error);
    return !error;
}
} // namespace

WorkingFolder::WorkingFolder(const QString &path)
    : m_path(path), m_deletions(path)
{
}

QString WorkingFolder::writableFile(const QString &name) const
{
    // A write into a folder that has gone would fail, and with it every note typed from then on.
    QDir().mkpath(m_path);
    return m_path + name;
}

QString WorkingFolder::readableFile(const QString &name) const
{
    if (m_bookFolder.isEmpty() || m_deletions.contains(name) || QFileInfo::exists(m_path + name))
        return m_path + name;
    m_bookFolderStamps.firstLook(m_bookFolder + name);
    return m_bookFolder + name;
}

int WorkingFolder::setAside(const QStringList &names)
{
    QStringList readable;
    for (const QString &name : names)
        readable << readableFile(name);
    return m_deletions.setAside(names, readable);
}

std::optional<QStringList> WorkingFolder::changedContentFiles() const
{
    if (!isListable(m_path))
        return std::nullopt;
    return ContentNames::filesIn(m_path);
}

std::optional<QStringList> WorkingFolder::readableContentFiles() const
{
    if (!isListable(m_path))
        return std::nullopt;
    QStringList names;
    for (const QString &name : fileNamesIn(m_path)) {
        if (ContentNames::isContentFile(name))
            names.append(name);
    }
    if (!m_bookFolder.isEmpty()) {
        // Only the few names written here are looked up for each of the book folder's many.
        const QSet<QString> writtenHere(names.begin(), names.end());
        for (const QString &name : fileNamesIn(m_bookFolder)) {
            if (ContentNames::isContentFile(name) && !m_deletions.contains(name) && !writtenHere.contains(name))
                names.append(name);
        }
    }
    ContentNames::sortForSaving(names);
    return names;
}

QStringList WorkingFolder::itemFiles(const QString &key) const
{
    return itemFiles(QSet<QString>{key});
}

QStringList WorkingFolder::itemFiles(const QSet<QString> &keys) const
{
    // Asked before the item's files are deleted or replaced, which writes here: a
    // folder that has gone is made again, not taken for one that cannot be read.
    QDir().mkpath(m_path);
    QStringList names;
    for (const QString &name : readableContentFiles().value_or(QStringList())) {
        const QString key = ContentNames::keyOf(name);
        if (!key.isEmpty() && keys.contains(key))
            names.append(name);
    }
    return names;
}

bool WorkingFolder::clear()
{
    const bool asideGone = m_deletions.clear();
    m_bookFolder.clear();
    // A new book starts here too: the folder is there for its first note.
    return deleteAllFiles(m_path) && QDir().mkpath(m_path) && asideGone;
}

bool WorkingFolder::startFrom(const QString &bookFolder)
{
    if (!QDir().mkpath(m_path))
        return false;
    // What another book set aside or wrote here is no concern of this one.
    const bool emptied = clear();
    m_bookFolder = bookFolder;
    const bool readable =
        bookFolder.isEmpty() || !QFileInfo::exists(QDir::cleanPath(bookFolder)) || isListable(bookFolder);
    return emptied && readable;
}

void WorkingFolder::resume(const QString &bookFolder, const std::function<bool(const QString &key)> &isItem)
{
    m_bookFolder = bookFolder;
    m_deletions.resume(isItem);
}

bool WorkingFolder::moveToBookFolder(const QString &name)
{
    if (m_bookFolder.isEmpty() || !moveWrittenFileOver(m_path + name, m_bookFolder + name))
        return false;
    // Written again after it was deleted: it is the book folder's file now, and a deleted one no longer.
    m_deletions.writtenAgain(name);
    return true;
}

bool WorkingFolder::savedInto(const QString &bookFolder)
{
    m_deletions.saved();
    m_bookFolder = bookFolder;
    return deleteAllFiles(m_path);
}

namespace {
QString realFolder(const QString &folder)
{
    const QString real = QDir(folder).canonicalPath();
    return real.isEmpty() ? QDir::cleanPath(QDir(folder).absolutePath()) : real;
}
} // namespace

bool WorkingFolder::contains(const QString &path) const
{
    const QString folder = realFolder(m_path);
    const QString parent = realFolder(QFileInfo(path).absolutePath());
    return parent == folder || parent.startsWith(folder + u'/');
}

} // namespace kobin
