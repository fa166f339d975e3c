#pragma once

#include <QString>

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
};

} // namespace kobin
