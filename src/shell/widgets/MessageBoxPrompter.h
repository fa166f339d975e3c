#pragma once

#include "Prompter.h"

class QWidget;

namespace kobin {

// Asks the user with a real message box.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *owner = nullptr) : m_owner(owner) {}
    PromptAnswer ask(PromptButtons buttons, PromptIcon icon, const QString &title, const QString &text) override;

private:
    QWidget *m_owner;
};

} // namespace kobin
