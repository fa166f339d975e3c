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
} // namespace

WorkingFolder::WorkingFolder(const QString &path)
    : m_path(path), m_asidePath(QDir::cleanPath(path + QStringLiteral("../.temp-aside")) + u'/')
{
}

QString WorkingFolder::asideFolder(int batch) const
{
    return m_asidePath + QString::number(batch) + u'/';
}

int WorkingFolder::setAside(const QStringList &names)
{
    const int batch = ++m_lastBatch;
    const QString folder = asideFolder(batch);
    QDir().mkpath(folder);
    for (const QString &name : names) {
        // A file that cannot be moved aside is deleted, as deleting an item always did.
        if (!moveFileOver(m_path + name, folder + name))
            QFile::remove(m_path + name);
    }
    m_asideNames.insert(batch, names);
    m_deleted.unite(QSet<QString>(names.begin(), names.end()));
    return batch;
}

bool WorkingFolder::bringBack(int batch)
{
    for (const QString &name : m_asideNames.take(batch))
        m_deleted.remove(name);
    QDir folder(asideFolder(batch));
    bool returned = true;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        returned = moveFileOver(folder.filePath(name), m_path + name) && returned;
    folder.removeRecursively();
    return returned;
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
    const std::optional<QByteArray> bytes = readRegularFile(urlFile(key), 64 * 1024);
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
    return readNumberFile(stackedSplitFile(m_path, contentId));
}

std::optional<float> WorkingFolder::sideSplit(const QString &contentId) const
{
    return readNumberFile(sideSplitFile(m_path, contentId));
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

QStringList WorkingFolder::contentFiles(const QString &folder)
{
    QStringList notes;
    QStringList others;
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
    for (const QString &name : names) {
        if (name.endsWith(QLatin1String(".rtf")))
            notes.append(name);
        else if (name.endsWith(QLatin1String(".txt")))
            others.append(name);
    }
    return notes + others;
}

std::optional<QStringList> WorkingFolder::readableContentFiles() const
{
    // QDir lists a folder it cannot open as an empty one; opening it first tells the two apart.
    std::error_code error;
    const std::filesystem::directory_iterator listing(fileSystemPath(m_path), error);
    if (error)
        return std::nullopt;
    return contentFiles(m_path);
}

QStringList WorkingFolder::itemFiles(const QString &key) const
{
    return itemFiles(QSet<QString>{key});
}

QStringList WorkingFolder::itemFiles(const QSet<QString> &keys) const
{
    QStringList names;
    for (const QString &name : contentFiles(m_path)) {
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
        if (!QFileInfo::exists(m_path + name))
            names.append(name);
    }
    names.sort();
    return names;
}

void WorkingFolder::forgetDeletions()
{
    m_deleted.clear();
}

void WorkingFolder::forgetAsideFiles()
{
    m_asideNames.clear();
    m_deleted.clear();
}

bool WorkingFolder::clear()
{
    forgetAsideFiles();
    const bool asideGone = QDir(m_asidePath).removeRecursively();
    return deleteAllFiles(m_path) && asideGone;
}

bool WorkingFolder::loadFrom(const QString &bookFolder)
{
    if (!QDir().mkpath(m_path))
        return false;
    forgetAsideFiles();
    QDir(m_asidePath).removeRecursively(); // what another book set aside is no concern of this one
    const QStringList names = bookFolder.isEmpty() ? QStringList() : contentFiles(bookFolder);
    bool loaded = true;
    for (const QString &name : names) {
        if (!copyFileOver(bookFolder + name, m_path + name)) {
            QFile::remove(m_path + name);
            loaded = false;
        }
    }
    const QSet<QString> kept(names.begin(), names.end());
    QDir working(m_path);
    for (const QString &name : working.entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!kept.contains(name))
            loaded = working.remove(name) && loaded;
    }
    return loaded;
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
