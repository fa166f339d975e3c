#include "PageBundle.h"

#include <QDir>
#include <QFileInfo>
#include <deque>

namespace kobin {

PageBundle::PageBundle(const QString &page, const QStringList &foldersBeside) : m_isPage(PageFiles::isPage(page))
{
    if (!m_isPage)
        return;
    const QString filesFolder = filesFolderOf(page, foldersBeside);
    if (!filesFolder.isEmpty())
        collect(filesFolder, PageFiles(page));
}

void PageBundle::collect(const QString &filesFolder, const PageFiles &rule)
{
    // Level by level, never into a symbolic link to a folder.
    std::deque<std::pair<QString, QString>> pending{{filesFolder, QFileInfo(filesFolder).fileName()}};
    while (!pending.empty()) {
        const auto [from, name] = pending.front();
        pending.pop_front();
        const QFileInfoList entries =
            QDir(from).entryInfoList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                     QDir::Name);
        for (const QFileInfo &entry : entries) {
            const QString entryName = name + u'/' + entry.fileName();
            if (entry.isDir()) {
                if (!entry.isSymLink())
                    pending.emplace_back(entry.filePath(), entryName);
            } else if (!rule.holds(entry.filePath())) {
                if (entry.isSymLink())
                    m_leftOut << entryName;
            } else if (m_files.size() < static_cast<size_t>(kMaxFiles)) {
                m_files.emplace_back(entry.filePath(), entryName);
            }
        }
    }
}

QStringList PageBundle::foldersIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
}

QString PageBundle::filesFolderOf(const QString &page, const QStringList &foldersBeside)
{
    const QFileInfo info(page);
    const QString base = info.completeBaseName();
    for (const QString &name : foldersBeside) {
        if (name.compare(base + QStringLiteral("_files"), Qt::CaseInsensitive) == 0
            || name.compare(base + QStringLiteral(".files"), Qt::CaseInsensitive) == 0) {
            const QFileInfo folder(info.dir().filePath(name));
            if (folder.isDir() && !folder.isSymLink())
                return folder.filePath();
        }
    }
    return {};
}

} // namespace kobin
