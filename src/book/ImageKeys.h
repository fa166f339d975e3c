#pragma once

#include <QString>
#include <QStringView>

namespace kobin::images {

// The image keys that give an item its kind (the image key is the only record of it).
inline constexpr char16_t Root[] = u"root";
inline constexpr char16_t FolderClosed[] = u"fclose";
inline constexpr char16_t FolderOpen[] = u"fopen";
inline constexpr char16_t RichText[] = u"richtxt";
inline constexpr char16_t SelectedRichText[] = u"SelectedRichtxt";
inline constexpr char16_t HtmlFile[] = u"htmlfile";
inline constexpr char16_t SelectedHtmlFile[] = u"SelectedHtmlfile";

// True for the 43 keys of the program's image list; an item may only carry these.
bool isImageKey(QStringView key);

// The image list's own copy of a key (shared, so a large book holds each key once);
// an empty string for a key that is not in the list.
const QString &imageKey(QStringView key);

// The longest image key, so that readers can reject longer fields without copying them.
constexpr int kLongestImageKey = 20; // "NoSelectedFolderOpen"

} // namespace kobin::images
