#include "ToolbarCustomizeDialog.h"

#include "Commands.h"
#include "Icons.h"
#include "ToolbarLayout.h"

#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace kobin {

namespace {

QListWidgetItem *entryItem(const QString &key)
{
    auto *item = new QListWidgetItem;
    item->setData(Qt::UserRole, key);
    if (key == toolbarlayout::Separator) {
        item->setText(QStringLiteral("区切り"));
    } else if (const auto command = commandForToolbarKey(key)) {
        item->setText(commandRow(*command).toolTip);
        item->setIcon(iconFor(commandRow(*command).icon));
    }
    return item;
}

QPushButton *button(const QString &caption, QWidget *parent)
{
    auto *push = new QPushButton(caption, parent);
    push->setAutoDefault(false);
    return push;
}

} // namespace

ToolbarCustomizeDialog::ToolbarCustomizeDialog(const QStringList &layout, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("ツールバーのカスタマイズ"));
    m_available = new QListWidget(this);
    m_current = new QListWidget(this);
    auto *add = button(QStringLiteral("追加(&A) →"), this);
    auto *remove = button(QStringLiteral("← 削除(&R)"), this);
    auto *up = button(QStringLiteral("上へ(&U)"), this);
    auto *down = button(QStringLiteral("下へ(&D)"), this);
    auto *resetButton = button(QStringLiteral("リセット(&S)"), this);
    auto *close = button(QStringLiteral("閉じる(&C)"), this);
    close->setDefault(true);

    auto *grid = new QGridLayout(this);
    auto *availableLabel = new QLabel(QStringLiteral("利用できるボタン(&V):"), this);
    availableLabel->setBuddy(m_available);
    auto *currentLabel = new QLabel(QStringLiteral("現在のツールバー ボタン(&T):"), this);
    currentLabel->setBuddy(m_current);
    grid->addWidget(availableLabel, 0, 0);
    grid->addWidget(currentLabel, 0, 2);
    grid->addWidget(m_available, 1, 0, 6, 1);
    grid->addWidget(add, 2, 1);
    grid->addWidget(remove, 3, 1);
    grid->addWidget(m_current, 1, 2, 6, 1);
    grid->addWidget(up, 2, 3);
    grid->addWidget(down, 3, 3);
    grid->addWidget(resetButton, 4, 3);
    grid->addWidget(close, 1, 3);

    connect(add, &QPushButton::clicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(remove, &QPushButton::clicked, this, &ToolbarCustomizeDialog::removeSelected);
    connect(up, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(down, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(resetButton, &QPushButton::clicked, this, &ToolbarCustomizeDialog::reset);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_available, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::addSelected);
    connect(m_current, &QListWidget::itemDoubleClicked, this, &ToolbarCustomizeDialog::removeSelected);
    fill(layout);
}

void ToolbarCustomizeDialog::fill(const QStringList &layout)
{
    m_current->clear();
    m_available->clear();
    for (const QString &key : layout)
        m_current->addItem(entryItem(key));
    m_available->addItem(entryItem(toolbarlayout::Separator));
    for (const QString &key : toolbarKeys() + extraToolbarKeys()) {
        if (key != toolbarlayout::Separator && !layout.contains(key))
            m_available->addItem(entryItem(key));
    }
    m_available->setCurrentRow(0);
    m_current->setCurrentRow(0);
}

QStringList ToolbarCustomizeDialog::layout() const
{
    QStringList keys;
    for (int i = 0; i < m_current->count(); ++i)
        keys.append(m_current->item(i)->data(Qt::UserRole).toString());
    return keys;
}

void ToolbarCustomizeDialog::announce()
{
    emit layoutChanged(layout());
}

void ToolbarCustomizeDialog::addSelected()
{
    QListWidgetItem *chosen = m_available->currentItem();
    if (!chosen)
        return;
    const QString key = chosen->data(Qt::UserRole).toString();
    const int at = m_current->currentRow() < 0 ? m_current->count() : m_current->currentRow() + 1;
    m_current->insertItem(at, entryItem(key));
    m_current->setCurrentRow(at);
    if (key != toolbarlayout::Separator)
        delete m_available->takeItem(m_available->currentRow());
    announce();
}

void ToolbarCustomizeDialog::removeSelected()
{
    const int row = m_current->currentRow();
    if (row < 0)
        return;
    const QString key = m_current->item(row)->data(Qt::UserRole).toString();
    delete m_current->takeItem(row);
    if (key != toolbarlayout::Separator)
        m_available->addItem(entryItem(key));
    announce();
}

void ToolbarCustomizeDialog::moveSelected(int step)
{
    const int row = m_current->currentRow();
    const int target = row + step;
    if (row < 0 || target < 0 || target >= m_current->count())
        return;
    QListWidgetItem *item = m_current->takeItem(row);
    m_current->insertItem(target, item);
    m_current->setCurrentRow(target);
    announce();
}

void ToolbarCustomizeDialog::reset()
{
    fill(toolbarlayout::defaultLayout());
    announce();
}

} // namespace kobin
