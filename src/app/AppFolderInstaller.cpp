#include "AppFolderInstaller.h"

#include "WorkingFolder.h"
#include "AtomicFile.h"
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
        copied = (entry.isDir() ? copyTree(entry.filePath(), target) : copyFileAtomically(entry.filePath(), target)) && copied;
    }
    return copied;
}

} // namespace

AppFolderInstaller::AppFolderInstaller(QString source, QString appPath)
    : m_source(std::move(source)), m_appPath(std::move(appPath))
{
}

std::optional<bool> AppFolderInstaller::createFolder() const
{
    // A folder the user made first, or one the program never started in, is as new:
    // every start leaves its working folder and help file there.
    const bool fresh = !QFileInfo::exists(workingFolderPath(m_appPath))
        && !QFileInfo::exists(m_appPath + helpFileName());
    if (!QDir().mkpath(m_appPath))
        return std::nullopt;
    return fresh;
}

void AppFolderInstaller::install(bool newFolder) const
{
    if (newFolder)
        installSampleBook();
    installHelp();
}

bool AppFolderInstaller::installSampleBook() const
{
    // A sample book already there is the user's, brought along from another computer
    // perhaps: never written over.
    if (QFileInfo::exists(m_appPath + QStringLiteral("sample.iis")) || QFileInfo::exists(m_appPath + QStringLiteral("sample")))
        return true;
    const QString sample = m_source + QStringLiteral("/sample/");
    bool installed = copyFileAtomically(sample + QStringLiteral("sample.iis"), m_appPath + QStringLiteral("sample.iis"));
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
        installed = saveFileAtomically(bookFolder + fields[0] + QStringLiteral("url.txt"),
                                       encodeSystemText(page) + "\r\n")
            && installed;
    }
    return installed;
}

bool AppFolderInstaller::installHelp() const
{
    const QString target = m_appPath + helpFileName();
    if (QFileInfo::exists(target))
        return true;
    return copyFileAtomically(m_source + u'/' + helpFileName(), target);
}

} // namespace kobin
