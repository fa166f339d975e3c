#include "Layout.h"

#include <QtTest>

using namespace kobin;

namespace {

LayoutInput window(const QString &tab)
{
    LayoutInput in;
    in.innerWidth = 11000;
    in.innerHeight = 6000;
    in.toolbarHeight = 420;
    in.statusBarHeight = 300;
    in.tabKey = tab;
    in.treeWidth = 2000;
    in.stackedSplit = 2000;
    in.sideSplit = 3000;
    return in;
}

} // namespace

class TestLayout : public QObject
{
    Q_OBJECT

private slots:
    void textArrangementFillsTheContentArea()
    {
        const LayoutResult r = sizeControls(window(arrangement::Text));
        QCOMPARE(r.tree, (TwipsRect{0, 420, 2000, 5280}));
        QCOMPARE(r.tabStrip, (TwipsRect{2030, 420, 8970, 5280}));
        QCOMPARE(r.content, (TwipsRect{2060, 750, 8890, 4910}));
        QCOMPARE(r.webPane, (TwipsRect{0, 0, 8890, 4910}));
        QCOMPARE(r.textPane, (TwipsRect{0, 0, 8890, 4920})); // 10 twips taller than the content area
        QCOMPARE(r.treeSplitter, (TwipsRect{2000, 420, 30, 5280}));
    }

    void upDownSplitsAtY()
    {
        const LayoutResult r = sizeControls(window(arrangement::UpDown));
        QCOMPARE(r.webPane, (TwipsRect{0, 0, 8890, 2000}));
        QCOMPARE(r.textPane, (TwipsRect{0, 2030, 8890, 4910 - 2000 - 30}));
        QCOMPARE(r.stackedSplitter, (TwipsRect{0, 2000, 8890, 30}));
    }

    void leftRightSplitsAtZ()
    {
        const LayoutResult r = sizeControls(window(arrangement::LeftRight));
        QCOMPARE(r.webPane, (TwipsRect{0, 0, 3000, 4910}));
        QCOMPARE(r.textPane, (TwipsRect{3030, 0, 8890 - 3000 - 30, 4920}));
        QCOMPARE(r.sideSplitter, (TwipsRect{3000, 0, 30, 4910}));
        QCOMPARE(r.stackedSplitter.left, 3030.0f);
    }

    void hiddenBarsGiveTheTreeTheFullHeight()
    {
        LayoutInput in = window(arrangement::Text);
        in.toolbarVisible = false;
        in.statusBarVisible = false;
        const LayoutResult r = sizeControls(in);
        QCOMPARE(r.tree.top, 0.0f);
        QCOMPARE(r.tree.height, 6000.0f);
        QCOMPARE(r.content.top, 330.0f);
    }

    void hiddenTreeLetsTheTabStripSpanTheWindow()
    {
        LayoutInput in = window(arrangement::Text);
        in.treeVisible = false;
        const LayoutResult r = sizeControls(in);
        QCOMPARE(r.tabStrip.left, 0.0f);
        QCOMPARE(r.tabStrip.width, 11000.0f);
        QCOMPARE(r.content.left, 30.0f);
        QCOMPARE(r.treeSplitter.left, 2000.0f); // still placed at x
    }

    void treeSplitterLimits()
    {
        QCOMPARE(treeBarPosition(10, 12000), 60.0f);
        QCOMPARE(treeBarPosition(11950, 12000), 12000.0f - 240);
        QCOMPARE(treeBarPosition(3000, 12000), 2980.0f);
        // Pressing and releasing without moving widens the tree by 30 twips: the
        // bar is placed at the tab strip's left.
        const LayoutResult r = sizeControls(window(arrangement::Text));
        LayoutInput released = window(arrangement::Text);
        released.treeWidth = r.tabStrip.left;
        QCOMPARE(sizeControls(released).tree.width, 2030.0f);
    }

    void contentSplitterLimits()
    {
        QCOMPARE(stackedBarPosition(20, 5000), 70.0f);
        QCOMPARE(stackedBarPosition(4950, 5000), 4870.0f);
        QCOMPARE(stackedBarPosition(1000, 5000), 990.0f);
        QCOMPARE(sideBarPosition(10, 9000), 70.0f);
        QCOMPARE(sideBarPosition(8990, 9000), 8880.0f);
        QCOMPARE(sideBarPosition(4000, 9000), 3990.0f);
    }

    void splitsOutsideTheContentAreaGoToItsMiddle()
    {
        QCOMPARE(correctedSplit(6000, 4000), 2000.0f);
        QCOMPARE(correctedSplit(-1, 4000), 2000.0f);
        QCOMPARE(correctedSplit(3720, 4000), 3720.0f);
    }
};

QTEST_GUILESS_MAIN(TestLayout)
#include "tst_layout.moc"
