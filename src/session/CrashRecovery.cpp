#include "CrashRecovery.h"

#include "AtomicFile.h"
#include "Book.h"
#include "BookFile.h"
#include "BookStore.h"
#include "Cp932.h"
#include "FolderFiles.h"
#include "ItemDisplay.h"
#include "Prompter.h"
#include "RunningBook.h"
#include "WindowStatus.h"
#include "WorkingFolder.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

namespace kobin {

namespace {
const QString kTreeFileName = QStringLiteral("recovery.iis");
} // namespace

CrashRecovery::CrashRecovery(Services services, const QString &dataFolder)
    : m_services(services), m_dataFolder(dataFolder)
{
    m_idle.setSingleShot(true);
    m_idle.setInterval(kIdleMilliseconds);
    connect(&m_idle, &QTimer::timeout, this, &CrashRecovery::keepWork);
    // Kept once the new book is shown, not while it is being read in.
    connect(&m_services.book, &Book::replaced, this, [this] {
        if (m_running)
            writeMarker();
        treeChanged();
    });
    m_services.book.tree().addObserver(this);
    // Files about to count as deleted (or no longer) belong to items the tree kept
    // must no longer name (or name again), or a crash pairs items with notes gone.
    m_services.book.workingFolder().deletions().setBeforeChange([this] {
        if (m_running && m_treeChanged && !m_services.book.isLoading())
            std::ignore = keepTree();
    });
}

CrashRecovery::~CrashRecovery()
{
    m_services.book.workingFolder().deletions().setBeforeChange(nullptr);
    m_services.book.tree().removeObserver(this);
}

QString CrashRecovery::markerPath() const
{
    return runningBookMarkerPath(m_services.book.appPath());
}

QString CrashRecovery::treeFilePath() const
{
    return m_services.book.workingFolder().path() + kTreeFileName;
}

void CrashRecovery::writeMarker()
{
    // Only a hint for the next start: a marker that cannot be written costs no work.
    const Book &book = m_services.book;
    std::ignore = saveFileAtomically(markerPath(), (book.bookPath() + u'\n' + book.bookName() + u'\n').toUtf8());
}

void CrashRecovery::begin()
{
    m_running = true;
    m_treeChanged = true;
    writeMarker();
    keepWork();
}

void CrashRecovery::finish()
{
    m_running = false;
    m_idle.stop();
    QFile::remove(treeFilePath());
    QFile::remove(markerPath());
}

void CrashRecovery::textChanged()
{
    if (m_running && !m_services.book.isLoading())
        m_idle.start();
}

void CrashRecovery::treeChanged()
{
    m_treeChanged = true;
    if (m_running)
        m_idle.start();
}

bool CrashRecovery::keepTree()
{
    // The bytes a save writes: made once for both while the tree stays as it is.
    const bool kept = saveFileAtomically(m_services.book.workingFolder().writableFile(kTreeFileName),
                                         m_services.book.bookFileBytes());
    m_treeChanged = !kept;
    return kept;
}

void CrashRecovery::keepWork()
{
    if (!m_running)
        return;
    m_idle.stop();
    bool kept = m_services.display.keepShownText();
    // A tree as its book file has it needs no copy: that file is what the next start falls back to.
    if (m_treeChanged && m_services.book.isChanged())
        kept = keepTree() && kept;
    // Said where it does not interrupt the typing; the next save reports in full.
    if (!kept)
        m_services.status.setStatusText(QStringLiteral("作業用フォルダに書き込めません。変更は保存するまで失われる可能性があります。"));
}

bool CrashRecovery::recoverAtStart()
{
    QFile marker(markerPath());
    if (!marker.open(QIODevice::ReadOnly))
        return false;
    const QStringList lines = QString::fromUtf8(marker.readAll()).split(u'\n');
    marker.close();
    const PromptAnswer answer =
        m_services.prompter.ask(PromptButtons::YesNo, PromptIcon::Question, QStringLiteral("お知らせ"),
                        QStringLiteral("前回は正常に終了しませんでした。保存されていない変更を復元しますか？"));
    if (answer != PromptAnswer::Yes) {
        setLeftoversAside();
        QFile::remove(markerPath());
        return false;
    }
    restore(lines.value(0), lines.value(1));
    return true;
}

void CrashRecovery::restore(const QString &bookPath, const QString &bookName)
{
    const Book::Loading loading(m_services.book);
    // The tree as it was last kept; else as the book file has it; else a new book's.
    m_services.book.startNew(true);
    ItemTree &tree = m_services.book.tree();
    if (loadBookFile(treeFilePath(), tree).outcome != BookReading::Outcome::Read && !bookPath.isEmpty())
        std::ignore = loadBookFile(bookPath, tree); // a book that cannot be read leaves a new book's tree
    m_services.book.setBookFile(bookPath, bookName);
    // What the working folder holds are the changes to that book's folder.
    m_services.book.workingFolder().resume(hasOwnBookFolder(bookName) ? m_services.book.bookFolder() : QString(),
                                   [&tree](const QString &key) { return tree.item(key) != nullptr; });
    if (!bookPath.isEmpty())
        m_services.book.setOpened(bookPath);
    m_services.book.markChanged();
    m_services.display.showBookItem();
    tree.select(tree.item(Book::BookItemKey));
    m_services.status.expandTree();
}

void CrashRecovery::setLeftoversAside()
{
    const QString working = m_services.book.workingFolder().path();
    const QStringList names = QDir(working).entryList(QDir::Files | QDir::Hidden | QDir::System);
    if (!names.isEmpty()) {
        const QString folder =
            leftoversFolder() + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")) + u'/';
        if (QDir().mkpath(folder)) {
            for (const QString &name : names)
                std::ignore = moveFileOver(working + name, folder + name);
        }
    }
    // Only the newest few are worth keeping.
    QDir leftovers(leftoversFolder());
    const QStringList runs = leftovers.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::Reversed);
    for (qsizetype i = kKeptLeftovers; i < runs.size(); ++i)
        QDir(leftovers.filePath(runs[i])).removeRecursively();
}

} // namespace kobin
