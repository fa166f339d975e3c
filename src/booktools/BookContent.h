#pragma once

#include <QString>
#include <optional>

namespace kobin {

// A closed book's content files in its book folder, as the command-line tools read
// them: a name is found also when Windows tools wrote it with other capitals.
class BookContent
{
public:
    // bookFolder: the book's folder, ending in "/"; bookPath: the book file.
    BookContent(QString bookFolder, QString bookPath, QString appPath);

    const QString &bookFolder() const { return m_bookFolder; }
    const QString &bookPath() const { return m_bookPath; }
    const QString &appPath() const { return m_appPath; }

    // Where the content file of this name is read from; nullopt when there is none.
    std::optional<QString> file(const QString &name) const;
    // The page path a homepage item's url file holds; nullopt without a readable url file.
    std::optional<QString> recordedPage(const QString &key) const;
    // The page a homepage item shows: the recorded path where it leads to a page,
    // else the page found by its trailing components (as the program finds it).
    std::optional<QString> page(const QString &key) const;

    // The book folder of the book file: named after the book, in KOBIN_HOME when it
    // holds one, else beside the book file (a program folder copied whole), else in
    // the per-user data folder. The folder where it would be when it is nowhere.
    static BookContent forBookFile(const QString &bookPath);

private:
    QString m_bookFolder;
    QString m_bookPath;
    QString m_appPath;
};

} // namespace kobin
