#pragma once

#include <QString>

namespace kobin {

enum class PromptIcon { None, Exclamation, Question, Information, Critical };
// YesNoDefaultNo: a question whose Yes gives something up (a file written over), so
// that a hasty Enter answers No.
enum class PromptButtons { Ok, OkCancel, YesNo, YesNoDefaultNo, YesNoCancel };
enum class PromptAnswer { Ok, Cancel, Yes, No };

// A message box: the program's only way of telling or asking the user something.
// Widgets answer it with a real dialog; tests with scripted answers.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual PromptAnswer ask(PromptButtons buttons, PromptIcon icon, const QString &title,
                             const QString &text) = 0;

    void inform(PromptIcon icon, const QString &title, const QString &text)
    {
        ask(PromptButtons::Ok, icon, title, text);
    }
};

} // namespace kobin
