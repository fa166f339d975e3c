#pragma once

#include "Prompter.h"

#include <QList>
#include <QString>
#include <functional>
#include <utility>

// Answers message boxes from a script and remembers what was asked.
class FakePrompter : public kobin::Prompter
{
public:
    struct Prompt {
        kobin::PromptButtons buttons;
        kobin::PromptIcon icon;
        QString title;
        QString text;
    };

    QList<kobin::PromptAnswer> answers; // taken in order; Ok (or Cancel) when empty
    QList<Prompt> prompts;
    std::function<void()> duringPrompt; // what the user does while the next message is open

    kobin::PromptAnswer ask(kobin::PromptButtons buttons, kobin::PromptIcon icon, const QString &title,
                            const QString &text) override
    {
        prompts.append({buttons, icon, title, text});
        if (duringPrompt)
            std::exchange(duringPrompt, nullptr)();
        if (!answers.isEmpty())
            return answers.takeFirst();
        return buttons == kobin::PromptButtons::Ok ? kobin::PromptAnswer::Ok : kobin::PromptAnswer::Cancel;
    }
};
