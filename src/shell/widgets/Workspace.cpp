#include "Workspace.h"

#include "CommandState.h"
#include "SplitterGrip.h"
#include "Twips.h"

#include <QFrame>
#include <QResizeEvent>
#include <QTabBar>

namespace kobin {

Workspace::Workspace(QWidget *tree, QWidget *webPane, QWidget *textPane, QWidget *parent)
    : QWidget(parent), m_tree(tree), m_webPane(webPane), m_textPane(textPane)
{
    m_tabBody = new QFrame(this);
    m_tabBody->setObjectName(QStringLiteral("tbsMain"));
    m_tabBody->setFrameShape(QFrame::StyledPanel);
    m_tabBar = new QTabBar(m_tabBody);
    m_tabBar->setDrawBase(false);
    m_tabBar->setExpanding(false);
    m_content = new QWidget(this);
    m_content->setObjectName(QStringLiteral("picMain"));
    m_tree->setParent(this);
    m_webPane->setParent(m_content);
    m_textPane->setParent(m_content);

    m_treeGrip = new SplitterGrip(Qt::Horizontal, QStringLiteral("imgSplitter"), this);
    m_stackedGrip = new SplitterGrip(Qt::Vertical, QStringLiteral("imgSplitterHtml"), m_content);
    m_sideGrip = new SplitterGrip(Qt::Horizontal, QStringLiteral("imgSplitterHarlf"), m_content);
    m_treeBar = new SplitterBar(QStringLiteral("picSplitter"), this);
    m_stackedBar = new SplitterBar(QStringLiteral("picSplitterHtml"), m_content);
    m_sideBar = new SplitterBar(QStringLiteral("picSplitterHarlf"), m_content);

    m_webPane->hide();
    setTabs({arrangement::Text}, arrangement::Text);
    connect(m_tabBar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0)
            return;
        m_tabBar->setCurrentIndex(index);
        applyArrangement();
        emit tabChosen(selectedTab());
    });
    connectTreeSplitter();
    connectStackedSplitter();
    connectSideSplitter();
}

void Workspace::setSplits(float treeWidth, float stackedSplit, float sideSplit)
{
    m_x = treeWidth;
    m_y = stackedSplit;
    m_z = sideSplit;
}

LayoutInput Workspace::input() const
{
    const TwipsScale scale = TwipsScale::of(this);
    LayoutInput in;
    // The toolbar and status bar sit outside this area, in the main window.
    in.innerWidth = scale.twipsX(width());
    in.innerHeight = scale.twipsY(height());
    in.toolbarVisible = false;
    in.statusBarVisible = false;
    in.treeVisible = m_treeShown;
    in.tabKey = selectedTab();
    in.treeWidth = m_x;
    in.stackedSplit = m_y;
    in.sideSplit = m_z;
    return in;
}

void Workspace::place(QWidget *widget, const TwipsRect &rect)
{
    widget->setGeometry(TwipsScale::of(this).rect(rect));
}

void Workspace::sizeControls(float treeWidth, float stackedSplit, float sideSplit)
{
    setSplits(treeWidth, stackedSplit, sideSplit);
    m_layout = kobin::sizeControls(input());
    const TwipsScale scale = TwipsScale::of(this);
    place(m_tree, m_layout.tree);
    place(m_tabBody, m_layout.tabStrip);
    m_tabBar->setGeometry(0, 0, scale.pxX(m_layout.tabStrip.width),
                          scale.pxY(m_layout.content.top - m_layout.tabStrip.top));
    place(m_content, m_layout.content);
    m_tabBody->lower();
    place(m_webPane, m_layout.webPane);
    place(m_textPane, m_layout.textPane);
    place(m_treeGrip, m_layout.treeSplitter);
    place(m_stackedGrip, m_layout.stackedSplitter);
    place(m_sideGrip, m_layout.sideSplitter);
    m_treeGrip->raise();
    m_stackedGrip->raise();
    m_sideGrip->raise();
    const QString key = selectedTab();
    m_stackedGrip->setVisible(key == arrangement::UpDown);
    m_sideGrip->setVisible(key == arrangement::LeftRight);
    m_treeGrip->setVisible(m_treeShown);
}

void Workspace::setTreeShown(bool shown)
{
    m_treeShown = shown;
    m_tree->setVisible(shown);
    relayout();
}

void Workspace::setTabs(const QStringList &keys, const QString &selected)
{
    if (keys != tabKeys()) {
        const QSignalBlocker blocker(m_tabBar);
        while (m_tabBar->count() > 0)
            m_tabBar->removeTab(0);
        for (const QString &key : keys) {
            const int index = m_tabBar->addTab(tabCaption(key));
            m_tabBar->setTabData(index, key);
        }
    }
    const int index = static_cast<int>(keys.indexOf(selected));
    if (index >= 0) {
        const QSignalBlocker blocker(m_tabBar);
        m_tabBar->setCurrentIndex(index);
    }
}

QStringList Workspace::tabKeys() const
{
    QStringList keys;
    for (int i = 0; i < m_tabBar->count(); ++i)
        keys.append(m_tabBar->tabData(i).toString());
    return keys;
}

QString Workspace::selectedTab() const
{
    return m_tabBar->tabData(m_tabBar->currentIndex()).toString();
}

void Workspace::applyArrangement()
{
    const QString key = selectedTab();
    if (key == arrangement::Html) {
        m_webPane->show();
        m_textPane->hide();
    } else if (key == arrangement::Text) {
        m_webPane->hide();
        m_textPane->show();
    } else if (key == arrangement::UpDown || key == arrangement::LeftRight) {
        m_y = correctedSplit(m_y, kobin::sizeControls(input()).content.height);
        m_webPane->show();
        m_textPane->show();
    }
    relayout();
}

void Workspace::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const LayoutResult fresh = kobin::sizeControls(input());
    m_y = correctedSplit(m_y, fresh.content.height);
    m_z = correctedSplit(m_z, fresh.content.width);
    relayout();
}

float Workspace::windowOuterWidth() const
{
    return TwipsScale::of(this).twipsX(window()->frameGeometry().width());
}

void Workspace::connectTreeSplitter()
{
    connect(m_treeGrip, &SplitterGrip::pressed, this, [this] {
        m_treeBarRect = {m_layout.tabStrip.left, m_layout.tree.top, kSplitterThickness, m_layout.tree.height};
        place(m_treeBar, m_treeBarRect);
        m_treeBar->show();
        m_treeBar->raise();
        m_dragging = true;
    });
    connect(m_treeGrip, &SplitterGrip::moved, this, [this](QPoint offset) {
        m_treeGrip->raise();
        if (!m_dragging)
            return;
        const float p = m_layout.treeSplitter.left + TwipsScale::of(this).twipsX(offset.x());
        m_treeBarRect.left = treeBarPosition(p, windowOuterWidth());
        place(m_treeBar, m_treeBarRect);
    });
    connect(m_treeGrip, &SplitterGrip::released, this, [this] {
        m_treeBar->hide();
        m_dragging = false;
        sizeControls(m_treeBarRect.left, m_y, m_z);
    });
}

void Workspace::connectStackedSplitter()
{
    connect(m_stackedGrip, &SplitterGrip::pressed, this, [this] {
        m_stackedBarRect = m_layout.stackedSplitter;
        m_stackedBarRect.width = m_layout.webPane.width;
        place(m_stackedBar, m_stackedBarRect);
        m_stackedBar->show();
        m_stackedBar->raise();
        m_dragging = true;
    });
    connect(m_stackedGrip, &SplitterGrip::moved, this, [this](QPoint offset) {
        if (!m_dragging)
            return;
        const float p = m_layout.stackedSplitter.top + TwipsScale::of(this).twipsY(offset.y());
        m_stackedBarRect.top = stackedBarPosition(p, m_layout.content.height);
        place(m_stackedBar, m_stackedBarRect);
    });
    connect(m_stackedGrip, &SplitterGrip::released, this, [this] {
        m_stackedBar->hide();
        m_dragging = false;
        sizeControls(m_x, m_stackedBarRect.top, m_z);
    });
}

void Workspace::connectSideSplitter()
{
    connect(m_sideGrip, &SplitterGrip::pressed, this, [this] {
        m_sideBarRect = m_layout.sideSplitter;
        place(m_sideBar, m_sideBarRect);
        m_sideBar->show();
        m_sideBar->raise();
        m_dragging = true;
    });
    connect(m_sideGrip, &SplitterGrip::moved, this, [this](QPoint offset) {
        if (!m_dragging)
            return;
        const float p = m_layout.sideSplitter.left + TwipsScale::of(this).twipsX(offset.x());
        m_sideBarRect.left = sideBarPosition(p, m_layout.content.width);
        place(m_sideBar, m_sideBarRect);
    });
    connect(m_sideGrip, &SplitterGrip::released, this, [this] {
        m_sideBar->hide();
        m_dragging = false;
        sizeControls(m_x, m_y, m_sideBarRect.left);
    });
}

} // namespace kobin
