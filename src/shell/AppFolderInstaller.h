#pragma once

#include <QString>

namespace kobin {

// Puts what the program brings along into the program folder: the sample book
// (book file, book folder and its two pages) when the folder is created, and the
// help file whenever it is missing.
class AppFolderInstaller
{
public:
    // source: the folder holding "sample/" and "kobin.qch" (the program's resources).
    AppFolderInstaller(QString source, QString appPath);

    // Returns false when the program folder cannot be created.
    [[nodiscard]] bool install() const;

    static QString helpFileName() { return QStringLiteral("kobin.qch"); }

private:
    bool installSampleBook() const;
    bool installHelp() const;

    QString m_source;
    QString m_appPath;
};

} // namespace kobin
