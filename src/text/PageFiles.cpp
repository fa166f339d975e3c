#include "PageFiles.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace kobin {

namespace {

bool hasPageName(const QString &path)
{
    static const QRegularExpression pageName(QStringLiteral("\\.(html?|xht(ml)?|shtml|mht(ml)?)$"),
                                             QRegularExpression::CaseInsensitiveOption);
    return pageName.match(path).hasMatch();
}

} // namespace

PageFiles::PageFiles(const QString &page)
{
    if (isPage(page))
        takeFolderOf(page);
}

PageFiles PageFiles::besideShownPage(const QString &page)
{
    PageFiles files;
    files.takeFolderOf(page);
    return files;
}

void PageFiles::takeFolderOf(const QString &page)
{
    m_folder = QFileInfo(page).canonicalPath();
    if (!m_folder.isEmpty() && !m_folder.endsWith(u'/'))
        m_folder += u'/';
}

bool PageFiles::isPage(const QString &path)
{
    const QFileInfo file(path);
    // isFile() follows symbolic links: a link to a folder, device or pipe is none.
    return file.isFile() && hasPageName(file.fileName()) && hasPageName(file.canonicalFilePath());
}

bool PageFiles::holds(const QString &file) const
{
    const QFileInfo info(file);
    if (m_folder.isEmpty() || !info.isFile())
        return false;
    return info.canonicalFilePath().startsWith(m_folder);
}

} // namespace kobin
