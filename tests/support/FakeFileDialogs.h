#pragma once

#include "FileDialogs.h"

#include <QList>
#include <QStringList>

// Answers open and save dialogs from a script (an empty answer cancels) and
// remembers what was asked.
class FakeFileDialogs : public kobin::FileDialogs
{
public:
    QStringList answers;
    QList<kobin::FileDialogRequest> requests;

    std::optional<QString> openFile(const kobin::FileDialogRequest &request) override { return answer(request); }
    std::optional<QString> saveFile(const kobin::FileDialogRequest &request) override { return answer(request); }

private:
    std::optional<QString> answer(const kobin::FileDialogRequest &request)
    {
        requests.append(request);
        if (answers.isEmpty())
            return std::nullopt;
        const QString chosen = answers.takeFirst();
        return chosen.isEmpty() ? std::nullopt : std::optional<QString>(chosen);
    }
};
