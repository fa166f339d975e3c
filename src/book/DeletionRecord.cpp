#include "DeletionRecord.h"

#include "AtomicFile.h"
#include "ContentNames.h"
#include "FolderFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace kobin {

namespace {
// The names of the files deleted since the book was opened, one a line. Not a
// content file, so nothing of a book is ever taken for it.
const QString kRecordName = QStringLiteral("deleted-files.lst");
} // namespace

DeletionRecord::DeletionRecord(const QString &workingPath)
    : m_workingPath(workingPath), m_asidePath(QDir::cleanPath(workingPath + QStringLiteral("../.temp-aside")) + u'/')
{
}

QString DeletionRecord::asideFolder(int batch) const
{
    return m_asidePath + QString::number(batch) + u'/';
}

bool DeletionRecord::isWrittenHere(const QString &name) const
{
    return QFileInfo::exists(m_workingPath + name);
}

QStringList DeletionRecord::files() const
{
    QStringList names;
    for (const QString &name : m_deleted) {
        if (!isWrittenHere(name))
            names.append(name);
    }
    names.sort();
    return names;
}

int DeletionRecord::setAside(const QStringList &names, const QStringList &readableFiles)
{
    const int batch = ++m_lastBatch;
    // What a crash leaves agrees at every step: first the tree, then the record of
    // the deletion, and only then do the files go.
    if (m_beforeChange)
        m_beforeChange();
    const QSet<QString> deleted(names.begin(), names.end());
    m_asideNames.insert(batch, names);
    m_deleted.unite(deleted);
    write();
    const QString folder = asideFolder(batch);
    QDir().mkpath(folder);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString &readable = readableFiles[i];
        const QString &name = names[i];
        if (readable != m_workingPath + name) {
            // Only in the book folder: a save removes it there, and an undo after that
            // save still has it to bring back.
            std::ignore = linkOrCopyFile(readable, folder + name);
        } else if (!moveFileOver(readable, folder + name)) {
            QFile::remove(readable); // a file that cannot be moved aside is deleted, as deleting an item always did
        }
    }
    return batch;
}

bool DeletionRecord::bringBack(int batch)
{
    // The files are back before the record lets them count: a crash in between
    // finds them deleted still, and in their place.
    if (m_beforeChange)
        m_beforeChange();
    QDir folder(asideFolder(batch));
    bool returned = true;
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        returned = moveFileOver(folder.filePath(name), m_workingPath + name) && returned;
    for (const QString &name : m_asideNames.take(batch))
        m_deleted.remove(name);
    write();
    folder.removeRecursively();
    return returned;
}

void DeletionRecord::write() const
{
    // A record that cannot be written costs only what a crash would: deleted files
    // coming back after it.
    if (m_deleted.isEmpty()) {
        QFile::remove(m_workingPath + kRecordName);
        return;
    }
    QStringList names(m_deleted.begin(), m_deleted.end());
    names.sort();
    // A write into a folder that has gone would fail.
    QDir().mkpath(m_workingPath);
    std::ignore = saveFileAtomically(m_workingPath + kRecordName, names.join(u'\n').toUtf8() + '\n');
}

void DeletionRecord::writtenAgain(const QString &name)
{
    if (m_deleted.remove(name))
        write();
}

void DeletionRecord::forget()
{
    m_asideNames.clear();
    m_deleted.clear();
}

bool DeletionRecord::clear()
{
    forget();
    return QDir(m_asidePath).removeRecursively();
}

void DeletionRecord::resume(const std::function<bool(const QString &key)> &isItem)
{
    forget();
    QFile record(m_workingPath + kRecordName);
    if (record.open(QIODevice::ReadOnly)) {
        for (const QString &name : QString::fromUtf8(record.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (ContentNames::isContentFile(name) && !name.contains(u'/'))
                m_deleted.insert(name);
        }
    }
    // An item that lost its own file lost all of it: a changed page or a file taken
    // over under another name never takes the item's note or url file away for good.
    QSet<QString> returning;
    for (const QString &name : std::as_const(m_deleted)) {
        const QString key = ContentNames::keyOf(name);
        if ((name == ContentNames::textFileName(key) || name == ContentNames::urlFileName(key))
            && !isWrittenHere(name) && isItem(key))
            returning.insert(key);
    }
    const auto returns = [&returning](const QString &name) { return returning.contains(ContentNames::keyOf(name)); };
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
                std::ignore = moveFileOver(folder.filePath(name), m_workingPath + name);
        }
    }
    QDir(m_asidePath).removeRecursively();
    write();
}

} // namespace kobin
