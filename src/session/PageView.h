#pragma once

#include <QString>

#include <functional>

namespace kobin {

// The web page pane as the book sees it.
class PageView
{
public:
    virtual ~PageView() = default;
    virtual void navigate(const QString &page) = 0;
    virtual void setShown(bool shown) = 0;
    virtual QString title() const = 0;
    // False when there is no page to go to (nothing will load).
    virtual bool goBack() = 0;
    virtual bool goForward() = 0;
    virtual void reload() = 0;
    // Editing the page's source in place; showing another page ends it.
    virtual bool isSourceEditing() const = 0;
    virtual void leaveSourceEditing() = 0;
    // Whether a page is shown that can be searched.
    virtual bool canFind() const = 0;
    // Marks every match of text in the page and selects the next (or previous) one; found is told
    // which match is selected and how many there are. An empty text clears the marks.
    virtual void findText(const QString &text, bool backward, const std::function<void(int active, int total)> &found) = 0;
};

} // namespace kobin
