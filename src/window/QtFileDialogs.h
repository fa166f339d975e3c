#pragma once

#include "FileDialogs.h"

class QWidget;

namespace kobin {

// The open and save dialogs as Qt shows them.
class QtFileDialogs : public FileDialogs
{
public:
    explicit QtFileDialogs(QWidget *owner) : m_owner(owner) {}
    std::optional<QString> openFile(const FileDialogRequest &request) override;
    std::optional<QString> saveFile(const FileDialogRequest &request) override;

private:
    std::optional<QString> run(const FileDialogRequest &request, bool save);
    QWidget *m_owner;
};

} // namespace kobin
