#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kobin {

// The parts of a page path as any system wrote it: "/" and "\" both separate; a
// drive letter ("C:") and empty parts are left out.
QStringList pathComponents(const QString &path);

// Whether the path was written on Windows: it begins with a drive letter ("C:") or holds a "\".
bool isWindowsPath(const QString &path);

// The page a url file's path names: a url file holds a file's path, never a web
// address; a relative one is taken from the book file's folder when the page is
// there (bookPath may be empty: a book never saved), else from the program folder.
QString pagePathFor(const QString &recordedPath, const QString &bookPath, const QString &appPath);

// The page a url file's path leads to: the path itself (pagePathFor) when it is a
// page, else the page PageLocator finds under the program folder, the book file's
// folder and moreFolders; nullopt when there is none.
std::optional<QString> findPage(const QString &recordedPath, const QString &bookPath, const QString &appPath,
                                const QStringList &moreFolders = {});

// Whether the path is a regular file that a page can be read from here. A folder,
// a device, a pipe and a path longer than any system opens are not.
bool isPageFile(const QString &path);

// The entry of folder named name when the case is ignored (as Windows names are
// compared), the exact name first; nullopt when there is none.
std::optional<QString> entryIgnoringCase(const QString &folder, const QString &name);

// Finds a page whose url file names it where it no longer is (a book brought from
// Windows holds "C:\...\pages\index.htm"): by the path's trailing components,
// compared without case, under each of the folders given. The longest tail found
// wins; among equal tails, the earlier folder.
class PageLocator
{
public:
    // No path is longer; beyond it a url file holds no path at all.
    static constexpr int kMaxPathLength = 4096;
    // A page is found at most this many parts (its folders and its own name) below the folder searched.
    static constexpr int kMaxTrailingComponents = 16;

    explicit PageLocator(QStringList folders);

    // The page's path here; nullopt when no folder holds a regular file at any tail of the path.
    std::optional<QString> locate(const QString &recordedPath) const;

private:
    QStringList m_folders;
};

} // namespace kobin
