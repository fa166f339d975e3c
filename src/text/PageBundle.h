#pragma once

#include "PageFiles.h"

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace kobin {

// A saved page as it leaves the book (into an exported site): the page, when it is
// a page the viewer shows, and the files of its files folder ("index_files") that
// lie in the page's own folder. What leads out of it is named, never taken.
class PageBundle
{
public:
    // A page's files folder holds what one saved page needs, never more than this.
    static constexpr int kMaxFiles = 10000;

    // foldersBeside: the names of the folders beside the page (many pages share a folder).
    PageBundle(const QString &page, const QStringList &foldersBeside);

    // Whether the page goes at all (PageFiles::isPage); a bundle of no page holds nothing.
    bool isPage() const { return m_isPage; }
    // The files to take, as (path, name relative to the page's folder), at most kMaxFiles.
    const std::vector<std::pair<QString, QString>> &files() const { return m_files; }
    // The files folder's entries that lead out of the page's folder, relative to it.
    const QStringList &leftOut() const { return m_leftOut; }

    // The names of the folders in folder, where pages and their files folders lie.
    static QStringList foldersIn(const QString &folder);
    // The page's files folder beside it as browsers save it ("index_files",
    // "index.files", in any case), from the names of the folders beside the page;
    // empty when there is none or it is a symbolic link.
    static QString filesFolderOf(const QString &page, const QStringList &foldersBeside);

private:
    void collect(const QString &filesFolder, const PageFiles &rule);

    bool m_isPage = false;
    std::vector<std::pair<QString, QString>> m_files;
    QStringList m_leftOut;
};

} // namespace kobin
