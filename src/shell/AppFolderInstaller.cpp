#include "AppFolderInstaller.h"

#include "Cp932.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>

namespace kobin {

namespace {

bool copyTree(const QString &from, const QString &to)
{
    if (!QDir().mkpath(to))
        return false;
    bool copied = true;
    QDirIterator it(from, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        const QFileInfo entry(it.next());
        const QString target = to + u'/' + entry.fileName();
        if (entry.isDir()) {
            copied = copyTree(entry.filePath(), target) && copied;
        } else if (QFile::copy(entry.filePath(), target)) {
            // Files from the resources are read-only; the user's copies are not.
            QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        } else {
            copied = false;
        }
    }
    return copied;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

} // namespace

AppFolderInstaller::AppFolderInstaller(QString source, QString appPath)
    : m_source(std::move(source)), m_appPath(std::move(appPath))
{
}

bool AppFolderInstaller::install() const
{
    const bool fresh = !QDir(m_appPath).exists();
    if (fresh && !QDir().mkpath(m_appPath))
        return false;
    if (fresh)
        installSampleBook();
    installHelp();
    return true;
}

bool AppFolderInstaller::installSampleBook() const
{
    const QString sample = m_source + QStringLiteral("/sample/");
    bool installed = QFile::copy(sample + QStringLiteral("sample.iis"), m_appPath + QStringLiteral("sample.iis"));
    QFile::setPermissions(m_appPath + QStringLiteral("sample.iis"), QFile::ReadOwner | QFile::WriteOwner);
    const QString bookFolder = m_appPath + QStringLiteral("sample/");
    installed = copyTree(sample + QStringLiteral("sample"), bookFolder) && installed;
    installed = copyTree(sample + QStringLiteral("pages"), bookFolder + QStringLiteral("pages")) && installed;

    // A url file holds the page's full path, known only now.
    QFile urls(sample + QStringLiteral("urls.txt"));
    if (!urls.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(urls.readAll()).split(u'\n', Qt::SkipEmptyParts);
    for (const QString &line : lines) {
        const QStringList fields = line.trimmed().split(u'\t');
        if (fields.size() != 2)
            continue;
        const QString page = QDir::toNativeSeparators(bookFolder + QStringLiteral("pages/") + fields[1]);
        installed = writeFile(bookFolder + fields[0] + QStringLiteral("url.txt"), encodeSystemText(page) + "\r\n")
            && installed;
    }
    return installed;
}

bool AppFolderInstaller::installHelp() const
{
    const QString target = m_appPath + helpFileName();
    if (QFileInfo::exists(target))
        return true;
    const QString source = m_source + u'/' + helpFileName();
    if (!QFileInfo::exists(source))
        return false;
    const bool copied = QFile::copy(source, target);
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    return copied;
}

} // namespace kobin
