#include "PageImport.h"

#include "AtomicFile.h"
#include "PageBundle.h"

#include <QDir>
#include <QFileInfo>

namespace kobin {

std::optional<QString> importPage(const QString &page, const QString &folder, QString *failed)
{
    const QFileInfo info(page);
    const PageBundle bundle(page, PageBundle::foldersIn(info.path()));
    const QString copy = folder + info.fileName();
    if (!bundle.isPage() || !copyFileAtomically(page, copy)) {
        *failed = page;
        return std::nullopt;
    }
    for (const auto &[source, name] : bundle.files()) {
        const QString target = folder + name;
        if (!QDir().mkpath(QFileInfo(target).path()) || !copyFileAtomically(source, target)) {
            *failed = source;
            return std::nullopt;
        }
    }
    return copy;
}

} // namespace kobin
