#pragma once

#include "Prompter.h"

class QWidget;

namespace kobin {

// Asks the user with a real message box. Unattended (the smoke mode of scripts),
// it writes the message to standard error instead and answers the choice that
// changes nothing: OK, No, or Cancel.
class MessageBoxPrompter : public Prompter
{
public:
    explicit MessageBoxPrompter(QWidget *owner = nullptr, bool unattended = false)
        : m_owner(owner), m_unattended(unattended)
    {
    }
    PromptAnswer ask(PromptButtons buttons, PromptIcon icon, const QString &title, const QString &text) override;

private:
    QWidget *m_owner;
    bool m_unattended;
};

} // namespace kobin
