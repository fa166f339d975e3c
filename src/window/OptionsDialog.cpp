#include "OptionsDialog.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kobin {

OptionsDialog::OptionsDialog(const Names &names, const Colours &colours, ColourChooser chooseColour, Apply onApply,
                             QWidget *parent)
    : QDialog(parent), m_colours(colours), m_chooseColour(std::move(chooseColour)), m_apply(std::move(onApply))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("ｵﾌﾟｼｮﾝ"));
    auto *tabs = new QTabWidget(this); // Ctrl+Tab moves between its tabs
    tabs->setObjectName(QStringLiteral("tbsOptions"));
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("picOptions"));
    auto *grid = new QGridLayout(page);
    auto *instruction = new QLabel(QStringLiteral("ﾒﾆｭｰの[編集]に表示させるリッチテキストボックスの文字のショートカット色変換の色を"
                                                  "選択して下さい。なお、名前を入れないと表示されません。"),
                                   page);
    instruction->setWordWrap(true);
    grid->addWidget(instruction, 0, 0, 1, 3);
    for (int slot = 0; slot < 5; ++slot) {
        grid->addWidget(new QLabel(QStringLiteral("%1:").arg(slot + 1), page), slot + 1, 0);
        m_names[slot] = new QLineEdit(names[slot], page);
        m_names[slot]->setObjectName(QStringLiteral("txtColorName%1").arg(slot));
        grid->addWidget(m_names[slot], slot + 1, 1);
        m_buttons[slot] = new QPushButton(page);
        m_buttons[slot]->setObjectName(QStringLiteral("cmdSelectColor%1").arg(slot));
        m_buttons[slot]->setAutoDefault(false);
        grid->addWidget(m_buttons[slot], slot + 1, 2);
        paint(slot);
        connect(m_buttons[slot], &QPushButton::clicked, this, [this, slot] {
            if (const std::optional<QColor> chosen = m_chooseColour(m_colours[slot])) {
                m_colours[slot] = *chosen; // the slot itself changes only when applied
                paint(slot);
            }
        });
    }
    tabs->addTab(page, QStringLiteral("　色"));

    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    cancel->setObjectName(QStringLiteral("cmdCancel"));
    auto *applyButton = new QPushButton(QStringLiteral("更新"), this);
    applyButton->setObjectName(QStringLiteral("cmdApply"));
    connect(ok, &QPushButton::clicked, this, [this] {
        apply();
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(applyButton, &QPushButton::clicked, this, &OptionsDialog::apply);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(applyButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addLayout(buttons);
}

void OptionsDialog::paint(int slot)
{
    m_buttons[slot]->setStyleSheet(QStringLiteral("background-color: %1; min-width: 48px;").arg(m_colours[slot].name()));
}

void OptionsDialog::apply()
{
    Names names;
    for (int slot = 0; slot < 5; ++slot)
        names[slot] = m_names[slot]->text();
    m_apply(names, m_colours);
}

} // namespace kobin
