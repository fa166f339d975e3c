#include "RunningBook.h"

#include "SingleInstance.h"

#include <QFile>
#include <QFileInfo>
#include <QLockFile>

namespace kobin {

namespace {

QString samePathForm(const QString &path)
{
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

QString runningBookMarkerPath(const QString &appPath)
{
    return appPath + QStringLiteral("kobin.running");
}

bool isBookOpenInRunningProgram(const QString &appPath, const QString &bookPath)
{
    QLockFile lock(SingleInstance::lockPathFor(appPath));
    lock.setStaleLockTime(0); // as the program holds it: only a dead owner makes it stale
    if (lock.tryLock(0)) {
        lock.unlock();
        return false;
    }
    QFile marker(runningBookMarkerPath(appPath));
    if (!marker.open(QIODevice::ReadOnly))
        return true;
    const QString openBook = QString::fromUtf8(marker.readLine()).trimmed();
    return openBook.isEmpty() || samePathForm(openBook) == samePathForm(bookPath);
}

} // namespace kobin
