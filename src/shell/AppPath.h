#pragma once

#include <QString>

namespace kobin {

// The folder that holds the working folder, book folders, "sample.iis" and the help
// file, always ending in "/": KOBIN_HOME when set, else the program's folder when it
// is writable (portable use), else the per-user data folder.
QString resolveAppPath();

// The rule itself, for any environment.
QString chooseAppPath(const QString &kobinHome, const QString &programFolder, bool programFolderWritable,
                      const QString &userDataFolder);

QString withTrailingSlash(const QString &folder);

} // namespace kobin
