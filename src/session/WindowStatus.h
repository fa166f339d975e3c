#pragma once

#include <QString>

namespace kobin {

// What the book shows of itself around the panes: the status text and whether
// the tree takes clicks (not while a page loads).
class WindowStatus
{
public:
    virtual ~WindowStatus() = default;
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;
    // Paints the status text at once, before work that keeps the window busy.
    virtual void showStatusNow() = 0;
    virtual void setTreeEnabled(bool enabled) = 0;
    virtual bool isTreeEnabled() const = 0;
    virtual void expandTree() = 0;
};

} // namespace kobin
