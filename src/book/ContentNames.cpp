#include "ContentNames.h"

#include "FolderFiles.h"

#include <algorithm>

namespace kobin {

QString ContentNames::textFileName(const QString &contentId)
{
    return contentId + QStringLiteral(".rtf");
}

QString ContentNames::urlFileName(const QString &key)
{
    return key + QStringLiteral("url.txt");
}

QString ContentNames::stackedSplitFileName(const QString &contentId)
{
    return contentId + QStringLiteral(".txt");
}

QString ContentNames::sideSplitFileName(const QString &contentId)
{
    return contentId + QStringLiteral("side.txt");
}

QString ContentNames::keyOf(const QString &name)
{
    // A key is "a" and digits, and the tail of its file names never starts with a
    // digit: the key a file belongs to is the name's longest such beginning.
    qsizetype end = 1;
    while (end < name.size() && name[end].isDigit())
        ++end;
    if (name.startsWith(u'a') && end > 1 && name.size() >= end + 4)
        return name.left(end);
    return QString();
}

bool ContentNames::isContentFile(const QString &name)
{
    return name.endsWith(QLatin1String(".rtf")) || name.endsWith(QLatin1String(".txt"));
}

QStringList ContentNames::filesIn(const QString &folder)
{
    QStringList names = fileNamesIn(folder);
    names.erase(std::remove_if(names.begin(), names.end(), [](const QString &name) { return !isContentFile(name); }),
                names.end());
    sortForSaving(names);
    return names;
}

void ContentNames::sortForSaving(QStringList &names)
{
    const auto others = std::partition(names.begin(), names.end(),
                                       [](const QString &name) { return name.endsWith(QLatin1String(".rtf")); });
    std::sort(names.begin(), others);
    std::sort(others, names.end());
}

} // namespace kobin
