#include "Splash.h"

#include "Icons.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>

namespace kobin {

Splash::Splash() : QWidget(nullptr, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("frmSplash"));
    setAutoFillBackground(true);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(24, 20, 24, 16);
    auto *icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(64, 64));
    auto *title = new QLabel(QStringLiteral("Kobin"), this);
    QFont titleFont = title->font();
    titleFont.setPointSize(titleFont.pointSize() * 2);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto *subtitle = new QLabel(QStringLiteral("インターネット情報管理ツール"), this);
    subtitle->setObjectName(QStringLiteral("lblTitle"));
    auto *version = new QLabel(QStringLiteral("version ") + QCoreApplication::applicationVersion(), this);
    m_condition = new QLabel(QStringLiteral("読み込み 開始："), this);
    m_condition->setObjectName(QStringLiteral("lblCondition"));
    m_item = new QLabel(this);
    m_item->setObjectName(QStringLiteral("lblItem"));
    layout->addWidget(icon, 0, 0, 3, 1);
    layout->addWidget(title, 0, 1, 1, 2);
    layout->addWidget(subtitle, 1, 1, 1, 2);
    layout->addWidget(version, 2, 1, 1, 2);
    layout->addWidget(m_condition, 3, 1);
    layout->addWidget(m_item, 3, 2);
    layout->setColumnStretch(2, 1);
    setFixedSize(420, 180);
}

void Splash::setCondition(const QString &text)
{
    m_condition->setText(text);
}

void Splash::setItem(const QString &text)
{
    m_item->setText(text);
}

} // namespace kobin
