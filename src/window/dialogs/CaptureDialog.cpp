#include "CaptureDialog.h"

#include "ItemNameDialog.h"

#include <QButtonGroup>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace kobin {

namespace {

QRadioButton *radio(const char *objectName, const QString &text, QWidget *parent)
{
    auto *button = new QRadioButton(text, parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

// A box of two choices, the first one chosen.
QGroupBox *choiceBox(const QString &title, QRadioButton *first, QRadioButton *second, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    auto *group = new QButtonGroup(box);
    group->addButton(first);
    group->addButton(second);
    first->setChecked(true);
    auto *layout = new QHBoxLayout(box);
    layout->addWidget(first);
    layout->addWidget(second);
    layout->addStretch();
    return box;
}

} // namespace

CaptureDialog::CaptureDialog(const CaptureChoice &start, bool besideOffered,
                             std::function<bool(const CaptureChoice &)> acceptable, QWidget *parent)
    : QDialog(parent), m_acceptable(std::move(acceptable))
{
    setObjectName(QStringLiteral("frmCapture"));
    setWindowTitle(QStringLiteral("ホームページ取り込み"));

    m_address = new QLineEdit(start.address, this);
    m_address->setObjectName(QStringLiteral("txtAddress"));
    m_address->setMinimumWidth(420);
    m_address->setPlaceholderText(QStringLiteral("https://"));
    m_name = new QLineEdit(start.name, this);
    m_name->setObjectName(QStringLiteral("txtNodeName"));
    m_name->setPlaceholderText(QStringLiteral("空のときはページのタイトル"));
    keepCaptionStorable(*m_name);

    QRadioButton *child = radio("optChild", QStringLiteral("子として追加"), this);
    m_beside = radio("optBeside", QStringLiteral("同じ階層に追加"), this);
    m_beside->setEnabled(besideOffered); // nothing is added beside the book item
    QGroupBox *place = choiceBox(QStringLiteral("追加する場所"), child, m_beside, this);
    m_beside->setChecked(besideOffered && start.placement == Placement::Beside);

    QRadioButton *complete = radio("optCompletePage", QStringLiteral("完全なページ（HTML＋フォルダ）"), this);
    m_singleFile = radio("optSingleFile", QStringLiteral("1ファイル（MHTML）"), this);
    QGroupBox *format = choiceBox(QStringLiteral("保存の形式"), complete, m_singleFile, this);
    m_singleFile->setChecked(start.format == capture::Format::SingleFile);

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *fields = new QFormLayout;
    fields->addRow(QStringLiteral("アドレス："), m_address);
    fields->addRow(QStringLiteral("名前："), m_name);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("取り込むホームページのアドレス（http: か https:）を入力して下さい。"), this));
    layout->addLayout(fields);
    layout->addWidget(place);
    layout->addWidget(format);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

CaptureChoice CaptureDialog::choice() const
{
    CaptureChoice chosen;
    chosen.address = m_address->text();
    chosen.name = m_name->text();
    chosen.placement = m_beside->isChecked() ? Placement::Beside : Placement::Child;
    chosen.format = m_singleFile->isChecked() ? capture::Format::SingleFile : capture::Format::CompletePage;
    return chosen;
}

void CaptureDialog::accept()
{
    if (m_acceptable(choice()))
        QDialog::accept();
}

} // namespace kobin
