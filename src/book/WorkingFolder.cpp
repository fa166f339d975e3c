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

QString workingFolderPath(const QString &appPath)
{
    return appPath + QStringLiteral("temp/");
}

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
    const auto others = std::partition(names.begin(), names.end(),
                                       [](const QString &name) { return name.endsWith(QLatin1String(".rtf")); });
    std::sort(names.begin(), others);
    std::sort(others, names.end());
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

QString WorkingFolder::writableFile(const QString &name) const
{
    // A write into a folder that has gone would fail, and with it every note typed from then on.
    QDir().mkpath(m_path);
    return m_path + name;
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
    // What a crash leaves agrees at every step: first the tree, then the record of
    // the deletion, and only then do the files go.
    if (m_beforeDeletionsChange)
        m_beforeDeletionsChange();
    const QSet<QString> deleted(names.begin(), names.end());
    QStringList sources;
    for (const QString &name : names)
        sources << readableFile(name);
    m_asideNames.insert(batch, names);
    m_deleted.unite(deleted);
    recordDeletions();
    const QString folder = asideFolder(batch);
    QDir().mkpath(folder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &readable = sources[i];
        const QString &name = names[i];
        if (readable != m_path + name) {
            // Only in the book folder: a save removes it there, and an undo after that
            // save still has it to bring back.
            std::ignore = linkOrCopyFile(readable, folder + name);
        } else if (!moveFileOver(readable, folder + name)) {
            QFile::remove(readable); // a file that cannot be moved aside is deleted, as deleting an item always did
        }
    }
    return batch;
}

bool WorkingFolder::bringBack(int batch)
{
    // The files are back before the record lets them count: a crash in between
    // finds them deleted still, and in their place.
    if (m_beforeDeletionsChange)
        m_beforeDeletionsChange();
    QDir folder(asideFolder(batch));
    bool returned = true;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        returned = moveFileOver(folder.filePath(name), m_path + name) && returned;
    for (const QString &name : m_asideNames.take(batch))
        m_deleted.remove(name);
    recordDeletions();
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
    std::ignore = saveFileAtomically(writableFile(kDeletionRecord), names.join(u'\n').toUtf8() + '\n');
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
    return storeSplits(writableFile(QString()), contentId, stacked, side, failedFile);
}

QStringList WorkingFolder::contentFiles(const QString &folder)
{
    QStringList names = fileNamesIn(folder);
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
    QStringList names;
    for (const QString &name : fileNamesIn(m_path)) {
        if (isContentFile(name))
            names.append(name);
    }
    if (!m_bookFolder.isEmpty()) {
        // Only the few names written here are looked up for each of the book folder's many.
        const QSet<QString> writtenHere(names.begin(), names.end());
        for (const QString &name : fileNamesIn(m_bookFolder)) {
            if (isContentFile(name) && !m_deleted.contains(name) && !writtenHere.contains(name))
                names.append(name);
        }
    }
    sortAsContentFiles(names);
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
        const QString key = keyOf(name);
        if (!key.isEmpty() && keys.contains(key))
            names.append(name);
    }
    return names;
}

QString WorkingFolder::keyOf(const QString &name)
{
    // A key is "a" and digits, and the tail of its file names never starts with a
    // digit: the key a file belongs to is the name's longest such beginning.
    qsizetype end = 1;
    while (end < name.size() && name[end].isDigit())
        ++end;
    if (name.startsWith(u'a') && end > 1 && name.size() >= end + 4)
        return name.left(end);
    return QString();
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
    forgetAsideFiles();
    m_bookFolder = bookFolder;
    QFile record(m_path + kDeletionRecord);
    if (record.open(QIODevice::ReadOnly)) {
        for (const QString &name : QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (isContentFile(name) && !name.contains(u'/'))
                m_deleted.insert(name);
        }
    }
    // An item that lost its own file lost all of it: a changed page or a file taken
    // over under another name never takes the item's note or url file away for good.
    QSet<QString> returning;
    for (const QString &name : std::as_const(m_deleted)) {
        const QString key = keyOf(name);
        if ((name == textFileName(key) || name == urlFileName(key)) && !isWrittenHere(name) && isItem(key))
            returning.insert(key);
    }
    const auto returns = [&returning](const QString &name) { return returning.contains(keyOf(name)); };
    for (auto it = m_deleted.begin(); it != m_deleted.end();)
        it = returns(*it) ? m_deleted.erase(it) : std::next(it);
    // The undo history that could bring back what was set aside ended with the crash.
    const QDir aside(m_asidePath);
    QStringList batches = aside.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    // The newest first: a file deleted twice comes back as it was last.
    std::sort(batches.begin(), batches.end(),
              [](const QString &one, const QString &other) { return one.toInt() > other.toInt(); });
    for (const QString &batch : std::as_const(batches)) {
        const QDir folder(aside.filePath(batch));
        for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
            if (returns(name) && !isWrittenHere(name))
                std::ignore = moveFileOver(folder.filePath(name), m_path + name);
        }
    }
    QDir(m_asidePath).removeRecursively();
    recordDeletions();
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
