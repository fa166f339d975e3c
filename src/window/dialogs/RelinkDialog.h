#pragma once

#include "PageRelinker.h"

#include <QDialog>

class QLabel;
class QListWidget;

namespace kobin {

class Book;
class ItemDisplay;
class Prompter;

// The Tree menu's command: the dialog over the book's broken links (or word that
// there are none); an item shown whose page was found is shown again with it.
void repairLinks(Book &book, ItemDisplay &display, Prompter &prompter, QWidget *parent);

// "リンク切れの修復": the homepage items whose page cannot be found; the user
// chooses a folder to search under, every item whose page is found there is
// relinked, and the dialog says how many were and lists those that remain.
class RelinkDialog : public QDialog
{
    Q_OBJECT

public:
    RelinkDialog(Book &book, QList<BrokenLink> broken, QWidget *parent = nullptr);

    // The keys of the items relinked while the dialog was open.
    const QStringList &relinkedKeys() const { return m_relinkedKeys; }

private:
    void fill();
    void searchFolder();

    Book &m_book;
    QList<BrokenLink> m_broken;
    QStringList m_relinkedKeys;
    QListWidget *m_list;
    QLabel *m_report;
};

} // namespace kobin
