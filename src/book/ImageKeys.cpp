#include "ImageKeys.h"

#include <algorithm>
#include <array>

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
}

bool isImageKey(QStringView key)
{
    return std::find(kImageKeys.begin(), kImageKeys.end(), key) != kImageKeys.end();
}

} // namespace kobin::images
