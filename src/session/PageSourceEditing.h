#pragma once

#include "PageSource.h"

#include <optional>

namespace kobin {

class Book;
class CommandRegistry;
class NotePane;
class Prompter;

// The button that writes the page source back, shown while a page's source is in the text pane.
class PageSourceButton
{
public:
    virtual ~PageSourceButton() = default;
    virtual void setShown(bool shown) = 0;
};

// Editing the source of the page shown, in the text pane: the side text is kept
// in its file meanwhile and comes back when the mode ends; the source is written
// back in the encoding and with the line breaks it was read with.
class PageSourceEditing
{
public:
    struct Views {
        NotePane &note;
        PageSourceButton &saveButton;
    };

    PageSourceEditing(Book &book, Views views, Prompter &prompter, CommandRegistry &commands);

    // The mode on the Browser menu and the "edit" button: each call turns it over.
    void bindCommands();
    bool isOn() const;
    void toggle();

    // Writes the text pane's source over the page file, whole or not at all; a
    // character the page's encoding cannot hold, or a failed write, is reported.
    [[nodiscard]] bool save();

private:
    void enter();
    void leave();
    bool loadSource(const QString &path);
    QString sideTextFile() const;
    bool refuse(const QString &reason);

    Book &m_book;
    Views m_views;
    Prompter &m_prompter;
    CommandRegistry &m_commands;
    std::optional<PageSource> m_source; // the page in the pane, and how it was written
    QString m_sourcePath;
};

} // namespace kobin
