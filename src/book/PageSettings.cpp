#include "PageSettings.h"

#include "AtomicFile.h"
#include "BoundedFile.h"
#include "ContentNames.h"
#include "Cp932.h"
#include "NumberFile.h"
#include "PageNames.h"
#include "WorkingFolder.h"

namespace kobin {

std::optional<QString> PageSettings::pagePath(const QString &key) const
{
    // A path and a line break: anything much longer is no url file.
    const std::optional<QByteArray> bytes =
        readRegularFile(m_folder.readableFile(ContentNames::urlFileName(key)), 64 * 1024);
    if (!bytes)
        return std::nullopt;
    return pagePathFromUrlFile(decodeSystemText(*bytes));
}

bool PageSettings::storePagePath(const QString &key, const QString &page) const
{
    return saveFileAtomically(m_folder.urlFile(key), encodeSystemText(page + QStringLiteral("\r\n")));
}

std::optional<float> PageSettings::stackedSplit(const QString &contentId) const
{
    return readNumberFile(m_folder.readableFile(ContentNames::stackedSplitFileName(contentId)));
}

std::optional<float> PageSettings::sideSplit(const QString &contentId) const
{
    return readNumberFile(m_folder.readableFile(ContentNames::sideSplitFileName(contentId)));
}

bool PageSettings::storeSplits(const QString &folder, const QString &contentId, float stacked, float side,
                               QString *failedFile)
{
    for (const auto &[file, value] : {std::pair{folder + ContentNames::stackedSplitFileName(contentId), stacked},
                                      std::pair{folder + ContentNames::sideSplitFileName(contentId), side}}) {
        if (!writeNumberFile(file, value)) {
            if (failedFile)
                *failedFile = file;
            return false;
        }
    }
    return true;
}

bool PageSettings::storeSplits(const QString &contentId, float stacked, float side, QString *failedFile) const
{
    // Showing a page is no change to it: positions as they were are not written again.
    if (stackedSplit(contentId) == stacked && sideSplit(contentId) == side)
        return true;
    return storeSplits(m_folder.writableFile(QString()), contentId, stacked, side, failedFile);
}

} // namespace kobin
