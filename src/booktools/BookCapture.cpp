#include "BookCapture.h"

#include "BookFile.h"
#include "BookStore.h"
#include "BookVersions.h"
#include "CaptureAddress.h"
#include "CapturedPages.h"
#include "ItemTree.h"
#include "PageCapturer.h"
#include "PageNames.h"
#include "RichTextFiles.h"
#include "RunningBook.h"
#include "TreeEditor.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTextDocument>
#include <optional>

namespace kobin {

namespace {

struct CaptureOrder {
    QString bookPath;
    QString address;
    QString parentKey = QStringLiteral("a1");
    QString name;
    capture::Format format = capture::Format::CompletePage;
};

std::optional<CaptureOrder> readOrder(QStringList args)
{
    CaptureOrder order;
    QStringList names;
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == QLatin1String("--mhtml"))
            order.format = capture::Format::SingleFile;
        else if ((arg == QLatin1String("--under") || arg == QLatin1String("--name")) && !args.isEmpty())
            (arg == QLatin1String("--under") ? order.parentKey : order.name) = args.takeFirst();
        else if (arg.startsWith(QLatin1String("--")))
            return std::nullopt;
        else
            names.append(arg);
    }
    if (names.size() != 2)
        return std::nullopt;
    order.bookPath = names[0];
    order.address = names[1];
    return order;
}

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

CommandOutcome failure(const QString &message)
{
    return {1, {}, message + u'\n'};
}

capture::Outcome runCapture(capture::PageCapturer &capturer, const QUrl &url, const QString &folder,
                            capture::Format format)
{
    capture::Outcome outcome;
    QEventLoop loop;
    capturer.start(url, folder, format, nullptr, [&](const capture::Outcome &ended) {
        outcome = ended;
        loop.quit();
    });
    loop.exec();
    return outcome;
}

// Whatever the capture added to the book folder, should the book not come to name it.
class CaptureLeftovers
{
public:
    explicit CaptureLeftovers(const QString &bookFolder)
        : m_bookFolder(bookFolder), m_hadBookFolder(QFileInfo::exists(bookFolder)),
          m_hadPagesFolder(QFileInfo::exists(CapturedPages::folderOf(bookFolder)))
    {
    }
    ~CaptureLeftovers()
    {
        if (m_kept)
            return;
        if (!m_page.isEmpty())
            QDir(CapturedPages::captureFolderOf(m_page, m_bookFolder)).removeRecursively();
        for (const QString &file : m_written)
            QFile::remove(file);
        // Folders only this capture made, and only while empty.
        if (!m_hadPagesFolder)
            QDir().rmdir(CapturedPages::folderOf(m_bookFolder));
        if (!m_hadBookFolder)
            QDir().rmdir(m_bookFolder);
    }
    void placed(const QString &page) { m_page = page; }
    void wrote(const QString &path) { m_written << path; }
    void keep() { m_kept = true; }

private:
    QString m_bookFolder;
    bool m_hadBookFolder;
    bool m_hadPagesFolder;
    QString m_page;
    QStringList m_written;
    bool m_kept = false;
};

} // namespace

CommandOutcome captureCommand(const QStringList &args, const ProgramFolders &folders,
                              const CapturerMaker &makeCapturer)
{
    const std::optional<CaptureOrder> order = readOrder(args);
    if (!order)
        return {2, {}, QStringLiteral("使い方: kobin-cli capture BOOK URL [--under KEY] [--name NAME] [--mhtml]\n")};
    const QString &bookPath = order->bookPath;
    QString refusal;
    const std::optional<QUrl> url = capture::captureAddress(order->address, &refusal);
    if (!url)
        return failure(refusal);

    const QByteArray bookBytes = fileBytes(bookPath);
    ItemTree tree;
    const BookReading reading = loadBookFile(bookPath, tree);
    if (const std::optional<QString> error = bookReadingError(reading, bookPath))
        return failure(*error);
    // Writing the tree back would lose the records left out.
    if (reading.droppedRecords > 0)
        return failure(QStringLiteral("「 ") + bookPath
                       + QStringLiteral(" 」の中に読めない項目があるため、取り込みません。Kobin で開いて保存してから取り込んでください。"));
    TreeItem *parent = tree.item(order->parentKey);
    if (!parent)
        return failure(QStringLiteral("「 ") + bookPath + QStringLiteral(" 」に項目 ") + order->parentKey
                       + QStringLiteral(" はありません。"));
    TreeEditor editor(tree);
    tree.select(parent);
    const std::optional<TreeEdit> added = editor.add(ItemKind::Homepage, Placement::Child);
    if (!added)
        return failure(QStringLiteral("項目 ") + order->parentKey
                       + QStringLiteral(" の下には、これ以上項目を作れません。"));
    const QString bookName = bookNameFromPath(bookPath);
    if (!hasOwnBookFolder(bookName))
        return failure(QStringLiteral("「 ") + bookPath + QStringLiteral(" 」には取り込んだページを置くフォルダがありません。"));
    const QString openElsewhere = QStringLiteral("「 ") + bookPath
        + QStringLiteral(" 」は Kobin で開かれています。Kobin でブックを閉じてから取り込んでください。");
    if (isBookOpenInRunningProgram(folders.appPath, bookPath))
        return failure(openElsewhere);

    const QString bookFolder = folders.appPath + bookName + u'/';
    CaptureLeftovers leftovers(bookFolder);
    if (CapturedPages::isLinkedAway(bookFolder))
        return failure(QStringLiteral("「 ") + CapturedPages::folderOf(bookFolder)
                       + QStringLiteral(" 」はほかの場所へのリンクのため、取り込みません。"));
    CaptureStaging staging(bookFolder);
    if (!staging.isReady())
        return failure(QStringLiteral("「 ") + CapturedPages::folderOf(bookFolder) + QStringLiteral(" 」を作成できません。"));
    QString noCapturer;
    const std::unique_ptr<capture::PageCapturer> capturer = makeCapturer(&noCapturer);
    if (!capturer)
        return failure(noCapturer);
    const capture::Outcome outcome = runCapture(*capturer, *url, staging.path(), order->format);
    if (outcome.result != capture::Outcome::Result::Captured)
        return failure(outcome.message);

    // The capture took a while: the book must still be as it was read, and closed.
    if (isBookOpenInRunningProgram(folders.appPath, bookPath))
        return failure(openElsewhere);
    if (fileBytes(bookPath) != bookBytes)
        return failure(QStringLiteral("「 ") + bookPath
                       + QStringLiteral(" 」は取り込みの間にほかのプログラムに書き換えられました。もう一度取り込んでください。"));
    const std::optional<QString> page = staging.place(outcome.page);
    if (!page)
        return failure(QStringLiteral("「 ") + CapturedPages::folderOf(bookFolder) + QStringLiteral(" 」に書き込めません。"));
    leftovers.placed(*page);

    const QString &key = added->key;
    std::ignore = editor.rename(key, order->name.isEmpty() ? capture::itemNameFor(outcome.title, *url) : order->name);
    // The page's side text is there from the start, as the window leaves it: an
    // empty note, so that showing the item finds nothing missing.
    const QString urlFileName = ContentNames::urlFileName(key);
    const QString sideTextName = ContentNames::textFileName(pageTextName(key, pageBaseName(*page)));
    // An earlier version keeps the book file, and files of these names should any be left
    // there; a version that cannot be kept costs the book nothing, so the capture goes on.
    std::optional<BookVersions> versions;
    versions.emplace(folders.versionsFolder, bookPath, bookFolder);
    if (!versions->begin())
        versions.reset();
    for (const QString &name : {urlFileName, sideTextName}) {
        if (!versions)
            break;
        if (!QFileInfo::exists(bookFolder + name))
            versions->added(name);
        else if (!versions->keep(name))
            versions.reset();
    }
    const auto written = [&](const QString &name, bool wrote) {
        if (wrote)
            leftovers.wrote(bookFolder + name);
        return wrote;
    };
    QString failedFile;
    if (!written(urlFileName, WorkingFolder(bookFolder).pageSettings().storePagePath(key, *page)))
        failedFile = bookFolder + urlFileName;
    else if (!QFileInfo::exists(bookFolder + sideTextName) // one left there is somebody's note
             && !written(sideTextName, richtext::saveFile(QTextDocument(), bookFolder + sideTextName,
                                                          richtext::FileType::Rtf)))
        failedFile = bookFolder + sideTextName;
    else if (!writeBookFile(bookPath, tree))
        failedFile = bookPath;
    if (versions)
        std::ignore = versions->finish();
    if (!failedFile.isEmpty())
        return failure(QStringLiteral("「 ") + failedFile + QStringLiteral(" 」に書き込めません。"));
    leftovers.keep();
    const QString notice = capture::leftOutNotice(outcome.localReferencesLeftOut);
    return {0, key + u'\n', notice.isEmpty() ? QString() : notice + u'\n'};
}

} // namespace kobin
