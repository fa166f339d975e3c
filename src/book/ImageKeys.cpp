#include "ImageKeys.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

namespace kobin::images {

namespace {
constexpr std::array<QStringView, 43> kImageKeys = {
    u"cut", u"SelectedHtmlfile", u"htmlfile", u"htmlfileee", u"up", u"down", u"leftnode",
    u"rightnode", u"NoSelectedFolderOpen", u"richtxt", u"new", u"html", u"all", u"default",
    u"colorb", u"harlf", u"equalfolder", u"font", u"newHtml", u"newbook", u"newfolder",
    u"SelectedRichtxt", u"root", u"renew", u"edit", u"newRich", u"fclose", u"fopen",
    u"SelectedHtmlfilee", u"back", u"foward", u"copy", u"paste", u"deleate", u"open",
    u"center", u"left", u"right", u"save", u"undo", u"bold", u"italic", u"under",
};

constexpr bool noKeyLongerThan(qsizetype longest)
{
    for (QStringView key : kImageKeys) {
        if (key.size() > longest)
            return false;
    }
    return true;
}
static_assert(noKeyLongerThan(kLongestImageKey), "kLongestImageKey is too short");
}

const QString &imageKey(QStringView key)
{
    // Looked up for every item of every book read: only keys of the same length
    // are compared.
    struct Table {
        std::array<QString, kImageKeys.size()> keys;
        std::array<std::vector<size_t>, kLongestImageKey + 1> byLength;
    };
    static const Table table = [] {
        Table built;
        for (size_t i = 0; i < kImageKeys.size(); ++i) {
            built.keys[i] = kImageKeys[i].toString();
            built.byLength[static_cast<size_t>(kImageKeys[i].size())].push_back(i);
        }
        return built;
    }();
    static const QString none;
    if (key.size() > kLongestImageKey)
        return none;
    for (size_t i : table.byLength[static_cast<size_t>(key.size())]) {
        const QString &candidate = table.keys[i];
        if (std::memcmp(candidate.utf16(), key.utf16(), static_cast<size_t>(key.size()) * sizeof(char16_t)) == 0)
            return candidate;
    }
    return none;
}

bool isImageKey(QStringView key)
{
    return !imageKey(key).isEmpty();
}

} // namespace kobin::images
