#include "ExportFolder.h"

#include "AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <deque>
#include <filesystem>
#include <fcntl.h>
#include <unistd.h>

namespace kobin {

namespace {

QString hiddenBeside(const QString &target, const char *purpose)
{
    const QFileInfo info(target);
    return info.absolutePath() + QStringLiteral("/.") + info.fileName() + QLatin1String(purpose);
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

ExportFolder::ExportFolder(const QString &target)
    : m_target(QDir::cleanPath(QFileInfo(target).absoluteFilePath())),
      m_stage(std::make_unique<QTemporaryDir>(hiddenBeside(m_target, ".kobin-export-XXXXXX")))
{
}

ExportFolder::~ExportFolder() = default;

QString ExportFolder::path(const QString &name) const
{
    return m_stage->path() + u'/' + name;
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

bool ExportFolder::copyFolder(const QString &source, const QString &name, int maxFiles)
{
    std::deque<std::pair<QString, QString>> pending{{source, name}};
    int files = 0;
    while (!pending.empty()) {
        const auto [from, to] = pending.front();
        pending.pop_front();
        if (!makeFolder(path(to)))
            return false;
        const QFileInfoList entries =
            QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString target = to + u'/' + entry.fileName();
            if (entry.isDir()) {
                if (!entry.isSymLink())
                    pending.emplace_back(entry.filePath(), target);
            } else if (entry.isFile()) {
                if (++files > maxFiles)
                    return true; // a page's files folder this large is copied in part
                if (!copy(entry.filePath(), target))
                    return false;
            }
        }
    }
    return true;
}

bool ExportFolder::commit()
{
    if (!isValid() || !syncFileSystemOf(m_stage->path()))
        return false;
    const QString stage = m_stage->path();
    QString aside;
    if (QFileInfo::exists(m_target)) {
        if (!QFileInfo(m_target).isDir())
            return false; // a file is never replaced by a folder
        QTemporaryDir asideName(hiddenBeside(m_target, ".kobin-old-XXXXXX"));
        if (!asideName.isValid())
            return false;
        aside = asideName.path();
        asideName.remove(); // only its unique name is wanted
        if (!QDir().rename(m_target, aside))
            return false;
    }
    if (!QDir().rename(stage, m_target)) {
        if (!aside.isEmpty())
            QDir().rename(aside, m_target);
        return false;
    }
    m_stage->setAutoRemove(false); // it is the target now
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
