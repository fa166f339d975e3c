#include "BookCheck.h"

#include "BookContent.h"
#include "BookOutline.h"
#include "CapturedPages.h"
#include "FolderFiles.h"
#include "ItemKinds.h"
#include "ItemTree.h"
#include "PageBundle.h"
#include "PageLocator.h"
#include "RichTextFiles.h"
#include "TreeString.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace kobin {

namespace {

QString itemName(const TreeItem &item)
{
    return QStringLiteral("「") + item.text() + QStringLiteral("」(") + item.key() + u')';
}

QString noteProblem(const QString &path)
{
    richtext::LoadFailure failure = richtext::LoadFailure::Unreadable;
    if (richtext::loadPlainText(path, u"\n", &failure))
        return {};
    switch (failure) {
    case richtext::LoadFailure::NotRegularFile: return QStringLiteral(" は通常のファイルではありません。");
    case richtext::LoadFailure::TooLarge: return QStringLiteral(" は大きすぎて読めません。");
    case richtext::LoadFailure::NotRtf: return QStringLiteral(" はリッチテキストではありません。");
    case richtext::LoadFailure::Unreadable:
    case richtext::LoadFailure::TooLargeToWrite: // a conversion's, never a load's
        break;
    }
    return QStringLiteral(" を読めません。");
}

bool captionFits(const QString &caption)
{
    return caption.size() <= treestring::kMaxCaptionLength && treestring::storableCaption(caption) == caption
        && std::none_of(caption.begin(), caption.end(), [](QChar ch) { return ch.unicode() < 0x20 || ch.unicode() == 0x7F; });
}

// The key a content file's name begins with ("a12" of "a12index.rtf"); empty when none.
QString keyOf(const QString &name)
{
    static const QRegularExpression key(QStringLiteral("^[aA]\\d+(?!\\d)"));
    return key.match(name).captured().toLower();
}

// The file a sync tool's conflict copy was made of: "a5.rtf" of
// "a5.sync-conflict-20261201-101010-ABCDEFG.rtf" (Syncthing) and of
// "a5 (conflicted copy 2026-12-01).rtf" (Nextcloud, Dropbox); nullopt for other names.
std::optional<QString> conflictCopyOf(const QString &name)
{
    static const QRegularExpression copy(QStringLiteral("\\.sync-conflict-[^.]*| \\([^)]*conflicted copy[^)]*\\)"),
                                         QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = copy.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    return QString(name).remove(match.capturedStart(), match.capturedLength());
}

void checkConflictCopies(const ItemTree &tree, const BookContent &content, BookCheckReport &report)
{
    // Only the few copies are sorted, not the book folder's every name.
    QList<std::pair<QString, QString>> copies; // name, the file it was made of
    for (const QString &name : fileNamesIn(content.bookFolder())) {
        if (std::optional<QString> original = conflictCopyOf(name))
            copies.append({name, std::move(*original)});
    }
    std::sort(copies.begin(), copies.end());
    for (const auto &[name, original] : std::as_const(copies)) {
        const TreeItem *item = tree.item(keyOf(original));
        report.problems << (item ? itemName(*item) + QStringLiteral(" の ") : QString()) + original
                + QStringLiteral(" には同期ツールが残した競合コピー ") + name
                + (item ? QStringLiteral(" があります。どちらを残すか確かめてください。")
                        : QStringLiteral(" があります（どの項目のものでもありません）。"));
    }
}

// The book folder's files as BookContent finds them, its regular files listed once:
// looking each item's note up on its own would cost a system call per item.
class ListedContent
{
public:
    explicit ListedContent(const BookContent &content)
        : m_content(content), m_folder(QDir::cleanPath(content.bookFolder()) + u'/')
    {
        const QStringList names = regularFileNamesIn(m_folder);
        m_files = QSet<QString>(names.begin(), names.end());
    }

    // A name not listed may still be there with other capitals, or as a folder.
    std::optional<QString> file(const QString &name) const
    {
        return m_files.contains(name) ? m_folder + name : m_content.file(name);
    }

private:
    const BookContent &m_content;
    QString m_folder;
    QSet<QString> m_files;
};

// What the check finds of an item's note: where it is read from, and what is wrong with it.
struct NoteFinding {
    std::optional<QString> path; // none for a homepage item, or a note that is not there
    QString problem;
};

// The findings of the items' notes, in their order. The notes are read and
// parsed on every core: they take most of a large book's check.
std::vector<NoteFinding> findNotes(const std::vector<OutlineEntry> &items, const ListedContent &content)
{
    std::vector<NoteFinding> findings(items.size());
    for (size_t i = 0; i < items.size(); ++i) {
        if (kindOf(*items[i].item) != ItemKind::Homepage)
            findings[i].path = content.file(ContentNames::textFileName(items[i].item->key()));
    }
    std::atomic<size_t> next{0};
    const auto readNotes = [&] {
        for (size_t i; (i = next++) < findings.size();) {
            if (findings[i].path)
                findings[i].problem = noteProblem(*findings[i].path);
        }
    };
    std::vector<std::thread> helpers(std::clamp(std::thread::hardware_concurrency(), 1u, 4u) - 1);
    for (std::thread &helper : helpers)
        helper = std::thread(readNotes);
    readNotes();
    for (std::thread &helper : helpers)
        helper.join();
    return findings;
}

void checkNote(const TreeItem &item, const NoteFinding &note, BookCheckReport &report)
{
    const QString name = ContentNames::textFileName(item.key());
    if (!note.path)
        report.problems << itemName(item) + QStringLiteral(" のメモ ") + name + QStringLiteral(" がありません。");
    else if (!note.problem.isEmpty())
        report.problems << itemName(item) + QStringLiteral(" のメモ ") + name + note.problem;
}

void checkPage(const TreeItem &item, const BookContent &content, BookCheckReport &report)
{
    const QString urlName = ContentNames::urlFileName(item.key());
    const std::optional<QString> recorded = content.recordedPage(item.key());
    if (!recorded) {
        report.problems << itemName(item) + QStringLiteral(" の参照先ファイル ") + urlName
                + (content.file(urlName) ? QStringLiteral(" を読めません。") : QStringLiteral(" がありません。"));
        return;
    }
    const std::optional<QString> page = content.page(item.key());
    if (!page) {
        report.problems << itemName(item) + QStringLiteral(" のページ ") + *recorded + QStringLiteral(" が見つかりません。");
        return;
    }
    const PageBundle bundle(*page, PageBundle::foldersIn(QFileInfo(*page).absolutePath()));
    if (!bundle.isPage()) {
        report.problems << itemName(item) + QStringLiteral(" のページ ") + *recorded
                + QStringLiteral(" はページとして表示できるファイルではないため、書き出しも検索もしません。");
        return;
    }
    for (const QString &file : bundle.leftOut())
        report.problems << itemName(item) + QStringLiteral(" のページのファイル ") + file
                + QStringLiteral(" はページのフォルダの外を指すため、書き出しません。");
    if (QDir::cleanPath(*page) != QDir::cleanPath(pagePathFor(*recorded, content.bookPath(), content.appPath())))
        report.notes << itemName(item) + QStringLiteral(" のページ ") + *recorded + QStringLiteral(" は ")
                + QDir::toNativeSeparators(*page) + QStringLiteral(" にあります（表示すると参照先を直します）。");
}

} // namespace

BookCheckReport checkBook(const ItemTree &tree, int droppedRecords, const BookContent &content)
{
    BookCheckReport report;
    if (droppedRecords > 0)
        report.problems << QStringLiteral("ブックファイルの中に読めない項目が %1 個あり、読み飛ばしました。").arg(droppedRecords);
    if (!QFileInfo(content.bookFolder()).isDir())
        report.problems << QStringLiteral("ブックフォルダ ") + QDir::toNativeSeparators(content.bookFolder())
                + QStringLiteral(" がありません。");

    if (CapturedPages::isLinkedAway(content.bookFolder()))
        report.problems << QStringLiteral("ページのフォルダ ") + QDir::toNativeSeparators(CapturedPages::folderOf(content.bookFolder()))
                + QStringLiteral(" はほかの場所へのリンクです。取り込んだページはそこへは書きません。");

    const std::vector<OutlineEntry> items = itemsInTreeOrder(tree);
    const std::vector<NoteFinding> notes = findNotes(items, ListedContent(content));
    for (size_t i = 0; i < items.size(); ++i) {
        const TreeItem *item = items[i].item;
        if (!captionFits(item->text()))
            report.problems << itemName(*item) + QStringLiteral(" の名前はブックファイルに書けない文字を含みます。");
        if (kindOf(*item) == ItemKind::Homepage)
            checkPage(*item, content, report);
        else
            checkNote(*item, notes[i], report);
    }
    checkConflictCopies(tree, content, report);
    for (const QString &name : ContentNames::filesIn(content.bookFolder())) {
        if (!tree.item(keyOf(name)) && !conflictCopyOf(name))
            report.problems << name + QStringLiteral(" はどの項目のものでもありません。");
    }
    return report;
}

} // namespace kobin
