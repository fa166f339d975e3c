#include "FontWindow.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QPushButton>

namespace kobin {

namespace {
// Black, red, green, yellow, blue, magenta, cyan, white.
const QColor kFixedColours[] = {QColor(0, 0, 0),     QColor(255, 0, 0),   QColor(0, 255, 0),   QColor(255, 255, 0),
                                QColor(0, 0, 255),   QColor(255, 0, 255), QColor(0, 255, 255), QColor(255, 255, 255)};
const char *const kSizes[] = {"8", "9", "10", "11", "12", "14", "16", "18", "20", "22", "24", "26", "28", "36", "48", "72"};
} // namespace

FontWindow::FontWindow(QWidget *parent) : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmFont"));
    setWindowTitle(QStringLiteral("ﾌｫﾝﾄ・ｻｲｽﾞ・色の選択"));
    m_family = new QComboBox(this);
    m_family->setObjectName(QStringLiteral("cmbFont"));
    m_family->setEditable(true);
    m_family->addItems(QFontDatabase::families());
    m_size = new QComboBox(this);
    m_size->setObjectName(QStringLiteral("cmbSize"));
    m_size->setEditable(true);
    for (const char *size : kSizes)
        m_size->addItem(QString::fromLatin1(size));
    // activated: a choice from the list, never what is being typed.
    connect(m_family, &QComboBox::activated, this, [this](int index) { emit familyChosen(m_family->itemText(index)); });
    connect(m_size, &QComboBox::activated, this,
            [this](int index) { emit sizeChosen(m_size->itemText(index).toDouble()); });

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_family, 0, 0, 1, 8);
    grid->addWidget(m_size, 1, 0, 1, 3);
    int box = 0;
    for (const QColor &colour : kFixedColours) {
        auto *button = new QPushButton(this);
        button->setObjectName(QStringLiteral("picColor%1").arg(box));
        button->setFixedSize(22, 22);
        button->setAutoDefault(false);
        button->setStyleSheet(QStringLiteral("background-color: %1; border: 1px solid gray;").arg(colour.name()));
        connect(button, &QPushButton::clicked, this, [this, colour] { emit colourChosen(colour); });
        grid->addWidget(button, 2, box++);
    }
}

void FontWindow::showSelection(const QString &family, qreal pointSize)
{
    if (!family.isEmpty())
        m_family->setEditText(family);
    if (pointSize > 0)
        m_size->setEditText(QString::number(pointSize));
}

void FontWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace kobin
