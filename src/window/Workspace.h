#pragma once

#include "Layout.h"

#include <QStringList>
#include <QWidget>
#include <functional>

class QTabBar;
class QFrame;

namespace kobin {

class SplitterGrip;
class SplitterBar;

// The main window's central area: the tree at the left, the arrangement tabs and
// the content area with the web and text panes, and the three splitters. Every
// length is kept in twips and turned into pixels only when widgets are placed.
class Workspace : public QWidget
{
    Q_OBJECT

public:
    Workspace(QWidget *tree, QWidget *webPane, QWidget *textPane, QWidget *parent = nullptr);

    float treeWidth() const { return m_x; }
    float stackedSplit() const { return m_y; }
    float sideSplit() const { return m_z; }
    void setSplits(float treeWidth, float stackedSplit, float sideSplit);

    // Lays everything out from the three splitter positions.
    void sizeControls(float treeWidth, float stackedSplit, float sideSplit);
    void relayout() { sizeControls(m_x, m_y, m_z); }

    bool isTreeShown() const { return m_treeShown; }
    void setTreeShown(bool shown);

    // The arrangement tabs, by key; selecting one applies its arrangement.
    void setTabs(const QStringList &keys, const QString &selected);
    QStringList tabKeys() const;
    QString selectedTab() const;
    void applyArrangement();

    // A button kept in the top right corner, level with the top of the tree.
    void setCornerButton(QWidget *button);

    const LayoutResult &lastLayout() const { return m_layout; }
    bool isDragging() const { return m_dragging; }

signals:
    void tabChosen(const QString &key);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // A splitter's grab area, and the bar that follows the mouse while it is dragged.
    struct Splitter {
        SplitterGrip *grip = nullptr;
        SplitterBar *bar = nullptr;
        TwipsRect barRect;
    };
    void connectSplitter(Splitter &splitter, std::function<TwipsRect()> barAtPress,
                         std::function<void(TwipsRect &bar, QPoint offset)> follow,
                         std::function<void(const TwipsRect &bar)> release);
    void connectSplitters();
    void place(QWidget *widget, const TwipsRect &rect);
    LayoutInput input() const;
    float windowOuterWidth() const;

    QWidget *m_tree;
    QWidget *m_webPane;
    QWidget *m_textPane;
    QFrame *m_tabBody;
    QTabBar *m_tabBar;
    QWidget *m_content;
    QWidget *m_cornerButton = nullptr;
    Splitter m_treeSplitter;
    Splitter m_stackedSplitter;
    Splitter m_sideSplitter;

    float m_x = 2000;
    float m_y = 3720;
    float m_z = 1080;
    bool m_treeShown = true;
    bool m_dragging = false;
    LayoutResult m_layout;
};

} // namespace kobin
