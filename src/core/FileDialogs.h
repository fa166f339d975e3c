#pragma once

#include <QString>
#include <optional>

namespace kobin {

struct FileDialogRequest {
    QString title;
    QString filter;        // Qt form: "Kobinファイル (*.iis);;すべてのファイル (*.*)"
    QString defaultSuffix; // without the dot
    QString initialFolder;
    QString proposedName;
};

// The open and save dialogs; nullopt when the user cancels. Tests answer with fakes.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    virtual std::optional<QString> openFile(const FileDialogRequest &request) = 0;
    virtual std::optional<QString> saveFile(const FileDialogRequest &request) = 0;
};

} // namespace kobin
