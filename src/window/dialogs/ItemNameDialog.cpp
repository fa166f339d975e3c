#include "ItemNameDialog.h"

#include "TreeString.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kobin {

void keepCaptionStorable(QLineEdit &line)
{
    QObject::connect(&line, &QLineEdit::textEdited, &line, [&line](const QString &text) {
        const QString storable = treestring::storableCaption(text);
        if (storable != text) {
            const int cursor = line.cursorPosition();
            line.setText(storable);
            line.setCursorPosition(cursor);
        }
    });
}

ItemNameDialog::ItemNameDialog(std::function<void(const QString &)> typed,
                               std::function<bool(const QString &)> acceptable, QWidget *parent)
    : QDialog(parent), m_acceptable(std::move(acceptable))
{
    setObjectName(QStringLiteral("frmNodeName"));
    setWindowTitle(QStringLiteral("名前を入れて下さい"));
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("Text1"));
    m_text->setMinimumWidth(280);
    keepCaptionStorable(*m_text);
    connect(m_text, &QLineEdit::textChanged, this, [typed = std::move(typed)](const QString &text) { typed(text); });
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("Command1"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("Command2"));
    cancel->setAutoDefault(false);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addLayout(buttons);
    setFixedSize(sizeHint());
}

QString ItemNameDialog::name() const
{
    return m_text->text();
}

void ItemNameDialog::accept()
{
    if (m_acceptable(name()))
        QDialog::accept();
}

} // namespace kobin
