#include "QtFileDialogs.h"

#include <QFileDialog>

namespace kobin {

std::optional<QString> QtFileDialogs::run(const FileDialogRequest &request, bool save)
{
    QFileDialog dialog(m_owner, request.title, request.initialFolder, request.filter);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    if (!request.proposedName.isEmpty())
        dialog.selectFile(request.proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().first();
}

std::optional<QString> QtFileDialogs::openFile(const FileDialogRequest &request)
{
    return run(request, false);
}

std::optional<QString> QtFileDialogs::saveFile(const FileDialogRequest &request)
{
    return run(request, true);
}

} // namespace kobin
