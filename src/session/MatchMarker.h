#pragma once

#include <QString>

namespace kobin {

// Marks the match of a chosen search result as a find in the note or the page
// marks what it finds.
class MatchMarker
{
public:
    virtual ~MatchMarker() = default;
    // Every occurrence of text in the note is marked, the first one selected.
    virtual void markInNote(const QString &text) = 0;
    virtual void markInPage(const QString &text) = 0;
    // The marks go: the match is in a caption, or another book was opened.
    virtual void unmark() = 0;
};

} // namespace kobin
