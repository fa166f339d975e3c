#include "PageReferenceDialog.h"

#include "ItemNameDialog.h"
#include "PageReference.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kobin {

namespace {
QLabel *label(const char *objectName, const QString &text, QWidget *parent)
{
    auto *result = new QLabel(text, parent);
    result->setObjectName(QLatin1String(objectName));
    return result;
}
} // namespace

PageReferenceDialog::PageReferenceDialog(PageReference &reference, QWidget *parent)
    : QDialog(parent), m_reference(reference)
{
    setObjectName(QStringLiteral("frmChangeURL"));
    setWindowTitle(QStringLiteral("ホームページ選択"));

    m_name = new QLineEdit(reference.initialName(), this);
    m_name->setObjectName(QStringLiteral("txtNodeName"));
    keepCaptionStorable(*m_name);
    connect(m_name, &QLineEdit::textChanged, this, [this](const QString &text) { m_reference.nameTyped(text); });
    m_page = new QLineEdit(reference.initialPage(), this);
    m_page->setObjectName(QStringLiteral("txtURL"));
    m_page->setMinimumWidth(420);
    m_history = new QComboBox(this);
    m_history->setObjectName(QStringLiteral("cmbRecentFolder"));
    m_history->setEditable(true);
    m_history->setInsertPolicy(QComboBox::NoInsert); // the history is kept by the reference button only
    showHistory();

    auto *choose = new QPushButton(QStringLiteral("参照 ..."), this);
    choose->setObjectName(QStringLiteral("cmdReference"));
    choose->setAutoDefault(false);
    connect(choose, &QPushButton::clicked, this, &PageReferenceDialog::choosePage);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    QLabel *nameLabel = label("lblNodeName", QStringLiteral("名前："), this);
    nameLabel->setBuddy(m_name);
    QLabel *pageLabel = label("lblURL", QStringLiteral("参照先："), this);
    pageLabel->setBuddy(m_page);
    QLabel *historyLabel = label("lblRecentFolder", QStringLiteral("フォルダ履歴："), this);
    historyLabel->setBuddy(m_history);

    auto *grid = new QGridLayout;
    grid->addWidget(nameLabel, 0, 0);
    grid->addWidget(m_name, 0, 1);
    grid->addWidget(pageLabel, 1, 0);
    grid->addWidget(m_page, 1, 1);
    grid->addWidget(choose, 1, 2);
    grid->addWidget(historyLabel, 2, 0);
    grid->addWidget(m_history, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(
        label("lblInstruction", QStringLiteral("参照するホームページファイル(*.htm or *.html)を選択して下さい。"), this));
    layout->addLayout(grid);
    layout->addWidget(label("lblHistoryHint",
                            QStringLiteral("※「開いたフォルダ履歴」を選択して、「参照」ボタンを押すと、そのフォルダを開きます。"),
                            this));
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

void PageReferenceDialog::showHistory()
{
    m_history->clear();
    m_history->addItems(m_reference.history());
    m_history->setEditText(m_reference.historyText());
}

void PageReferenceDialog::choosePage()
{
    if (const std::optional<QString> chosen = m_reference.choosePage(m_history->currentText())) {
        m_page->setText(*chosen);
        showHistory();
    }
}

void PageReferenceDialog::accept()
{
    if (m_reference.accept(m_name->text(), m_page->text()))
        QDialog::accept();
}

void PageReferenceDialog::reject()
{
    m_reference.cancel();
    QDialog::reject();
}

} // namespace kobin
