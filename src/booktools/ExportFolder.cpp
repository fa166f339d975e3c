#include "ExportFolder.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace kobin {

namespace {

const char kStaging[] = ".kobin-export-";
const char kAside[] = ".kobin-old-";

// A hidden unique folder name beside target, as QTemporaryDir fills it in.
QString hiddenBeside(const QString &target, const char *purpose)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1String(purpose)
        + QStringLiteral("XXXXXX");
}

// Removes the hidden folders an export into target left when it was killed.
void removeLeftOvers(const QString &target)
{
    const QFileInfo info(target);
    const QRegularExpression leftOver(QStringLiteral("^\\.") + QRegularExpression::escape(info.fileName()) + u'('
                                      + QRegularExpression::escape(QLatin1String(kStaging)) + u'|'
                                      + QRegularExpression::escape(QLatin1String(kAside)) + QStringLiteral(")\\w{6}$"));
    const QFileInfoList entries = info.dir().entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        if (!entry.isSymLink() && leftOver.match(entry.fileName()).hasMatch())
            QDir(entry.filePath()).removeRecursively();
    }
}

// Puts every file written so far on the disk at once, rather than one by one.
bool syncFileSystemOf(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    const bool synced = ::syncfs(descriptor) == 0;
    ::close(descriptor);
    return synced;
}

} // namespace

ExportFolder::ExportFolder(const QString &target) : m_target(QDir::cleanPath(QFileInfo(target).absoluteFilePath()))
{
    removeLeftOvers(m_target);
    m_stage = std::make_unique<QTemporaryDir>(hiddenBeside(m_target, kStaging));
    // The site is a folder made as any other (the umask's permissions), inside the staging folder.
    if (m_stage->isValid() && !QDir().mkdir(site()))
        m_stage.reset();
}

ExportFolder::~ExportFolder() = default;

QString ExportFolder::site() const
{
    return m_stage->path() + QStringLiteral("/site");
}

QString ExportFolder::path(const QString &name) const
{
    return site() + u'/' + name;
}

bool ExportFolder::makeFolder(const QString &folder)
{
    if (m_made.contains(folder))
        return true;
    if (!QDir().mkpath(folder))
        return false;
    m_made.insert(folder);
    return true;
}

bool ExportFolder::write(const QString &name, const QByteArray &bytes)
{
    const QString file = path(name);
    if (!makeFolder(QFileInfo(file).absolutePath()))
        return false;
    QFile out(file);
    return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.flush();
}

bool ExportFolder::copy(const QString &source, const QString &name)
{
    const QString file = path(name);
    if (!makeFolder(QFileInfo(file).absolutePath()))
        return false;
    // The whole site goes on the disk at once when it is complete, not file by file.
    std::error_code error;
    return std::filesystem::copy_file(fileSystemPath(source), fileSystemPath(file), error) && !error;
}

bool ExportFolder::commit()
{
    if (!isValid() || !syncFileSystemOf(site()))
        return false;
    QString aside;
    if (QFileInfo::exists(m_target)) {
        if (!QFileInfo(m_target).isDir())
            return false; // a file is never replaced by a folder
        QTemporaryDir asideName(hiddenBeside(m_target, kAside));
        if (!asideName.isValid())
            return false;
        aside = asideName.path();
        asideName.remove(); // only its unique name is wanted
        if (!QDir().rename(m_target, aside))
            return false;
    }
    if (!QDir().rename(site(), m_target)) {
        if (!aside.isEmpty())
            QDir().rename(aside, m_target);
        return false;
    }
    if (!aside.isEmpty())
        QDir(aside).removeRecursively();
    return true;
}

bool ExportFolder::isMissingOrEmpty(const QString &folder)
{
    const QFileInfo info(folder);
    return !info.exists() || (info.isDir() && QDir(folder).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot));
}

} // namespace kobin
