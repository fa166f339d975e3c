#include "CapturedPages.h"

#include "AtomicFile.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <deque>

namespace kobin {

namespace {

// A random part keeps two machines that share the book folder from choosing one
// name; the time keeps the folders in the order they were captured.
QString uniqueName(const QString &prefix)
{
    return prefix + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss-"))
        + QString::number(QRandomGenerator::system()->generate(), 16).rightJustified(8, u'0');
}

const QString kStagingPrefix = QStringLiteral(".capturing-");

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

bool CapturedPages::isLinkedAway(const QString &bookFolder)
{
    return QFileInfo(folderOf(bookFolder).chopped(1)).isSymLink();
}

void CapturedPages::removeAbandonedCaptures(const QString &bookFolder)
{
    if (isLinkedAway(bookFolder))
        return;
    const QDir pages(folderOf(bookFolder));
    const QDateTime dayAgo = QDateTime::currentDateTime().addDays(-1);
    for (const QFileInfo &entry : pages.entryInfoList({kStagingPrefix + u'*'}, QDir::Dirs | QDir::Hidden)) {
        if (!entry.isSymLink() && entry.lastModified() < dayAgo)
            QDir(entry.filePath()).removeRecursively();
    }
}

CaptureStaging::CaptureStaging(const QString &bookFolder) : m_bookFolder(bookFolder)
{
    const QString path = CapturedPages::folderOf(bookFolder) + uniqueName(kStagingPrefix);
    if (!CapturedPages::isLinkedAway(bookFolder) && QDir().mkpath(path))
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
    const QString inside = page.mid(m_path.size());
    const std::optional<QString> folder = placeFolder();
    if (!folder)
        return std::nullopt;
    return *folder + inside;
}

std::optional<QString> CaptureStaging::placeFolder()
{
    if (m_path.isEmpty())
        return std::nullopt;
    const QString target = CapturedPages::folderOf(m_bookFolder) + uniqueName(QString());
    if (QFileInfo::exists(target) || !QDir().rename(m_path, target))
        return std::nullopt;
    m_path.clear();
    return target + u'/';
}

std::optional<QString> CapturedPages::copyInto(const QString &captureFolder, const QString &bookFolder,
                                               QString *failed)
{
    // Listed whole before anything is copied: a folder of too many files is refused
    // at once, not after thousands of files were copied and thrown away.
    struct Entry {
        QString name; // relative to captureFolder
        bool folder;
    };
    std::vector<Entry> entries;
    // Level by level with a queue: a page's folders may nest deeper than a stack allows.
    std::deque<QString> folders{QString()}; // relative to captureFolder, each ending in "/" but the first
    int files = 0;
    while (!folders.empty()) {
        const QString relative = folders.front();
        folders.pop_front();
        const QFileInfoList listed =
            QDir(captureFolder + relative).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        for (const QFileInfo &entry : listed) {
            const QString name = relative + entry.fileName();
            if (entry.isSymLink())
                continue;
            if (entry.isDir()) {
                entries.push_back({name, true});
                folders.push_back(name + u'/');
            } else if (entry.isFile()) {
                if (++files > kMaxFiles) {
                    *failed = entry.filePath();
                    return std::nullopt;
                }
                entries.push_back({name, false});
            }
        }
    }
    CaptureStaging staging(bookFolder);
    if (!staging.isReady()) {
        *failed = folderOf(bookFolder);
        return std::nullopt;
    }
    for (const Entry &entry : entries) {
        const QString copy = staging.path() + entry.name;
        if (!(entry.folder ? QDir().mkpath(copy) : copyFileAtomically(captureFolder + entry.name, copy))) {
            *failed = captureFolder + entry.name;
            return std::nullopt;
        }
    }
    const std::optional<QString> placed = staging.placeFolder();
    if (!placed)
        *failed = folderOf(bookFolder);
    return placed;
}

} // namespace kobin
