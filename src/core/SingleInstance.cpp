#include "SingleInstance.h"

#include <QDir>
#include <QLockFile>

namespace kobin {

SingleInstance::SingleInstance(const QString &lockPath) : m_lock(std::make_unique<QLockFile>(lockPath))
{
    QDir().mkpath(QFileInfo(lockPath).absolutePath());
    m_lock->setStaleLockTime(0); // only a dead owner makes a lock stale
    m_first = m_lock->tryLock(0);
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::lockPathFor(const QString &appPath)
{
    return appPath + QStringLiteral("kobin.lock");
}

} // namespace kobin
