#include "BookVersions.h"

#include "AtomicFile.h"
#include "BookFile.h"
#include "ContentNames.h"
#include "FolderFiles.h"
#include "ItemTree.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <algorithm>

namespace kobin {

namespace {

const QString kTreeFile = QStringLiteral("tree.iis");
const QString kManifest = QStringLiteral("version.txt");
const QString kStamp = QStringLiteral("yyyyMMdd-HHmmss-zzz");

struct Manifest {
    QDateTime savedAt;
    QStringList kept;
    QStringList added;
};

std::optional<Manifest> readManifest(const QString &folder)
{
    QFile file(folder + kManifest);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    Manifest manifest;
    for (const QString &line : QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
        const QString value = line.section(u' ', 1);
        if (line.startsWith(QLatin1String("saved ")))
            manifest.savedAt = QDateTime::fromString(value, Qt::ISODateWithMs);
        else if (line.startsWith(QLatin1String("kept ")))
            manifest.kept << value;
        else if (line.startsWith(QLatin1String("added ")))
            manifest.added << value;
    }
    if (!manifest.savedAt.isValid())
        return std::nullopt;
    return manifest;
}

int countNotes(const QStringList &names)
{
    return static_cast<int>(std::count_if(names.begin(), names.end(),
                                          [](const QString &name) { return name.endsWith(QLatin1String(".rtf")); }));
}

} // namespace

BookVersions::BookVersions(const QString &versionsRoot, const QString &bookPath, const QString &bookFolder,
                           Clock now)
    : m_bookPath(fileBehind(bookPath)), m_bookFolder(bookFolder), m_now(std::move(now))
{
    // Named after the book and told apart from books of the same name by the path of
    // the file saves write (a book opened through a symbolic link keeps the file's).
    const QByteArray where = QCryptographicHash::hash(QFileInfo(m_bookPath).absoluteFilePath().toUtf8(),
                                                      QCryptographicHash::Sha1).toHex().left(12);
    m_folder = versionsRoot + u'/' + bookNameFromPath(bookPath) + u'-' + QString::fromLatin1(where) + u'/';
}

QList<BookVersion> BookVersions::list() const
{
    QList<BookVersion> versions;
    const QDir folder(m_folder);
    for (const QString &name : folder.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed)) {
        const QString path = m_folder + name + u'/';
        if (const std::optional<Manifest> manifest = readManifest(path))
            versions.append({path, manifest->savedAt, countNotes(manifest->kept + manifest->added)});
    }
    return versions;
}

bool BookVersions::begin()
{
    m_kept.clear();
    m_keptNames.clear();
    m_added.clear();
    m_bookFileKept = false;
    // Named by the time, so that names sort as the saves ran; two saves within a
    // millisecond are told apart by a counter.
    const QString stamp = m_now().toString(kStamp);
    m_current = m_folder + stamp + u'/';
    for (int n = 1; QFileInfo::exists(m_current); ++n)
        m_current = m_folder + stamp + QStringLiteral("-%1/").arg(n, 4, 10, QLatin1Char('0'));
    if (!QDir().mkpath(m_current))
        return false;
    return !QFileInfo::exists(m_bookPath) || linkOrCopyFile(m_bookPath, m_current + kTreeFile);
}

bool BookVersions::keep(const QString &name)
{
    if (m_current.isEmpty() || m_keptNames.contains(name))
        return true;
    if (!linkOrCopyFile(m_bookFolder + name, m_current + name))
        return false;
    m_kept << name;
    m_keptNames.insert(name);
    return true;
}

void BookVersions::added(const QString &name)
{
    m_added << name;
}

bool BookVersions::finish()
{
    const QString current = std::exchange(m_current, QString());
    if (current.isEmpty())
        return true;
    // A first save, or one that changed nothing, leaves no earlier version.
    if ((m_kept.isEmpty() && m_added.isEmpty() && !m_bookFileKept) || !QFileInfo::exists(current + kTreeFile)) {
        QDir(current).removeRecursively();
        return true;
    }
    QString manifest = QStringLiteral("saved ") + m_now().toString(Qt::ISODateWithMs) + u'\n';
    for (const QString &name : std::as_const(m_kept))
        manifest += QStringLiteral("kept ") + name + u'\n';
    for (const QString &name : std::as_const(m_added))
        manifest += QStringLiteral("added ") + name + u'\n';
    const bool recorded = saveFileAtomically(current + kManifest, manifest.toUtf8());
    const QStringList versions =
        QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (qsizetype i = kKept; i < versions.size(); ++i)
        QDir(m_folder + versions[i]).removeRecursively();
    return recorded;
}

std::optional<QString> BookVersions::restore(const BookVersion &version, const QString &targetFolder) const
{
    // From the book as it is now, each newer version back to this one puts back
    // what its save replaced and takes away what its save added.
    QHash<QString, QString> sources;
    for (const QString &name : ContentNames::filesIn(m_bookFolder))
        sources.insert(name, m_bookFolder + name);
    QString treeFile = m_bookPath;
    for (const BookVersion &newer : list()) {
        const std::optional<Manifest> manifest = readManifest(newer.folder);
        if (!manifest)
            return std::nullopt;
        for (const QString &name : manifest->added)
            sources.remove(name);
        for (const QString &name : manifest->kept)
            sources.insert(name, newer.folder + name);
        treeFile = newer.folder + kTreeFile;
        if (newer.folder == version.folder)
            break;
    }
    ItemTree readable;
    if (loadBookFile(treeFile, readable).outcome != BookReading::Outcome::Read || !QDir().mkpath(targetFolder))
        return std::nullopt;
    for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
        if (!copyFileOver(source.value(), targetFolder + source.key()))
            return std::nullopt;
    }
    return treeFile;
}

} // namespace kobin
