#pragma once

namespace kobin {

// The panes' arrangement as the book sees it: the splitters between the page and
// its side text (twips), kept per page, and the size of the area they share.
class Arrangement
{
public:
    virtual ~Arrangement() = default;
    virtual float stackedSplit() const = 0; // top of the splitter between page and text, stacked
    virtual void setStackedSplit(float twips) = 0;
    virtual float sideSplit() const = 0; // left of the splitter between page and text, side by side
    virtual void setSideSplit(float twips) = 0;
    virtual float contentWidth() const = 0;
    virtual float contentHeight() const = 0;
    // Lays the panes out again from the splitter positions.
    virtual void relayout() = 0;
};

} // namespace kobin
