#include "IndexFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace kobin::search {

namespace {

// Another program's update is waited for this long at a time between asking whether to go on.
constexpr int kLockPollMs = 100;

constexpr QFileDevice::Permissions kUserOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
constexpr const char *kDatabaseSuffixes[] = {"", "-wal", "-shm", "-journal"};

} // namespace

void removeDatabaseFiles(const QString &path)
{
    for (const char *suffix : kDatabaseSuffixes)
        QFile::remove(path + QLatin1String(suffix));
}

bool keepToUser(const QString &path)
{
    const QString folder = QFileInfo(path).absolutePath();
    constexpr QFileDevice::Permissions kFolderModes = kUserOnly | QFileDevice::ExeOwner;
    if (!QFileInfo(folder).isDir() && QDir().mkpath(QFileInfo(folder).absolutePath()))
        QDir().mkdir(folder, kFolderModes);
    if (!QFile::setPermissions(folder, kFolderModes))
        return false;
    if (!QFile::exists(path)) {
        QFile database(path);
        if (!database.open(QIODevice::WriteOnly | QIODevice::NewOnly, kUserOnly) && !database.exists())
            return false;
    }
    for (const char *suffix : kDatabaseSuffixes) {
        const QString file = path + QLatin1String(suffix);
        if (QFile::exists(file) && !QFile::setPermissions(file, kUserOnly))
            return false;
    }
    return true;
}

bool lockIndex(QLockFile &lock, const QString &path, const std::function<bool()> &keepWaiting, QString &failure)
{
    if (!keepToUser(path)) {
        failure = QStringLiteral("検索用の索引のフォルダ「 ") + QDir::toNativeSeparators(QFileInfo(path).absolutePath())
                  + QStringLiteral(" 」を作れません。");
        return false;
    }
    lock.setStaleLockTime(0); // only a dead owner makes a lock stale
    while (!lock.tryLock(kLockPollMs)) {
        if (lock.error() != QLockFile::LockFailedError) {
            failure = QStringLiteral("検索用の索引の鍵「 ") + QDir::toNativeSeparators(lock.fileName())
                      + QStringLiteral(" 」を作れません。");
            return false;
        }
        if (!keepWaiting()) {
            failure.clear();
            return false;
        }
    }
    return true;
}

} // namespace kobin::search
