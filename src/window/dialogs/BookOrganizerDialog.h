#pragma once

#include <QDialog>

class QListWidget;

namespace kobin {

class BookOrganizer;

// "Bookの整理": the book files of the program folder, each with a check box; 削除
// deletes the ticked books and the dialog stays open with the others. Built afresh
// at every opening, so the list is read afresh too.
class BookOrganizerDialog : public QDialog
{
    Q_OBJECT

public:
    explicit BookOrganizerDialog(BookOrganizer &organizer, QWidget *parent = nullptr);

private:
    void fill(const QStringList &entries);
    void deleteTicked();

    BookOrganizer &m_organizer;
    QListWidget *m_list;
};

} // namespace kobin
