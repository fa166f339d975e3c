#pragma once

#include "ImportItem.h"
#include "ImportReport.h"
#include "ItemKind.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace kobin {
class ItemTree;
class TreeEditor;
class TreeItem;
}

namespace kobin::import {

class SourceFolder;

// Makes items of a book from what a reader hands it: folders, text items with
// their notes, homepage items with their pages (copied, unpacked or written
// into the pages folder as captured pages are, named by url files) and side
// notes, under one item of a tree. Every file goes into a staging folder that
// becomes the book folder (or whose files are moved into it) only once the
// import is whole; url files name the pages where they will lie then.
class ImportWriter : public ImportSink
{
public:
    struct Target {
        ItemTree &tree;
        QString parentKey;     // the items go under this item, after its children
        QString stagingFolder; // ends in "/"
        QString bookFolder;    // where the staging folder's files will lie, ends in "/"
    };
    // How far the import has come (total 0 while unknown); false cancels it.
    using Progress = std::function<bool(int done, int total)>;

    ImportWriter(Target target, const SourceFolder &source, Progress progress);
    ~ImportWriter() override;

    void expect(int items) override;
    bool openFolder(const ImportItem &folder) override;
    bool closeFolder() override;
    bool add(ImportItem &item) override;
    void leaveOut(const QString &what, const QString &why) override;

    // Once the reader is done: the report, with what could not be kept whole.
    const ImportReport &finish();
    bool cancelled() const { return m_cancelled; }
    // Why the import failed (a file that could not be written); empty otherwise.
    const QString &failure() const { return m_failure; }
    // The folders of the pages written, under the staging folder's "pages/".
    const QStringList &pageFolders() const { return m_pageFolders; }

private:
    // The new item of kind under the current folder, named; nullptr when the tree refuses it.
    TreeItem *addItem(ItemKind kind, const QString &title);
    bool step();
    bool fail(const QString &path);
    bool writeNote(const QString &key, ImportItem &item);
    // The note of a folder the reader made none for.
    const QByteArray &emptyNote();
    // The page staged under pages/ and its item, homepage or, with no page to be had, text.
    bool addPage(ImportItem &item);
    // The page's folder under pages/ filled from the item; the page's path in it, or empty.
    QString fillPageFolder(const QString &folder, const ImportItem &item, QStringList &leftOut);

    Target m_target;
    const SourceFolder &m_source;
    Progress m_progress;
    std::unique_ptr<TreeEditor> m_editor;
    // For each open folder, innermost last, the key of the folder its items go into: its own, or
    // for one not made a folder, that of the folder above.
    std::vector<QString> m_folders;
    int m_level = 0;                // the level of the innermost folder made
    int m_flattened = 0;            // folders made text items, too deep for a book
    QByteArray m_emptyNote;
    int m_done = 0;
    int m_total = 0;
    QString m_pageStamp;
    QStringList m_pageFolders;
    ImportReport m_report;
    QString m_failure;
    bool m_cancelled = false;
};

} // namespace kobin::import
