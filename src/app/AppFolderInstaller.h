#pragma once

#include <QString>
#include <optional>

namespace kobin {

// Puts what the program brings along into the program folder: the sample book
// (book file, book folder and its two pages) the first time the program starts
// there, and the help file whenever it is missing.
class AppFolderInstaller
{
public:
    // source: the folder holding "sample/" and "kobin.qch" (the program's resources).
    AppFolderInstaller(QString source, QString appPath);

    // Creates the program folder when missing: whether the program starts there for
    // the first time (it holds neither a working folder nor the help file), or
    // nothing when it cannot be created.
    [[nodiscard]] std::optional<bool> createFolder() const;
    // The sample book goes only into a new folder, and never over a sample book
    // there already; the help file whenever it is missing.
    void install(bool newFolder) const;

    static QString helpFileName() { return QStringLiteral("kobin.qch"); }

private:
    bool installSampleBook() const;
    bool installHelp() const;

    QString m_source;
    QString m_appPath;
};

} // namespace kobin
