#pragma once

#include <QString>

#include <utility>
#include <vector>

namespace kobin {

// What came of reading a note file into the pane.
enum class NoteReading { Read, Unreadable, NotRegularFile, TooLarge, NotRtf };
// What came of writing the pane's text to a note file; TooLarge: its RTF would be
// larger than any note is read, so nothing was written.
enum class NoteWriting { Written, Unwritable, TooLarge };

// The text pane as the book sees it: it holds the note of one item at a time.
class NotePane
{
public:
    virtual ~NotePane() = default;
    // Replaces the pane's text with the note in path; the text stays unchanged when it cannot be read.
    [[nodiscard]] virtual NoteReading load(const QString &path) = 0;
    // Writes the pane's text to path whole, or leaves the file as it was and tells why.
    [[nodiscard]] virtual NoteWriting save(const QString &path) = 0;
    virtual void clear() = 0;
    // Whether the pane holds what the last load put there or the last save wrote,
    // untouched since: storing it would only write the same note again.
    virtual bool holdsFileText() const = 0;
    // A pane that shows no item takes no typing: what is typed would belong nowhere.
    virtual void setReadOnly(bool readOnly) = 0;
    // Text without formatting (a page's source), "\n" between lines.
    virtual void showPlainText(const QString &text) = 0;
    virtual QString plainText() const = 0;
    // What is typed next is plain: no bold, italic or underline, the pane's own font, black.
    virtual void resetTypingFormat() = 0;

    // Finding in the note. Positions count the characters of findableText(), one to a paragraph's end.
    virtual QString findableText() const = 0;
    // Marks each range (start, end) as a match; none clears the marks.
    virtual void markMatches(const std::vector<std::pair<int, int>> &ranges) = 0;
    // The selection (start, end); start == end is the caret alone.
    virtual std::pair<int, int> selection() const = 0;
    virtual QString selectedText() const = 0;
    // Selects start to end and scrolls it into view, its top no higher than clearBelow
    // (the pane's own coordinates): what lies over the pane's top must not hide it.
    virtual void select(int start, int end, int clearBelow = 0) = 0;
};

} // namespace kobin
