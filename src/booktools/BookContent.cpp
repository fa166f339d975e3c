#include "BookContent.h"

#include "AppPath.h"
#include "BoundedFile.h"
#include "BookFile.h"
#include "ContentNames.h"
#include "Cp932.h"
#include "PageLocator.h"
#include "PageNames.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace kobin {

BookContent::BookContent(QString bookFolder, QString bookPath, QString appPath)
    : m_bookFolder(std::move(bookFolder)), m_bookPath(std::move(bookPath)), m_appPath(std::move(appPath))
{
}

std::optional<QString> BookContent::file(const QString &name) const
{
    return entryIgnoringCase(QDir::cleanPath(m_bookFolder), name);
}

std::optional<QString> BookContent::recordedPage(const QString &key) const
{
    const std::optional<QString> url = file(ContentNames::urlFileName(key));
    if (!url)
        return std::nullopt;
    const std::optional<QByteArray> bytes = readRegularFile(*url, 64 * 1024);
    if (!bytes)
        return std::nullopt;
    return pagePathFromUrlFile(decodeSystemText(*bytes));
}

std::optional<QString> BookContent::page(const QString &key) const
{
    const std::optional<QString> recorded = recordedPage(key);
    if (!recorded)
        return std::nullopt;
    return findPage(*recorded, m_bookPath, m_appPath);
}

BookContent BookContent::forBookFile(const QString &bookPath)
{
    const QString name = bookNameFromPath(bookPath);
    QStringList homes;
    if (!qEnvironmentVariableIsEmpty("KOBIN_HOME"))
        homes << qEnvironmentVariable("KOBIN_HOME");
    // The program's own folder for books, where the window, search, capture and import keep them.
    homes << QFileInfo(bookPath).absolutePath() << QDir::cleanPath(resolveAppPath())
          << QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/Kobin");
    for (const QString &home : homes) {
        if (QFileInfo(home + u'/' + name).isDir())
            return BookContent(home + u'/' + name + u'/', bookPath, home + u'/');
    }
    return BookContent(homes.first() + u'/' + name + u'/', bookPath, homes.first() + u'/');
}

} // namespace kobin
