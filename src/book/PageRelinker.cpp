#include "PageRelinker.h"

#include "Book.h"
#include "BookOutline.h"
#include "ItemKinds.h"
#include "PageLocator.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <deque>

namespace kobin {

QList<BrokenLink> brokenLinks(const Book &book)
{
    QList<BrokenLink> broken;
    for (const auto &[item, depth] : itemsInTreeOrder(book.tree())) {
        if (kindOf(*item) != ItemKind::Homepage)
            continue;
        const std::optional<QString> recorded = book.workingFolder().pageSettings().pagePath(item->key());
        if (!recorded || !isPageFile(pagePathFor(*recorded, book.bookPath(), book.appPath())))
            broken.append({item->key(), item->text(), recorded.value_or(QString())});
    }
    return broken;
}

PageIndex::PageIndex(const QString &folder)
{
    struct Pending {
        QString folder;
        int depth;
    };
    std::deque<Pending> pending{{QDir::cleanPath(folder), 0}};
    int files = 0;
    while (!pending.empty()) {
        const Pending next = pending.front();
        pending.pop_front();
        const QFileInfoList entries = QDir(next.folder).entryInfoList(
            QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo &entry : entries) {
            if (entry.isDir()) {
                if (entry.isSymLink())
                    continue;
                if (next.depth + 1 >= kMaxDepth) {
                    m_incomplete = true;
                    continue;
                }
                pending.push_back({entry.filePath(), next.depth + 1});
            } else if (entry.isFile()) {
                if (++files > kMaxFiles) {
                    m_incomplete = true;
                    return;
                }
                m_byName.insert(entry.fileName().toLower(), entry.filePath());
            }
        }
    }
}

namespace {
// How many trailing components two paths share, compared without case.
int sharedTail(const QStringList &a, const QStringList &b)
{
    int shared = 0;
    for (auto x = a.crbegin(), y = b.crbegin(); x != a.crend() && y != b.crend(); ++x, ++y) {
        if (x->compare(*y, Qt::CaseInsensitive) != 0)
            break;
        ++shared;
    }
    return shared;
}
} // namespace

std::optional<QString> PageIndex::find(const QString &recordedPath) const
{
    if (recordedPath.size() > PageLocator::kMaxPathLength)
        return std::nullopt;
    const QStringList parts = pathComponents(recordedPath);
    if (parts.isEmpty())
        return std::nullopt;
    std::optional<QString> best;
    int bestShared = 0;
    for (const QString &candidate : m_byName.values(parts.last().toLower())) {
        const int shared = sharedTail(parts, pathComponents(candidate));
        if (!best || shared > bestShared || (shared == bestShared && candidate < *best)) {
            best = candidate;
            bestShared = shared;
        }
    }
    return best;
}

RelinkResult relinkPages(Book &book, const QList<BrokenLink> &broken, const PageIndex &index)
{
    RelinkResult result;
    for (const BrokenLink &link : broken) {
        const std::optional<QString> found = link.recordedPath.isEmpty() ? std::nullopt : index.find(link.recordedPath);
        if (!found) {
            result.remaining.append(link);
        } else if (!book.workingFolder().pageSettings().storePagePath(link.key, QDir::toNativeSeparators(*found))) {
            result.remaining.append(link);
            result.failedFile = book.workingFolder().urlFile(link.key);
        } else {
            ++result.relinked;
        }
    }
    if (result.relinked > 0)
        book.markChanged();
    return result;
}

QString relinkReport(const RelinkResult &result, bool searchIncomplete)
{
    QString report = QStringLiteral("%1 個の項目のリンクを修復しました。").arg(result.relinked);
    if (result.remaining.isEmpty())
        report += QStringLiteral("\nリンク切れの項目は残っていません。");
    else
        report += QStringLiteral("\nページが見つからない項目が %1 個残っています。").arg(result.remaining.size());
    if (!result.failedFile.isEmpty())
        report += QStringLiteral("\n\n「 ") + QDir::toNativeSeparators(result.failedFile)
            + QStringLiteral(" 」\n\nを保存できませんでした。");
    if (searchIncomplete)
        report += QStringLiteral("\n\nフォルダが大きすぎるため、一部だけを探しました。");
    return report;
}

} // namespace kobin
