#include "IndexDiff.h"

#include "SourceContent.h"
#include "Sqlite.h"

#include <QHash>
#include <QStringView>

namespace kobin::search {

std::optional<IndexDiff> diffWithIndex(SqliteDatabase &db, const std::vector<Source> &sources)
{
    // What the index holds of each source, paired by going through both in order
    // and looking a source up by its id only where the order differs: an
    // unchanged book gives its sources in the order they were first indexed in.
    struct Known {
        qint64 id = -1; // not indexed yet
        qint64 size = -1;
        qint64 time = -1;
        qint64 digest = -1;
    };
    std::vector<Known> known(sources.size());
    IndexDiff diff;
    QHash<QStringView, size_t> byId;  // each id's first source; made when first needed
    std::vector<bool> repeated;        // a source whose id an earlier one has
    const auto lookUp = [&](QStringView id) {
        if (repeated.empty() && !sources.empty()) {
            byId.reserve(static_cast<qsizetype>(sources.size()));
            repeated.resize(sources.size());
            for (size_t i = 0; i < sources.size(); ++i) {
                const auto it = byId.constFind(QStringView(sources[i].id));
                repeated[i] = it != byId.constEnd();
                if (!repeated[i])
                    byId.insert(QStringView(sources[i].id), i);
            }
        }
        return byId.value(id, sources.size());
    };
    {
        SqliteStatement all(db, "SELECT id, source, size, time, digest FROM docs ORDER BY id");
        size_t next = 0;
        while (all.next()) {
            const QStringView id = all.textView(1);
            const bool inOrder = next < sources.size() && sources[next].id == id && (repeated.empty() || !repeated[next]);
            const size_t at = inOrder ? next : lookUp(id);
            if (at == sources.size()) {
                diff.stale.push_back(all.integer(0));
                continue;
            }
            known[at] = {all.integer(0), all.integer(2), all.integer(3), all.integer(4)};
            next = at + 1;
        }
        if (db.failed())
            return std::nullopt;
    }

    for (size_t i = 0; i < sources.size(); ++i) {
        const Source &source = sources[i];
        const Known &file = known[i];
        if (file.id < 0 && lookUp(source.id) != i)
            continue; // given twice
        const auto [size, time] = sourceStamp(source);
        if (file.id < 0)
            diff.changes.push_back({&source, size, time, true});
        else if (file.size != size || (source.place == Place::Caption && file.digest != captionDigest(source.text)))
            diff.changes.push_back({&source, size, time, false});
        else if (file.time != time && file.digest == fileDigest(source))
            diff.copied.emplace_back(file.id, time);
        else if (file.time != time)
            diff.changes.push_back({&source, size, time, false});
    }
    return diff;
}

} // namespace kobin::search
