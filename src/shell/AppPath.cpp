#include "AppPath.h"

#include <QCoreApplication>
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

QString resolveAppPath()
{
    const QString programFolder = QCoreApplication::applicationDirPath();
    return chooseAppPath(qEnvironmentVariable("KOBIN_HOME"), programFolder,
                         QFileInfo(programFolder).isWritable(),
                         QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation));
}

} // namespace kobin
