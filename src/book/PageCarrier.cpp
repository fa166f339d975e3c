#include "PageCarrier.h"

#include "AtomicFile.h"
#include "CapturedPages.h"
#include "ContentNames.h"
#include "PageBundle.h"

#include <QDir>
#include <QFileInfo>
#include <utility>

namespace kobin {

namespace {

// The page and the files that go with it, as (path, name relative to the page's folder).
std::vector<std::pair<QString, QString>> filesOfPage(const QString &page)
{
    const QFileInfo info(page);
    std::vector<std::pair<QString, QString>> files{{page, info.fileName()}};
    const PageBundle bundle(page, PageBundle::foldersIn(info.path()));
    files.insert(files.end(), bundle.files().begin(), bundle.files().end());
    return files;
}

// Copies the files into folder (ending in "/") by their names, whole or not at
// all: the first that fails in *failed, and what was copied before it removed.
bool copyFiles(const std::vector<std::pair<QString, QString>> &files, const QString &folder, QString *failed)
{
    for (size_t copied = 0; copied < files.size(); ++copied) {
        const auto &[source, name] = files[copied];
        const QString target = folder + name;
        if (QDir().mkpath(QFileInfo(target).path()) && copyFileAtomically(source, target))
            continue;
        *failed = source;
        for (size_t undone = 0; undone < copied; ++undone) {
            const QString made = folder + files[undone].second;
            QFile::remove(made);
            // The folders it made, while nothing else is in them.
            for (QString parent = QFileInfo(made).path(); parent.size() > folder.size() && QDir().rmdir(parent);
                 parent = QFileInfo(parent).path()) {
            }
        }
        return false;
    }
    return true;
}

} // namespace

PageCarrier::PageCarrier(QString fromFolder, QString toFolder) : m_from(std::move(fromFolder)), m_to(std::move(toFolder)) {}

std::optional<QString> PageCarrier::carry(const QString &page, QString *failed)
{
    if (m_from.isEmpty() || page.isEmpty())
        return page;
    const QString captured = CapturedPages::captureFolderOf(page, m_from);
    if (!captured.isEmpty())
        return carryCaptured(page, captured, failed);
    const QString from = QDir::cleanPath(m_from) + u'/';
    const QString path = QDir::cleanPath(page);
    if (!path.startsWith(from) || !QFileInfo(path).isFile())
        return page;
    if (const auto copy = m_copies.constFind(path); copy != m_copies.cend())
        return *copy;
    const std::optional<QString> copy = carryLoose(path, path.mid(from.size()), failed);
    if (copy)
        m_copies.insert(path, *copy);
    return copy;
}

std::optional<QString> PageCarrier::carryCaptured(const QString &page, const QString &captured, QString *failed)
{
    auto copy = m_copies.constFind(captured);
    if (copy == m_copies.cend()) {
        const std::optional<QString> made = CapturedPages::copyInto(captured, m_to, failed);
        if (!made)
            return std::nullopt;
        copy = m_copies.insert(captured, *made);
    }
    return *copy + QDir::cleanPath(page).mid(QDir::cleanPath(captured).size() + 1);
}

std::optional<QString> PageCarrier::carryLoose(const QString &page, const QString &relative, QString *failed)
{
    const std::vector<std::pair<QString, QString>> files = filesOfPage(page);
    // The same place in the new book folder keeps links between the pages there;
    // a place already taken (another book's file, a name the book's own notes
    // use) is never written over.
    const QString folder = m_to + QFileInfo(relative).path() + u'/';
    const bool placeIsFree = ContentNames::keyOf(QFileInfo(relative).fileName()).isEmpty()
        && std::none_of(files.begin(), files.end(),
                        [&](const auto &file) { return QFileInfo::exists(folder + file.second); });
    if (placeIsFree) {
        if (!copyFiles(files, QDir::cleanPath(folder) + u'/', failed))
            return std::nullopt;
        return QDir::cleanPath(folder + QFileInfo(page).fileName());
    }
    CaptureStaging staging(m_to);
    if (!staging.isReady() || !copyFiles(files, staging.path(), failed)) {
        if (failed->isEmpty())
            *failed = CapturedPages::folderOf(m_to);
        return std::nullopt;
    }
    const std::optional<QString> placed = staging.placeFolder();
    if (!placed) {
        *failed = CapturedPages::folderOf(m_to);
        return std::nullopt;
    }
    return *placed + QFileInfo(page).fileName();
}

} // namespace kobin
