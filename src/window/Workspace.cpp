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

    m_treeSplitter = {new SplitterGrip(Qt::Horizontal, QStringLiteral("imgSplitter"), this),
                      new SplitterBar(QStringLiteral("picSplitter"), this), {}};
    m_stackedSplitter = {new SplitterGrip(Qt::Vertical, QStringLiteral("imgSplitterHtml"), m_content),
                         new SplitterBar(QStringLiteral("picSplitterHtml"), m_content), {}};
    m_sideSplitter = {new SplitterGrip(Qt::Horizontal, QStringLiteral("imgSplitterHarlf"), m_content),
                      new SplitterBar(QStringLiteral("picSplitterHarlf"), m_content), {}};

    m_webPane->hide();
    setTabs({arrangement::Text}, arrangement::Text);
    connect(m_tabBar, &QTabBar::tabBarClicked, this, [this](int index) {
        if (index < 0)
            return;
        m_tabBar->setCurrentIndex(index);
        applyArrangement();
        emit tabChosen(selectedTab());
    });
    connectSplitters();
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
    place(m_treeSplitter.grip, m_layout.treeSplitter);
    place(m_stackedSplitter.grip, m_layout.stackedSplitter);
    place(m_sideSplitter.grip, m_layout.sideSplitter);
    m_treeSplitter.grip->raise();
    m_stackedSplitter.grip->raise();
    m_sideSplitter.grip->raise();
    const QString key = selectedTab();
    m_stackedSplitter.grip->setVisible(key == arrangement::UpDown);
    m_sideSplitter.grip->setVisible(key == arrangement::LeftRight);
    m_treeSplitter.grip->setVisible(m_treeShown);
    if (m_cornerButton) {
        const QSize size = m_cornerButton->sizeHint();
        m_cornerButton->setGeometry(width() - size.width(), scale.pxY(m_layout.tree.top), size.width(), size.height());
        m_cornerButton->raise();
    }
}

void Workspace::setCornerButton(QWidget *button)
{
    m_cornerButton = button;
    button->setParent(this);
    relayout();
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

void Workspace::connectSplitter(Splitter &splitter, std::function<TwipsRect()> barAtPress,
                                std::function<void(TwipsRect &bar, QPoint offset)> follow,
                                std::function<void(const TwipsRect &bar)> release)
{
    connect(splitter.grip, &SplitterGrip::pressed, this, [this, &splitter, barAtPress] {
        splitter.barRect = barAtPress();
        place(splitter.bar, splitter.barRect);
        splitter.bar->show();
        splitter.bar->raise();
        m_dragging = true;
    });
    connect(splitter.grip, &SplitterGrip::moved, this, [this, &splitter, follow](QPoint offset) {
        splitter.grip->raise();
        if (!m_dragging)
            return;
        follow(splitter.barRect, offset);
        place(splitter.bar, splitter.barRect);
    });
    connect(splitter.grip, &SplitterGrip::released, this, [this, &splitter, release] {
        splitter.bar->hide();
        m_dragging = false;
        release(splitter.barRect);
    });
}

void Workspace::connectSplitters()
{
    connectSplitter(
        m_treeSplitter,
        [this] { return TwipsRect{m_layout.tabStrip.left, m_layout.tree.top, kSplitterThickness, m_layout.tree.height}; },
        [this](TwipsRect &bar, QPoint offset) {
            const float p = m_layout.treeSplitter.left + TwipsScale::of(this).twipsX(offset.x());
            bar.left = treeBarPosition(p, windowOuterWidth());
        },
        [this](const TwipsRect &bar) { sizeControls(bar.left, m_y, m_z); });
    connectSplitter(
        m_stackedSplitter,
        [this] {
            TwipsRect bar = m_layout.stackedSplitter;
            bar.width = m_layout.webPane.width;
            return bar;
        },
        [this](TwipsRect &bar, QPoint offset) {
            const float p = m_layout.stackedSplitter.top + TwipsScale::of(this).twipsY(offset.y());
            bar.top = stackedBarPosition(p, m_layout.content.height);
        },
        [this](const TwipsRect &bar) { sizeControls(m_x, bar.top, m_z); });
    connectSplitter(
        m_sideSplitter, [this] { return m_layout.sideSplitter; },
        [this](TwipsRect &bar, QPoint offset) {
            const float p = m_layout.sideSplitter.left + TwipsScale::of(this).twipsX(offset.x());
            bar.left = sideBarPosition(p, m_layout.content.width);
        },
        [this](const TwipsRect &bar) { sizeControls(m_x, m_y, bar.left); });
}

} // namespace kobin
