#include "BookStore.h"

#include "AtomicFile.h"
#include "Book.h"
#include "BookFile.h"
#include "BookVersions.h"
#include "BoundedFile.h"
#include "CapturedPages.h"
#include "Cp932.h"
#include "FolderFiles.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "NumberFile.h"
#include "PageCarrier.h"
#include "PageNames.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

bool hasOwnBookFolder(const QString &bookName)
{
    return !bookName.isEmpty() && bookName.compare(QLatin1String("temp"), Qt::CaseInsensitive) != 0;
}

namespace {
StoreResult failedToSave(const QString &path)
{
    return {StoreResult::Outcome::Failed, path};
}

// Copies source to copy, whole or not at all, unless there is no source to keep
// or the copy exists already.
[[nodiscard]] bool keepCopyOnce(const QString &source, const QString &copy)
{
    return QFileInfo::exists(copy) || !QFileInfo::exists(source) || copyFileAtomically(source, copy);
}

// Asks before the save replaces or removes a file another program (a sync tool
// bringing another computer's save) has written since the book read or last
// wrote it, each such file with its own question. A Yes holds for the file as it
// was when answered: written again meanwhile, it is asked about again. A book
// saved as another is written over nothing it read.
class OverwriteGuard
{
public:
    OverwriteGuard(Book &book, const OverwriteQuestion &ask, bool sameFolder)
        : m_book(book), m_ask(ask), m_sameFolder(sameFolder)
    {
    }

    // False when the user said No.
    [[nodiscard]] bool mayReplace(const QString &path) { return answerFor(path) != Answer::No; }

    // Asks about each of paths, round after round until a round asks nothing, since
    // another file may be written while a question is open. False at the first No.
    [[nodiscard]] bool mayReplaceAll(const QStringList &paths)
    {
        for (bool asked = true; asked;) {
            asked = false;
            for (const QString &path : paths) {
                const Answer answer = answerFor(path);
                if (answer == Answer::No)
                    return false;
                asked = asked || answer == Answer::Yes;
            }
        }
        return true;
    }

    bool agreedTo(const QString &path) const { return m_agreed.contains(path); }

private:
    enum class Answer { NotAsked, Yes, No };

    Answer answerFor(const QString &path)
    {
        if (!isWrittenByAnother(path))
            return Answer::NotAsked;
        const auto agreed = m_agreed.constFind(path);
        if (agreed != m_agreed.cend() && agreed->isCurrent())
            return Answer::NotAsked;
        if (!m_ask(path))
            return Answer::No;
        m_agreed.insert(path, FileStamp::of(path));
        return Answer::Yes;
    }

    bool isWrittenByAnother(const QString &path) const
    {
        if (path == m_book.bookPath()) {
            const FileStamp &bookFile = m_book.bookFileStamp();
            return bookFile.path() == path && !bookFile.isCurrent();
        }
        return m_sameFolder && m_book.workingFolder().bookFolderStamps().firstChanged({path});
    }

    Book &m_book;
    const OverwriteQuestion &m_ask;
    bool m_sameFolder;
    QHash<QString, FileStamp> m_agreed; // a file the user let the save write over, as it was then
};

bool isUrlFile(const QString &name)
{
    const QString key = ContentNames::keyOf(name);
    return !key.isEmpty() && name == ContentNames::urlFileName(key);
}

// The page a url file at path names; empty when it cannot be read.
QString pageNamedBy(const QString &path)
{
    const std::optional<QByteArray> bytes = readRegularFile(path, 64 * 1024);
    return bytes ? pagePathFromUrlFile(decodeSystemText(*bytes)) : QString();
}

// Saved as another book, the pages the book keeps in its own book folder go
// along into the new one, and the url files name them there; a page that cannot
// be copied stops the save (the file that failed is given), before the book
// names anything new.
std::optional<QString> carryOwnPages(Book &book, const QStringList &files)
{
    const WorkingFolder &working = book.workingFolder();
    PageCarrier carrier(working.bookFolder(), book.bookFolder());
    for (const QString &name : files) {
        if (!isUrlFile(name))
            continue;
        const QString key = ContentNames::keyOf(name);
        const QString page = working.pageSettings().pagePath(key).value_or(QString());
        QString failed;
        const std::optional<QString> copy = carrier.carry(page, &failed);
        if (!copy)
            return failed;
        if (*copy != page && !working.pageSettings().storePagePath(key, *copy))
            return working.urlFile(key);
    }
    return std::nullopt;
}

// The captured pages that the url files the save replaces or removes name, and
// those captured since the last save, less those an item of the book still names:
// what the save leaves behind. Only the book's own change lets a page go, so a
// page another computer captured into a shared book folder stays.
QStringList capturesLeftBehind(Book &book, const QStringList &replacedOrRemoved)
{
    const QString bookFolder = book.bookFolder();
    if (CapturedPages::isLinkedAway(bookFolder))
        return {}; // what lies behind the link is nothing the book may remove
    QSet<QString> named = book.newCaptures().folders();
    for (const QString &name : replacedOrRemoved) {
        if (!isUrlFile(name))
            continue;
        const QString captured = CapturedPages::captureFolderOf(pageNamedBy(bookFolder + name), bookFolder);
        if (!captured.isEmpty())
            named.insert(captured);
    }
    if (named.isEmpty())
        return {};
    const ItemTree &tree = book.tree();
    for (int index = 1; index <= tree.count() && !named.isEmpty(); ++index) {
        const TreeItem &item = *tree.item(index);
        if (kindOf(item) != ItemKind::Homepage)
            continue;
        if (const std::optional<QString> page = book.workingFolder().pageSettings().pagePath(item.key())) {
            named.remove(CapturedPages::captureFolderOf(*page, bookFolder));
            // Saved as another book, pages captured since the last save lie in the folder it was read from.
            named.remove(CapturedPages::captureFolderOf(*page, book.workingFolder().bookFolder()));
        }
    }
    return named.values();
}

} // namespace

void removeUnfinishedWrites(const Book &book)
{
    // A part file that cannot be removed now is written over by the next save.
    if (!book.bookPath().isEmpty())
        QFile::remove(book.bookPath() + QLatin1String(PartFileEnding));
    if (!hasOwnBookFolder(book.bookName()))
        return;
    QDir bookFolder(book.bookFolder());
    for (const QString &name : fileNamesIn(book.bookFolder())) {
        if (name.endsWith(QLatin1String(PartFileEnding), Qt::CaseInsensitive)) // as a name filter matches
            bookFolder.remove(name);
    }
    CapturedPages::removeAbandonedCaptures(book.bookFolder());
}

StoreResult storeBook(Book &book, const OverwriteQuestion &mayOverwrite)
{
    if (!hasOwnBookFolder(book.bookName()) || book.bookPath().isEmpty())
        return failedToSave(book.bookPath().isEmpty() ? book.bookFolder() : book.bookPath());

    WorkingFolder &working = book.workingFolder();
    FileStamps &stamps = working.bookFolderStamps();
    const QString bookFolder = book.bookFolder();
    // Saved where it was read from, only the changes travel; saved as another book, all of it.
    const bool sameFolder = working.bookFolder() == bookFolder;
    // A working folder removed behind the program's back no longer holds the
    // book's changes; saving without them would lose them unseen.
    const std::optional<QStringList> files = sameFolder ? working.changedContentFiles() : working.readableContentFiles();
    if (!files)
        return failedToSave(working.path());

    // Asked before anything is written: a No leaves the book folder and book file as
    // they are, and the changes for Save As. Each file is looked at again right
    // before it is replaced, since another program may write it meanwhile.
    OverwriteGuard guard(book, mayOverwrite, sameFolder);
    QStringList replacedOrRemoved{book.bookPath()};
    for (const QString &name : *files + working.deletions().files())
        replacedOrRemoved.append(bookFolder + name);
    if (!guard.mayReplaceAll(replacedOrRemoved))
        return {StoreResult::Outcome::Declined, {}};

    if (!QDir().mkpath(bookFolder))
        return failedToSave(bookFolder);
    if (!sameFolder) {
        if (const std::optional<QString> failed = carryOwnPages(book, *files))
            return failedToSave(*failed);
    }
    const QStringList leftBehind =
        capturesLeftBehind(book, sameFolder ? *files + working.deletions().files() : QStringList());

    // What the save replaces or removes is kept as an earlier version; a version
    // that cannot be kept costs the user nothing of the book, so the save goes on.
    std::optional<BookVersions> versions;
    if (!book.versionsFolder().isEmpty()) {
        versions.emplace(book.versionsFolder(), book.bookPath(), bookFolder);
        if (!versions->begin())
            versions.reset();
        else if (guard.agreedTo(book.bookPath()))
            versions->keepBookFile(); // the other program's book file is kept even when no note changes
    }
    const auto keepVersion = [&](const QString &name) {
        if (versions && !versions->keep(name))
            versions.reset();
    };
    const auto recordVersion = [&] {
        if (versions)
            std::ignore = versions->finish();
    };
    const auto declined = [&] {
        recordVersion();
        return StoreResult{StoreResult::Outcome::Declined, {}};
    };

    for (const QString &name : *files) {
        const QString source = working.readableFile(name);
        const QString target = bookFolder + name;
        // A file written since the opening is a change; a note another book's folder holds already is not.
        if (!sameFolder && haveSameContent(source, target)) {
            stamps.written(target);
            continue;
        }
        if (!guard.mayReplace(target))
            return declined();
        if (QFileInfo::exists(target))
            keepVersion(name);
        else if (versions)
            versions->added(name);
        if (!(sameFolder ? working.moveToBookFolder(name) : copyFileAtomically(source, target))) {
            recordVersion();
            return failedToSave(target);
        }
        stamps.written(target);
    }

    if (sameFolder)
        syncFolder(bookFolder); // the notes moved in are there for good before the tree names them

    // A file read with records left out is kept once; an existing copy (older, or the user's own) is never replaced.
    const QString damagedCopy = book.bookPath() + QStringLiteral(".bak");
    if (book.bookPath() == book.damagedBookFile() && !keepCopyOnce(book.bookPath(), damagedCopy)) {
        recordVersion();
        return failedToSave(damagedCopy);
    }
    if (!guard.mayReplace(book.bookPath()))
        return declined();
    if (versions && guard.agreedTo(book.bookPath()))
        versions->keepBookFile();
    if (!saveFileAtomically(book.bookPath(), book.bookFileBytes())) {
        recordVersion();
        return failedToSave(book.bookPath());
    }
    book.setBookFileStamp(FileStamp::of(book.bookPath()));

    // Only now that the book file no longer names them may the deleted items' files go.
    for (const QString &name : working.deletions().files()) {
        const QString file = bookFolder + name;
        if (!QFileInfo::exists(file))
            continue;
        if (!guard.mayReplace(file))
            return declined();
        keepVersion(name);
        if (!QFile::remove(file)) {
            recordVersion();
            return failedToSave(file);
        }
        stamps.written(file);
    }
    // A captured page no item names any more goes with the last of them; one that
    // cannot be removed is only a folder too many.
    for (const QString &folder : leftBehind)
        QDir(folder).removeRecursively();
    book.newCaptures().forget();
    recordVersion();
    // Files left behind here hold what the book folder holds now: nothing is lost by them.
    std::ignore = working.savedInto(bookFolder);
    return {StoreResult::Outcome::Saved, {}};
}

} // namespace kobin
