#include "StatusPanels.h"

#include "ClockTime.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QLabel>
#include <QLocale>
#include <QTimer>

#if __has_include(<X11/XKBlib.h>)
#include <X11/XKBlib.h>
#define KOBIN_HAS_XKB 1
#endif

namespace kobin {

namespace {

QLabel *panel(QStatusBar *bar, const QString &name, int minimumWidth)
{
    auto *label = new QLabel(bar);
    label->setObjectName(name);
    label->setMinimumWidth(minimumWidth);
    label->setAlignment(Qt::AlignCenter);
    label->setContentsMargins(6, 0, 6, 0); // the text never touches the sunken frame
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    bar->addPermanentWidget(label);
    return label;
}

} // namespace

bool capsLockOn()
{
#ifdef KOBIN_HAS_XKB
    if (auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr) {
        unsigned int indicators = 0;
        if (Display *display = x11->display(); display && XkbGetIndicatorState(display, XkbUseCoreKbd, &indicators) == Success)
            return indicators & 1u;
    }
#endif
    return false;
}

StatusPanels::StatusPanels(QWidget *parent) : QStatusBar(parent)
{
    setObjectName(QStringLiteral("sbStatusBar"));
    setSizeGripEnabled(true);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("panelText"));
    addWidget(m_text, 1);
    m_date = panel(this, QStringLiteral("panelDate"), 90);
    m_time = panel(this, QStringLiteral("panelTime"), 70);
    m_caps = panel(this, QStringLiteral("panelCaps"), 44);
    m_insert = panel(this, QStringLiteral("panelInsert"), 44);
    m_caps->setText(QStringLiteral("CAPS"));
    m_insert->setText(QStringLiteral("INS"));
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &StatusPanels::refresh);
    m_clock->start();
    refresh();
}

QString StatusPanels::text() const
{
    return m_text->text();
}

void StatusPanels::setText(const QString &text)
{
    m_text->setText(text);
}

void StatusPanels::refresh()
{
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    m_date->setText(locale.toString(now.date(), QLocale::ShortFormat));
    m_time->setText(clockTime(now.time()));
    m_caps->setEnabled(capsLockOn());
    m_insert->setEnabled(!m_insertMode || m_insertMode());
}

} // namespace kobin
