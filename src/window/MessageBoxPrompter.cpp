#include "MessageBoxPrompter.h"

#include <QMessageBox>
#include <cstdio>

namespace kobin {

PromptAnswer MessageBoxPrompter::ask(PromptButtons buttons, PromptIcon icon, const QString &title,
                                     const QString &text)
{
    if (m_unattended) {
        std::fprintf(stderr, "%s\n", (title + QStringLiteral(": ") + text).toUtf8().constData());
        switch (buttons) {
        case PromptButtons::Ok: return PromptAnswer::Ok;
        case PromptButtons::OkCancel: return PromptAnswer::Cancel;
        case PromptButtons::YesNo:
        case PromptButtons::YesNoDefaultNo:
        case PromptButtons::YesNoCancel: return PromptAnswer::No;
        }
    }
    QMessageBox box(m_owner);
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case PromptIcon::None: box.setIcon(QMessageBox::NoIcon); break;
    case PromptIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case PromptIcon::Critical: box.setIcon(QMessageBox::Critical); break;
    }
    switch (buttons) {
    case PromptButtons::Ok: box.setStandardButtons(QMessageBox::Ok); break;
    case PromptButtons::OkCancel: box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel); break;
    case PromptButtons::YesNo: box.setStandardButtons(QMessageBox::Yes | QMessageBox::No); break;
    case PromptButtons::YesNoDefaultNo:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::No);
        break;
    case PromptButtons::YesNoCancel:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    }
    switch (box.exec()) {
    case QMessageBox::Ok: return PromptAnswer::Ok;
    case QMessageBox::Yes: return PromptAnswer::Yes;
    case QMessageBox::No: return PromptAnswer::No;
    default: return PromptAnswer::Cancel;
    }
}

} // namespace kobin
