#pragma once

#include "Book.h"
#include "TreeString.h"

#include <QDir>
#include <QTemporaryDir>

// A book open in a program folder of its own ("app/" in a temporary folder), as
// the book's own tests need it: no commands, panes or prompts.
struct OpenBook {
    QTemporaryDir dir;
    kobin::Book book{dir.path() + QStringLiteral("/app/")};
    kobin::ItemTree &tree = book.tree();

    OpenBook() { QDir().mkpath(working()); }
    // The program folder at programFolder (ending in "/") instead.
    explicit OpenBook(const QString &programFolder) : book(programFolder) { QDir().mkpath(working()); }

    QString app(const QString &name = {}) const { return book.appPath() + name; }
    QString working(const QString &name = {}) const { return book.workingFolder().path() + name; }

    // The book "book" open from book.iis, holding the items of treeString.
    void openBook(QStringView treeString)
    {
        book.setBookFile(dir.path() + QStringLiteral("/book.iis"), QStringLiteral("book"));
        book.setOpened(book.bookPath());
        kobin::treestring::buildTree(tree, treeString);
    }
};
