#pragma once

#include "BookImport.h"

#include <QString>
#include <functional>

namespace kobin {

class Book;
class FileDialogs;
class ItemDisplay;
class Prompter;
class TreeCommands;

// Shows what an import made and left out. The program answers with a dialog, tests with a fake.
class ImportReportView
{
public:
    virtual ~ImportReportView() = default;
    virtual void showReport(const QString &title, const QString &report) = 0;
};

// "他のソフトから取り込み..." of the File menu: another program's collection (a
// ScrapBook X or WebScrapBook folder, Evernote exports, a CherryTree document) as a new folder item
// under the selected item, as one step that 元に戻す takes back. The import is
// written into a staging folder while its progress shows; only once it is
// whole do its pages join the book folder and its notes the working folder, and
// the items the tree. A cancel or a failure leaves nothing.
class CollectionImport
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display;
        TreeCommands &treeCommands;
        Prompter &prompter;
        FileDialogs &dialogs;
        ImportReportView &reportView;
        import::PasswordAsker askPassword; // for a protected source
    };
    // Runs the import with a way to show its progress and to cancel it.
    using ProgressShower =
        std::function<import::ImportRun(const std::function<import::ImportRun(const import::ImportWriter::Progress &)> &run)>;

    explicit CollectionImport(Services services) : m_services(services) {}

    // Asks for the collection and imports it; false when nothing was imported.
    bool run(const ProgressShower &showProgress);

private:
    void refuse(const QString &message);

    Services m_services;
};

} // namespace kobin
