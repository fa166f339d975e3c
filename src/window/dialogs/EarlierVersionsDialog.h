#pragma once

#include "BookVersions.h"

#include <QDialog>

class QListWidget;

namespace kobin {

// Lists a book's earlier versions by date with the number of notes each save
// changed; the one chosen opens as a new book.
class EarlierVersionsDialog : public QDialog
{
    Q_OBJECT

public:
    EarlierVersionsDialog(const QList<BookVersion> &versions, QWidget *parent = nullptr);

    int chosenRow() const;

private:
    QListWidget *m_list;
};

} // namespace kobin
