#pragma once

#include <QString>

namespace kobin {

// Lengths of the main window's layout, all in twips (1/1440 inch).
struct TwipsRect {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    bool operator==(const TwipsRect &other) const
    {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

// The arrangement of the content area: the key of the selected tab.
namespace arrangement {
inline const QString Html = QStringLiteral("html");
inline const QString Text = QStringLiteral("text");
inline const QString UpDown = QStringLiteral("updown");
inline const QString LeftRight = QStringLiteral("leftright");
} // namespace arrangement

// The pane that last had the keyboard focus: the one the edit commands act on.
enum class Pane { Tree, Text };

struct LayoutInput {
    float innerWidth = 0;  // W
    float innerHeight = 0; // H
    bool treeVisible = true;
    bool toolbarVisible = true;
    float toolbarHeight = 0;
    bool statusBarVisible = true;
    float statusBarHeight = 0;
    QString tabKey = arrangement::Text;
    float treeWidth = 2000;  // x: left edge of the tree's splitter
    float stackedSplit = 3720; // y: top of the splitter between page (above) and text (below)
    float sideSplit = 1080;    // z: left of the splitter between page (left) and text (right)
};

// Where everything goes. The content pane rectangles and the two content
// splitters are relative to the content area.
struct LayoutResult {
    TwipsRect tree;
    TwipsRect tabStrip;
    TwipsRect content; // the content area inside the tab strip's body
    TwipsRect webPane;
    TwipsRect textPane;
    TwipsRect treeSplitter;
    TwipsRect stackedSplitter;
    TwipsRect sideSplitter;
};

constexpr float kSplitterThickness = 30;
constexpr float kMinimumWindowWidth = 5000;
constexpr float kMinimumWindowHeight = 2300;

// Lays out the main window from the three splitter positions.
LayoutResult sizeControls(const LayoutInput &input);

// Splitter drags: where the bar goes for pointer position p (grab area position
// plus the pointer's offset within it).
float treeBarPosition(float p, float windowOuterWidth);
float stackedBarPosition(float p, float contentHeight);
float sideBarPosition(float p, float contentWidth);

// A content splitter position that lies outside the content area goes to its middle.
float correctedSplit(float position, float contentExtent);

} // namespace kobin
