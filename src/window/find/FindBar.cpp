#include "FindBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace kobin::search {

namespace {

QToolButton *barButton(const QString &text, const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

FindBar::FindBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("findBar"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    m_edit = new QLineEdit(this);
    m_edit->setObjectName(QStringLiteral("txtFind"));
    m_edit->setPlaceholderText(QStringLiteral("検索する文字列"));
    m_edit->setClearButtonEnabled(true);
    m_edit->setMinimumWidth(180);
    m_outcome = new QLabel(this);
    m_outcome->setMinimumWidth(80);
    auto *previous = barButton(QStringLiteral("▲"), QStringLiteral("前を検索 (Shift+Enter)"), this);
    auto *next = barButton(QStringLiteral("▼"), QStringLiteral("次を検索 (Enter)"), this);
    auto *closeButton = barButton(QStringLiteral("×"), QStringLiteral("閉じる (Esc)"), this);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 2, 2);
    row->setSpacing(2);
    row->addWidget(m_edit);
    row->addWidget(m_outcome);
    row->addWidget(previous);
    row->addWidget(next);
    row->addWidget(closeButton);
    connect(m_edit, &QLineEdit::textEdited, this, &FindBar::textEdited);
    connect(previous, &QToolButton::clicked, this, &FindBar::previousWanted);
    connect(next, &QToolButton::clicked, this, &FindBar::nextWanted);
    connect(closeButton, &QToolButton::clicked, this, &FindBar::close);
    hide();
}

void FindBar::openOver(QWidget *target)
{
    if (m_target != target) {
        if (m_target)
            m_target->removeEventFilter(this);
        m_target = target;
        setParent(target);
        target->installEventFilter(this);
    }
    m_outcome->clear();
    place();
    show();
    raise();
    m_edit->setFocus();
    m_edit->selectAll();
}

void FindBar::close()
{
    if (!isVisible())
        return;
    hide();
    emit closed();
    if (m_target)
        m_target->setFocus();
}

QString FindBar::text() const
{
    return m_edit->text();
}

void FindBar::setText(const QString &text)
{
    m_edit->setText(text);
}

void FindBar::showOutcome(int active, int total)
{
    if (total == 0)
        m_outcome->setText(m_edit->text().trimmed().isEmpty() ? QString() : QStringLiteral("見つかりません"));
    else
        m_outcome->setText(QStringLiteral("%1 / %2").arg(active).arg(total));
}

void FindBar::place()
{
    if (!m_target)
        return;
    adjustSize();
    const int width = std::min(sizeHint().width(), m_target->width());
    setGeometry(m_target->width() - width, 0, width, sizeHint().height());
}

bool FindBar::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_target && event->type() == QEvent::Resize)
        place();
    return QFrame::eventFilter(watched, event);
}

void FindBar::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->modifiers() & Qt::ShiftModifier)
            emit previousWanted();
        else
            emit nextWanted();
        break;
    default:
        break;
    }
    // No key typed here may reach the pane the bar lies over (it is the bar's parent).
    event->accept();
}

} // namespace kobin::search
