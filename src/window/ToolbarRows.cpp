#include "ToolbarRows.h"

#include "ButtonRows.h"

#include <QActionEvent>
#include <QFrame>
#include <QLayout>
#include <QToolButton>

namespace kobin {

namespace {

constexpr int kIconSide = 20;
constexpr int kMargin = 2;
constexpr int kSeparatorWidth = 8;

// Places its widgets with placeInRows; its height follows its width.
class RowsLayout : public QLayout
{
public:
    using QLayout::QLayout;
    ~RowsLayout() override
    {
        while (QLayoutItem *item = takeAt(0))
            delete item;
    }

    void addItem(QLayoutItem *item) override { m_items.append(item); }
    int count() const override { return static_cast<int>(m_items.size()); }
    QLayoutItem *itemAt(int index) const override { return m_items.value(index); }
    QLayoutItem *takeAt(int index) override
    {
        return index >= 0 && index < m_items.size() ? m_items.takeAt(index) : nullptr;
    }
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override { return placement(width).height + 2 * kMargin; }
    QSize sizeHint() const override
    {
        int width = 0;
        for (const QLayoutItem *item : m_items)
            width += item->sizeHint().width();
        return {width + 2 * kMargin, heightForWidth(width + 2 * kMargin)};
    }
    QSize minimumSize() const override
    {
        QSize largest;
        for (const QLayoutItem *item : m_items)
            largest = largest.expandedTo(item->sizeHint());
        return largest + QSize(2 * kMargin, 2 * kMargin);
    }
    void setGeometry(const QRect &rect) override
    {
        QLayout::setGeometry(rect);
        const ButtonRowsPlacement placed = placement(rect.width());
        for (int i = 0; i < m_items.size(); ++i) {
            const QRect place = placed.places[i];
            // A separator left out is put out of sight.
            m_items[i]->setGeometry(place.isNull() ? QRect() : place.translated(rect.topLeft() + QPoint(kMargin, kMargin)));
        }
    }

private:
    ButtonRowsPlacement placement(int width) const
    {
        QList<ButtonRowsEntry> entries;
        for (const QLayoutItem *item : m_items)
            entries.append({item->sizeHint(), qobject_cast<QFrame *>(item->widget()) != nullptr}); // buttons are no frames
        return placeInRows(entries, width - 2 * kMargin);
    }

    QList<QLayoutItem *> m_items;
};

} // namespace

ToolbarRows::ToolbarRows(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tbToolBar"));
    auto *rows = new RowsLayout(this);
    rows->setContentsMargins(0, 0, 0, 0);
    // Not Fixed: a fixed height would hold it to a single row's height.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void ToolbarRows::addSeparator()
{
    auto *separator = new QAction(this);
    separator->setSeparator(true);
    addAction(separator);
}

void ToolbarRows::clear()
{
    for (QAction *action : actions()) {
        removeAction(action);
        if (action->parent() == this) // a separator of its own
            delete action;
    }
}

void ToolbarRows::actionEvent(QActionEvent *event)
{
    QAction *action = event->action();
    switch (event->type()) {
    case QEvent::ActionAdded: {
        QWidget *shown = nullptr;
        if (action->isSeparator()) {
            auto *line = new QFrame(this);
            line->setFrameShape(QFrame::VLine);
            line->setFrameShadow(QFrame::Sunken);
            line->setFixedSize(kSeparatorWidth, kIconSide + 2 * kMargin);
            shown = line;
        } else {
            auto *button = new QToolButton(this);
            button->setAutoRaise(true);
            button->setIconSize(QSize(kIconSide, kIconSide));
            button->setDefaultAction(action);
            shown = button;
        }
        m_shown.insert(action, shown);
        layout()->addWidget(shown);
        break;
    }
    case QEvent::ActionRemoved:
        delete m_shown.take(action); // the layout lets go of it
        break;
    default:
        break;
    }
    QWidget::actionEvent(event);
}

} // namespace kobin
