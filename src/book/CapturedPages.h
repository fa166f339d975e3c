#pragma once

#include <QString>
#include <optional>

namespace kobin {

// Pages captured into a book live in its own book folder, one folder each under
// "pages/", so that the book holds everything it shows and goes wherever the book
// goes. A capture is written into a hidden folder there first and renamed into
// place whole, so that a capture cut short leaves no page behind.
class CapturedPages
{
public:
    // The book folder's pages folder: bookFolder (ending in "/") + "pages/".
    static QString folderOf(const QString &bookFolder);
    // Whether the book folder's pages folder is a symbolic link: pages are never
    // written through it, since it may lead anywhere out of the book folder.
    static bool isLinkedAway(const QString &bookFolder);
    // The captured page's own folder (bookFolder + "pages/" + its name + "/") that
    // page lies in; empty when page is no captured page of that book folder.
    static QString captureFolderOf(const QString &page, const QString &bookFolder);

    // Removes the hidden folders of captures that a crash cut short. Only those a
    // day old: another computer sharing the book folder may be capturing now.
    static void removeAbandonedCaptures(const QString &bookFolder);

    // At most this many files are taken along with one captured page; a folder of
    // more is refused before anything is copied.
    static constexpr int kMaxFiles = 20000;
    // Copies a captured page's folder into bookFolder's pages folder, whole or not
    // at all: its regular files and folders, never what a symbolic link leads to.
    // The new folder (ending in "/"); nullopt when it could not be copied, with the
    // file or folder that could not be copied or made in *failed.
    [[nodiscard]] static std::optional<QString> copyInto(const QString &captureFolder, const QString &bookFolder,
                                                         QString *failed);
};

// A folder a capture is written into before it belongs to the book: hidden in the
// book's pages folder, and removed with whatever it holds unless it is placed.
// Never made through a pages folder that is a symbolic link.
class CaptureStaging
{
public:
    explicit CaptureStaging(const QString &bookFolder);
    ~CaptureStaging();
    CaptureStaging(const CaptureStaging &) = delete;
    CaptureStaging &operator=(const CaptureStaging &) = delete;

    // False when the folder could not be made; path() is then empty.
    bool isReady() const { return !m_path.isEmpty(); }
    // Ends in "/".
    const QString &path() const { return m_path; }

    // Renames the folder into the pages folder under a name no other capture has
    // there (nor will have on another machine sharing the book folder), and gives
    // the path the page, a file in this folder, has there. nullopt when it cannot
    // be moved; the folder then stays hidden and is removed with this object.
    [[nodiscard]] std::optional<QString> place(const QString &page);
    // The same for the folder as a whole: the folder's path there, ending in "/".
    [[nodiscard]] std::optional<QString> placeFolder();

private:
    QString m_bookFolder;
    QString m_path;
};

} // namespace kobin
