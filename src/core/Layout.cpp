#include "Layout.h"

namespace kobin {

LayoutResult sizeControls(const LayoutInput &in)
{
    LayoutResult out;
    const float x = in.treeWidth;
    const float y = in.stackedSplit;
    const float z = in.sideSplit;
    const bool leftRight = in.tabKey == arrangement::LeftRight;
    const bool upDown = in.tabKey == arrangement::UpDown;

    out.tree.width = x;
    out.tabStrip.left = in.treeVisible ? x + kSplitterThickness : 0;
    out.content.left = out.tabStrip.left + 30;
    out.webPane.left = 0;
    out.textPane.left = leftRight ? z + kSplitterThickness : 0;

    const float top = in.toolbarVisible ? in.toolbarHeight : 0;
    out.tree.top = top;
    out.tabStrip.top = top;
    out.content.top = out.tabStrip.top + 330;
    out.webPane.top = 0;
    out.textPane.top = upDown ? y + kSplitterThickness : 0;

    out.tabStrip.width = in.treeVisible ? in.innerWidth - out.tabStrip.left : in.innerWidth;
    out.content.width = out.tabStrip.width - 80;
    if (leftRight) {
        out.webPane.width = z - out.webPane.left;
        out.textPane.width = out.content.width - z - kSplitterThickness;
    } else {
        out.webPane.width = out.content.width;
        out.textPane.width = out.content.width;
    }

    out.tree.height = in.innerHeight - (in.statusBarVisible ? in.statusBarHeight : 0)
        - (in.toolbarVisible ? in.toolbarHeight : 0);
    out.tabStrip.height = out.tree.height;
    out.content.height = out.tabStrip.height - 370;
    if (upDown) {
        out.webPane.height = y;
        out.textPane.height = out.content.height - y - kSplitterThickness;
    } else {
        out.webPane.height = out.content.height;
        out.textPane.height = out.content.height + 10;
    }

    out.treeSplitter = {x, out.tree.top, kSplitterThickness, out.tree.height};
    out.stackedSplitter = {out.textPane.left, y, out.textPane.width, kSplitterThickness};
    out.sideSplitter = {z, out.webPane.top, kSplitterThickness, out.webPane.height};
    return out;
}

float treeBarPosition(float p, float windowOuterWidth)
{
    if (p < 60)
        return 60;
    if (p > windowOuterWidth - 60)
        return windowOuterWidth - 240;
    return p - 20;
}

float stackedBarPosition(float p, float contentHeight)
{
    if (p < 50)
        return 70;
    if (p > contentHeight - 80)
        return contentHeight - 130;
    return p - 10;
}

float sideBarPosition(float p, float contentWidth)
{
    if (p < 30)
        return 70;
    if (p > contentWidth - 15)
        return contentWidth - 120;
    return p - 10;
}

float correctedSplit(float position, float contentExtent)
{
    return position > contentExtent || position < 0 ? contentExtent / 2 : position;
}

} // namespace kobin
