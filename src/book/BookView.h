#pragma once

#include <QString>

namespace kobin {

// What showing items and the book commands need from the main window: the text
// pane, the splitters (twips), the command state, the caption and status text,
// the tree's enabled state and the browser pane. Tests answer it with a fake.
class BookView
{
public:
    virtual ~BookView() = default;

    virtual bool saveText(const QString &path) = 0;
    virtual bool loadText(const QString &path) = 0;
    virtual void clearText() = 0;

    virtual float stackedSplit() const = 0; // top of the splitter between page and text, stacked
    virtual void setStackedSplit(float twips) = 0;
    virtual float sideSplit() const = 0; // left of the splitter between page and text, side by side
    virtual void setSideSplit(float twips) = 0;
    virtual float contentWidth() const = 0;
    virtual float contentHeight() const = 0;
    virtual void sizeControls() = 0;

    virtual void updateCommandState(const QString &kind) = 0;
    virtual void setBackEnabled(bool enabled) = 0;
    virtual void setChangeUrlEnabled(bool enabled) = 0;

    virtual QString caption() const = 0;
    virtual void setCaption(const QString &caption) = 0;
    virtual QString statusText() const = 0;
    virtual void setStatusText(const QString &text) = 0;

    virtual void setTreeEnabled(bool enabled) = 0;
    virtual void expandAll() = 0;

    virtual void setBrowserShown(bool shown) = 0;
    virtual void navigate(const QString &page) = 0;
    virtual void startPageTimer() = 0;

    virtual bool isPageSourceEditing() const = 0;
    virtual void leavePageSourceEditing() = 0;

    // Lets pending window events run once.
    virtual void processEvents() = 0;
};

} // namespace kobin
