#include "BookOrganizerDialog.h"

#include "BookOrganizer.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kobin {

namespace {

QPushButton *button(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *push = new QPushButton(caption, parent);
    push->setObjectName(objectName);
    push->setAutoDefault(false); // Enter in the list must not delete
    return push;
}

} // namespace

BookOrganizerDialog::BookOrganizerDialog(BookOrganizer &organizer, QWidget *parent)
    : QDialog(parent), m_organizer(organizer)
{
    setObjectName(QStringLiteral("frmBookPutInOrder"));
    setWindowTitle(QStringLiteral("Bookの整理"));

    auto *frame = new QFrame(this);
    frame->setFrameShape(QFrame::StyledPanel);
    auto *label = new QLabel(QStringLiteral("削除したいBookをﾁｪｯｸし、削除ボタンを押して下さい。"
                                            "Bookのファイル(*.iis)とテキストを保存しているフォルダを削除します。"
                                            "元に戻せませんので注意して下さい。"),
                             frame);
    label->setObjectName(QStringLiteral("Label1"));
    label->setWordWrap(true);
    auto *frameLayout = new QVBoxLayout(frame);
    frameLayout->addWidget(label);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("List1"));
    auto *remove = button(QStringLiteral("cmdDelete"), QStringLiteral("削除"), this);
    auto *close = button(QStringLiteral("cmdClose"), QStringLiteral("閉じる"), this);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(remove);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(frame);
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    resize(420, 380);

    connect(remove, &QPushButton::clicked, this, &BookOrganizerDialog::deleteTicked);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    fill(m_organizer.bookFiles());
}

void BookOrganizerDialog::fill(const QStringList &entries)
{
    m_list->clear();
    for (const QString &entry : entries) {
        auto *item = new QListWidgetItem(entry, m_list);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
}

void BookOrganizerDialog::deleteTicked()
{
    QStringList entries;
    QStringList ticked;
    for (int row = 0; row < m_list->count(); ++row) {
        const QListWidgetItem *item = m_list->item(row);
        entries << item->text();
        if (item->checkState() == Qt::Checked)
            ticked << item->text();
    }
    const QStringList remaining = m_organizer.deleteBooks(entries, ticked);
    if (remaining != entries)
        fill(remaining);
}

} // namespace kobin
