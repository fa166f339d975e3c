#include "EarlierVersionsDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace kobin {

EarlierVersionsDialog::EarlierVersionsDialog(const QList<BookVersion> &versions, QWidget *parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setObjectName(QStringLiteral("frmVersions"));
    setWindowTitle(QStringLiteral("以前の版を開く"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("開く版を選んでください。新しいブックとして開きます。"), this));
    for (const BookVersion &version : versions)
        m_list->addItem(version.savedAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                        + QStringLiteral("　変更したメモ %1 件").arg(version.changedNotes));
    m_list->setCurrentRow(0);
    layout->addWidget(m_list);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("開く"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("ｷｬﾝｾﾙ"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(420, 300);
}

int EarlierVersionsDialog::chosenRow() const
{
    return m_list->currentRow();
}

} // namespace kobin
