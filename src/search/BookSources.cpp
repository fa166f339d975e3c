#include "BookSources.h"

#include "ItemKinds.h"
#include "ItemTree.h"
#include "PageFiles.h"
#include "PageLocator.h"
#include "PageNames.h"
#include "WorkingFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace kobin::search {

namespace {

const QString kRtf = QStringLiteral(".rtf");

// The item key a content file name starts with ("a12" of "a12index.rtf").
// Page files of each folder, by base name, each folder listed once.
class PageFolders
{
public:
    QStringList pages(const QString &folder, const QString &baseName)
    {
        auto it = m_byFolder.find(folder);
        if (it == m_byFolder.end()) {
            QMultiHash<QString, QString> byBase;
            const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Readable, QDir::Name);
            for (const QString &name : names) {
                const QString path = QDir(folder).filePath(name);
                if (PageFiles::isPage(path))
                    byBase.insert(pageBaseName(name), path);
            }
            it = m_byFolder.insert(folder, byBase);
        }
        return it->values(baseName);
    }

private:
    QHash<QString, QMultiHash<QString, QString>> m_byFolder;
};

} // namespace

QString placeName(Place place)
{
    switch (place) {
    case Place::Caption: return QStringLiteral("名前");
    case Place::Note: return QStringLiteral("テキスト");
    case Place::Page: return QStringLiteral("ページ");
    case Place::SideText: return QStringLiteral("ページのテキスト");
    }
    return {};
}

std::vector<IndexedItem> indexedItems(const ItemTree &tree)
{
    std::vector<IndexedItem> items;
    items.reserve(static_cast<size_t>(tree.count()));
    std::vector<const TreeItem *> stack;
    for (auto it = tree.topLevelItems().rbegin(); it != tree.topLevelItems().rend(); ++it)
        stack.push_back(*it);
    while (!stack.empty()) {
        const TreeItem *item = stack.back();
        stack.pop_back();
        items.push_back({item->key(), item->text(), kindOf(*item)});
        for (auto it = item->children().rbegin(); it != item->children().rend(); ++it)
            stack.push_back(*it);
    }
    return items;
}

QString treePath(const TreeItem &item)
{
    QStringList captions;
    for (const TreeItem *at = &item; at; at = at->parent())
        captions.prepend(at->text());
    return captions.join(QStringLiteral(" ＞ "));
}

std::optional<Source> contentFileSource(const QString &name, const QString &path,
                                        const std::function<std::optional<ItemKind>(const QString &key)> &kindOf)
{
    if (!name.endsWith(kRtf))
        return std::nullopt;
    const QString key = ContentNames::keyOf(name);
    const std::optional<ItemKind> kind = key.isEmpty() ? std::nullopt : kindOf(key);
    if (!kind)
        return std::nullopt; // the note of an item no longer in the tree
    const QStringView tail = QStringView(name).sliced(key.size(), name.size() - key.size() - kRtf.size());
    if (tail.isEmpty())
        return Source{SourceId{Place::Note, name, {}}.toString(), key, Place::Note, {}, path, {}};
    if (*kind != ItemKind::Homepage)
        return std::nullopt;
    return Source{SourceId{Place::SideText, name, {}}.toString(), key, Place::SideText, pageBaseNameAfterKey(tail), path, {}};
}

std::vector<Source> bookSources(const std::vector<IndexedItem> &items, const WorkingFolder &folder,
                                const BookLocation &location)
{
    const QStringList names = folder.readableContentFiles().value_or(QStringList());
    std::vector<Source> sources;
    sources.reserve(items.size() + static_cast<size_t>(names.size()));
    QHash<QString, const IndexedItem *> byKey;
    byKey.reserve(static_cast<qsizetype>(items.size()));
    for (const IndexedItem &item : items) {
        byKey.insert(item.key, &item);
        sources.push_back({SourceId{Place::Caption, item.key, {}}.toString(), item.key, Place::Caption, {}, {}, item.caption});
    }

    const auto kindOf = [&byKey](const QString &key) -> std::optional<ItemKind> {
        const IndexedItem *item = byKey.value(key);
        return item ? std::optional<ItemKind>(item->kind) : std::nullopt;
    };
    QHash<QString, QStringList> sideTextBases; // by homepage item key
    for (const QString &name : names) {
        std::optional<Source> source = contentFileSource(name, folder.readableFile(name), kindOf);
        if (!source)
            continue;
        if (source->place == Place::SideText)
            sideTextBases[source->key].append(source->page);
        sources.push_back(std::move(*source));
    }

    PageFolders pageFolders;
    for (const IndexedItem &item : items) {
        if (item.kind != ItemKind::Homepage)
            continue;
        const std::optional<QString> named = folder.pageSettings().pagePath(item.key);
        if (!named || named->isEmpty())
            continue;
        const QString page = QDir::cleanPath(pagePathFor(*named, location.bookPath, location.appPath));
        // A page that is not there stays, to be counted unreadable; one the viewer would refuse is never read.
        if (QFileInfo::exists(page) && !PageFiles::isPage(page))
            continue;
        QStringList pages{page};
        const QString pageDir = QFileInfo(page).absolutePath();
        const PageFiles ownFiles(page);
        for (const QString &baseName : sideTextBases.value(item.key)) {
            for (const QString &other : pageFolders.pages(pageDir, baseName)) {
                if (!pages.contains(other) && ownFiles.holds(other))
                    pages.append(other);
            }
        }
        for (const QString &path : pages)
            sources.push_back({SourceId{Place::Page, item.key, path}.toString(), item.key, Place::Page, path, path, {}});
    }
    return sources;
}

} // namespace kobin::search
