#pragma once

#include <QString>

namespace kobin::search {

// Where in an item a match was found.
enum class Place {
    Caption,  // "名前"
    Note,     // "テキスト": the note of the book item, a folder or a text item
    Page,     // "ページ": the text a saved page shows
    SideText, // "ページのテキスト": the note kept beside one page of a homepage item
};

// What the index keeps a source under, unique within the book: its place, the name
// it has there (the item's key for a caption or a page, the content file's name for
// a note or a side text) and, for a page, the page's path. An item's key never holds
// a line break, so the string form is never ambiguous.
struct SourceId {
    Place place = Place::Caption;
    QString name;
    QString path; // a page's only

    // The form indexes hold: "caption:a1", "note:a1.rtf", "side:a2index.rtf",
    // "page:a2" + "\n" + the page's path.
    QString toString() const;
};

} // namespace kobin::search
