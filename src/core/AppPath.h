#pragma once

#include <QString>

namespace kobin {

// The folder that holds the working folder, book folders, "sample.iis" and the help
// file, always ending in "/": KOBIN_HOME when set, else the program's folder when it
// is writable and not an installed one (portable use), else the per-user data folder.
QString resolveAppPath();

// Where an installed program keeps the help file and the sample book it brings
// along: found from the program's own folder (".../bin" gives ".../share/kobin"), so
// that it holds under any prefix and in a staging folder. Empty when there is none
// (the program runs from its build folder and brings them in its resources).
QString installedDataFolder(const QString &programFolder);

// The rule itself, for any environment.
QString chooseAppPath(const QString &kobinHome, const QString &programFolder, bool programFolderWritable,
                      const QString &userDataFolder);

QString withTrailingSlash(const QString &folder);

// The folders the program works with, asked once when it starts.
struct ProgramFolders {
    QString appPath;        // see resolveAppPath; ends in "/"
    QString dataFolder;     // the user's data folder for the program: crash leftovers go aside there
    QString versionsFolder; // where the earlier versions of books are kept
};

// The folders of a program working in appPath; the others in the user's data folder.
ProgramFolders programFoldersAt(const QString &appPath);

} // namespace kobin
