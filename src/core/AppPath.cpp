#include "AppPath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kobin {

QString withTrailingSlash(const QString &folder)
{
    if (folder.endsWith(u'/') || folder.endsWith(u'\\'))
        return folder;
    return folder + u'/';
}

QString chooseAppPath(const QString &kobinHome, const QString &programFolder, bool programFolderWritable,
                      const QString &userDataFolder)
{
    if (!kobinHome.isEmpty())
        return withTrailingSlash(kobinHome);
    if (programFolderWritable)
        return withTrailingSlash(programFolder);
    return withTrailingSlash(userDataFolder);
}

QString installedDataFolder(const QString &programFolder)
{
    const QString folder = QDir::cleanPath(programFolder + QStringLiteral("/" KOBIN_DATA_FROM_PROGRAM));
    return QFileInfo(folder).isDir() ? folder : QString();
}

QString resolveAppPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    // An installed program's folder is shared by every user, even where it can be written.
    const bool portable = QFileInfo(programFolder).isWritable() && installedDataFolder(programFolder).isEmpty();
    return chooseAppPath(qEnvironmentVariable("KOBIN_HOME"), programFolder, portable,
                         QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

ProgramFolders programFoldersAt(const QString &appPath)
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    return {appPath, data, data + QStringLiteral("/versions")};
}

} // namespace kobin
