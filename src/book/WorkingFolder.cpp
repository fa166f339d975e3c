#include "WorkingFolder.h"

#include "AtomicFile.h"
#include "BoundedFile.h"
#include "Cp932.h"
#include "FolderFiles.h"
#include "NumberFile.h"
#include "PageNames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <filesystem>
#include <system_error>

namespace kobin {

namespace {
QString stackedSplitFile(const QString &folder, const QString &contentId)
{
    return folder + contentId + QStringLiteral(".txt");
}

QString sideSplitFile(const QString &folder, const QString &contentId)
{
    return folder + contentId + QStringLiteral("side.txt");
}

// The names of the files deleted since the book was opened, one a line: what a
// program that ended unexpectedly leaves for the next start to go on with. Not a
// content file, so nothing of a book is ever taken for it.
const QString kDeletionRecord = QStringLiteral("deleted-files.lst");

bool isContentFile(const QString &name)
{
    return name.endsWith(QLatin1String(".rtf")) || name.endsWith(QLatin1String(".txt"));
}

// Notes first, then the other files, each by name: the order in which a save
// writes them, so that a save cut short has written the notes.
void sortAsContentFiles(QStringList &names)
{
    std::sort(names.begin(), names.end(), [](const QString &one, const QString &other) {
        const bool oneIsNote = one.endsWith(QLatin1String(".rtf"));
        if (oneIsNote != other.endsWith(QLatin1String(".rtf")))
            return oneIsNote;
        return one < other;
    });
}

QStringList fileNames(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted);
}

// Whether the folder can be listed; QDir lists a folder it cannot open as an empty one.
bool isListable(const QString &folder)
{
    std::error_code error;
    const std::filesystem::directory_iterator listing(fileSystemPath(folder), error);
    return !error;
}

} // namespace

WorkingFolder::WorkingFolder(const QString &path)
    : m_path(path), m_asidePath(QDir::cleanPath(path + QStringLiteral("../.temp-aside")) + u'/')
{
}

QString WorkingFolder::asideFolder(int batch) const
{
    return m_asidePath + QString::number(batch) + u'/';
}

bool WorkingFolder::isWrittenHere(const QString &name) const
{
    return QFileInfo::exists(m_path + name);
}

QString WorkingFolder::readableFile(const QString &name) const
{
    if (m_bookFolder.isEmpty() || m_deleted.contains(name) || isWrittenHere(name))
        return m_path + name;
    m_bookFolderStamps.firstLook(m_bookFolder + name);
    return m_bookFolder + name;
}

int WorkingFolder::setAside(const QStringList &names)
{
    const int batch = ++m_lastBatch;
    const QString folder = asideFolder(batch);
    QDir().mkpath(folder);
    for (const QString &name : names) {
        const QString readable = readableFile(name);
        if (readable != m_path + name) {
            // Only in the book folder: a save removes it there, and an undo after that
            // save still has it to bring back.
            std::ignore = linkOrCopyFile(readable, folder + name);
        } else if (!moveFileOver(readable, folder + name)) {
            QFile::remove(readable); // a file that cannot be moved aside is deleted, as deleting an item always did
        }
    }
    m_asideNames.insert(batch, names);
    m_deleted.unite(QSet<QString>(names.begin(), names.end()));
    recordDeletions();
    return batch;
}

bool WorkingFolder::bringBack(int batch)
{
    for (const QString &name : m_asideNames.take(batch))
        m_deleted.remove(name);
    recordDeletions();
    QDir folder(asideFolder(batch));
    bool returned = true;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        returned = moveFileOver(folder.filePath(name), m_path + name) && returned;
    folder.removeRecursively();
    return returned;
}

void WorkingFolder::recordDeletions() const
{
    // A record that cannot be written costs only what a crash would: deleted files
    // coming back after it.
    if (m_deleted.isEmpty()) {
        QFile::remove(m_path + kDeletionRecord);
        return;
    }
    QStringList names(m_deleted.begin(), m_deleted.end());
    names.sort();
    std::ignore = saveFileAtomically(m_path + kDeletionRecord, names.join(u'\n').toUtf8() + '\n');
}

QString WorkingFolder::textFileName(const QString &contentId)
{
    return contentId + QStringLiteral(".rtf");
}

QString WorkingFolder::urlFileName(const QString &key)
{
    return key + QStringLiteral("url.txt");
}

std::optional<QString> WorkingFolder::pagePath(const QString &key) const
{
    // A path and a line break: anything much longer is no url file.
    const std::optional<QByteArray> bytes = readRegularFile(readableFile(urlFileName(key)), 64 * 1024);
    if (!bytes)
        return std::nullopt;
    return pagePathFromUrlFile(decodeSystemText(*bytes));
}

bool WorkingFolder::storePagePath(const QString &key, const QString &page) const
{
    return saveFileAtomically(urlFile(key), encodeSystemText(page + QStringLiteral("\r\n")));
}

std::optional<float> WorkingFolder::stackedSplit(const QString &contentId) const
{
    return readNumberFile(readableFile(stackedSplitFile(QString(), contentId)));
}

std::optional<float> WorkingFolder::sideSplit(const QString &contentId) const
{
    return readNumberFile(readableFile(sideSplitFile(QString(), contentId)));
}

bool WorkingFolder::storeSplits(const QString &folder, const QString &contentId, float stacked, float side,
                                QString *failedFile)
{
    for (const auto &[file, value] : {std::pair{stackedSplitFile(folder, contentId), stacked},
                                      std::pair{sideSplitFile(folder, contentId), side}}) {
        if (!writeNumberFile(file, value)) {
            if (failedFile)
                *failedFile = file;
            return false;
        }
    }
    return true;
}

bool WorkingFolder::storeSplits(const QString &contentId, float stacked, float side, QString *failedFile) const
{
    // Showing a page is no change to it: positions as they were are not written again.
    if (stackedSplit(contentId) == stacked && sideSplit(contentId) == side)
        return true;
    return storeSplits(m_path, contentId, stacked, side, failedFile);
}

QStringList WorkingFolder::contentFiles(const QString &folder)
{
    QStringList names = fileNames(folder);
    names.erase(std::remove_if(names.begin(), names.end(), [](const QString &name) { return !isContentFile(name); }),
                names.end());
    sortAsContentFiles(names);
    return names;
}

std::optional<QStringList> WorkingFolder::changedContentFiles() const
{
    if (!isListable(m_path))
        return std::nullopt;
    return contentFiles(m_path);
}

std::optional<QStringList> WorkingFolder::readableContentFiles() const
{
    if (!isListable(m_path))
        return std::nullopt;
    QSet<QString> names;
    for (const QString &name : fileNames(m_path)) {
        if (isContentFile(name))
            names.insert(name);
    }
    if (!m_bookFolder.isEmpty()) {
        for (const QString &name : fileNames(m_bookFolder)) {
            if (isContentFile(name) && !m_deleted.contains(name))
                names.insert(name);
        }
    }
    QStringList ordered(names.begin(), names.end());
    sortAsContentFiles(ordered);
    return ordered;
}

QStringList WorkingFolder::itemFiles(const QString &key) const
{
    return itemFiles(QSet<QString>{key});
}

QStringList WorkingFolder::itemFiles(const QSet<QString> &keys) const
{
    QStringList names;
    for (const QString &name : readableContentFiles().value_or(QStringList())) {
        // A key is "a" and digits, and the tail of its file names never starts with a
        // digit: the key a file belongs to is the name's longest such beginning.
        qsizetype end = 1;
        while (end < name.size() && name[end].isDigit())
            ++end;
        if (name.startsWith(u'a') && end > 1 && name.size() >= end + 4 && keys.contains(name.left(end)))
            names.append(name);
    }
    return names;
}

QStringList WorkingFolder::deletedFiles() const
{
    QStringList names;
    for (const QString &name : m_deleted) {
        if (!isWrittenHere(name))
            names.append(name);
    }
    names.sort();
    return names;
}

void WorkingFolder::forgetAsideFiles()
{
    m_asideNames.clear();
    m_deleted.clear();
}

bool WorkingFolder::clear()
{
    forgetAsideFiles();
    m_bookFolder.clear();
    const bool asideGone = QDir(m_asidePath).removeRecursively();
    return deleteAllFiles(m_path) && asideGone;
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

void WorkingFolder::resume(const QString &bookFolder)
{
    forgetAsideFiles();
    m_bookFolder = bookFolder;
    QFile record(m_path + kDeletionRecord);
    if (record.open(QIODevice::ReadOnly)) {
        for (const QString &name : QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (isContentFile(name) && !name.contains(u'/'))
                m_deleted.insert(name);
        }
    }
}

bool WorkingFolder::moveToBookFolder(const QString &name)
{
    if (m_bookFolder.isEmpty() || !moveWrittenFileOver(m_path + name, m_bookFolder + name))
        return false;
    // Written again after it was deleted: it is the book folder's file now, and a deleted one no longer.
    if (m_deleted.remove(name))
        recordDeletions();
    return true;
}

bool WorkingFolder::savedInto(const QString &bookFolder)
{
    // What was set aside stays: an undo after the save still brings it back.
    m_deleted.clear();
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
