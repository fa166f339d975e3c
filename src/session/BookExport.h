#pragma once

#include "HtmlExport.h"

namespace kobin {

class Book;
class FileDialogs;
class ItemDisplay;
class Prompter;

// "HTMLに書き出し..." of the File menu: the open book, with the text shown kept
// first, as a static web site in a folder the user names. A folder that is not
// empty is replaced only when it holds an earlier export and the user agrees.
class BookExport
{
public:
    struct Services {
        Book &book;
        ItemDisplay &display;
        Prompter &prompter;
        FileDialogs &dialogs;
    };
    // Runs the export with a way to show its progress and to cancel it.
    using ProgressShower = std::function<HtmlExport::Result(
        const std::function<HtmlExport::Result(const HtmlExport::Progress &)> &write, int total)>;

    explicit BookExport(Services services) : m_services(services) {}

    // What happened: Written, Cancelled (also when the user stops before writing), Failed.
    HtmlExport::Outcome run(const ProgressShower &showProgress);

private:
    bool mayWriteInto(const QString &folder);

    Services m_services;
};

} // namespace kobin
