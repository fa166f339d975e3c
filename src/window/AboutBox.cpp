#include "AboutBox.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace kobin {

QString AboutBox::mailAddress()
{
    return QStringLiteral("kobin@example.jp");
}

AboutBox::AboutBox(const QIcon &icon, UrlOpener openUrl, QWidget *parent)
    : QDialog(parent), m_openUrl(std::move(openUrl))
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setWindowIcon(icon);
    setModal(true);

    auto *picture = new QLabel(this);
    picture->setObjectName(QStringLiteral("Image1"));
    picture->setPixmap(icon.pixmap(48, 48));
    auto *name = new QLabel(QStringLiteral("Kobin"), this);
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 2.2);
    large.setBold(true);
    name->setFont(large);
    auto *subtitle = new QLabel(QStringLiteral("インターネット情報管理ツール"), this);
    auto *version = new QLabel(QStringLiteral("version ") + QCoreApplication::applicationVersion(), this);
    auto *mailCaption = new QLabel(QStringLiteral("ﾒｰﾙｱﾄﾞﾚｽ："), this);
    auto *mail = new QLabel(QStringLiteral("<a href=\"mailto:%1\">%1</a>").arg(mailAddress()), this);
    mail->setObjectName(QStringLiteral("Label6"));
    mail->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    mail->setCursor(Qt::PointingHandCursor);
    connect(mail, &QLabel::linkActivated, this, [this] { openMailLink(); });
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("cmdOK"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->setHorizontalSpacing(14);
    layout->addWidget(picture, 0, 0, 3, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1, 1, 2);
    layout->addWidget(subtitle, 1, 1, 1, 2);
    layout->addWidget(version, 2, 1, 1, 2);
    layout->addWidget(mailCaption, 3, 1);
    layout->addWidget(mail, 3, 2);
    layout->addWidget(ok, 4, 2, Qt::AlignRight);
    setFixedSize(sizeHint());
}

void AboutBox::openMailLink()
{
    // Whether a mail program answers is the system's business; nothing is reported.
    m_openUrl(QUrl(QStringLiteral("mailto:") + mailAddress()));
}

} // namespace kobin
