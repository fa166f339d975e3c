#include "CapturedPages.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>

namespace kobin {

namespace {

// A random part keeps two machines that share the book folder from choosing one
// name; the time keeps the folders in the order they were captured.
QString uniqueName(const QString &prefix)
{
    return prefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-"))
        + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
}

} // namespace

QString CapturedPages::folderOf(const QString &bookFolder)
{
    return bookFolder + QStringLiteral("pages/");
}

QString CapturedPages::captureFolderOf(const QString &page, const QString &bookFolder)
{
    if (bookFolder.isEmpty())
        return {};
    const QString pages = QDir::cleanPath(folderOf(bookFolder)) + u'/';
    const QString path = QDir::cleanPath(page);
    if (!path.startsWith(pages))
        return {};
    const int end = path.indexOf(u'/', pages.size());
    const QString name = path.mid(pages.size(), end - pages.size());
    if (end < 0 || name.isEmpty() || name.startsWith(u'.'))
        return {};
    return folderOf(bookFolder) + name + u'/';
}

CaptureStaging::CaptureStaging(const QString &bookFolder) : m_bookFolder(bookFolder)
{
    const QString path = CapturedPages::folderOf(bookFolder) + uniqueName(QStringLiteral(".capturing-"));
    if (QDir().mkpath(path))
        m_path = path + u'/';
}

CaptureStaging::~CaptureStaging()
{
    if (!m_path.isEmpty())
        QDir(m_path).removeRecursively();
}

std::optional<QString> CaptureStaging::place(const QString &page)
{
    if (m_path.isEmpty() || !page.startsWith(m_path))
        return std::nullopt;
    const QString pages = CapturedPages::folderOf(m_bookFolder);
    const QString target = pages + uniqueName(QString());
    if (QFileInfo::exists(target) || !QDir().rename(m_path, target))
        return std::nullopt;
    const QString placed = target + u'/' + page.mid(m_path.size());
    m_path.clear();
    return placed;
}

} // namespace kobin
