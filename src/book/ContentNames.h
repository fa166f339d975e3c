#pragma once

#include <QString>
#include <QStringList>

namespace kobin {

// The one place that knows the names of a book's content files: an item's note
// (key ".rtf"), a homepage item's url file (key "url.txt"), and per page it has
// shown, the side text (content id ".rtf") with the splitter files (content id
// ".txt" and "side.txt"); a content id is the key followed by the page's base name.
class ContentNames
{
public:
    static QString textFileName(const QString &contentId); // a note or a side text
    static QString urlFileName(const QString &key);
    static QString stackedSplitFileName(const QString &contentId);
    static QString sideSplitFileName(const QString &contentId);

    // The key of the item a content file belongs to ("a5" for "a5index.rtf"); "" for none.
    static QString keyOf(const QString &name);
    // Whether the name is one a content file can have: ".rtf" or ".txt" at its end.
    static bool isContentFile(const QString &name);
    // The content files directly in folder, in the order sortForSaving gives. Only
    // these belong to a book; nothing else there is touched.
    static QStringList filesIn(const QString &folder);
    // Notes first, then the other files, each by name: the order in which a save
    // writes them, so that a save cut short has written the notes.
    static void sortForSaving(QStringList &names);
};

} // namespace kobin
